# What the end-to-end scripts share inside their Xvfb session, sourced there
# with $pid the program under test, $OUT the scratch folder and $DEADLINE the
# longest wait. A script may define on_fail to say more when a check fails.

fail() {
  echo "FAIL: $*"
  kill "$pid" 2>/dev/null
  if declare -F on_fail >/dev/null; then on_fail; fi
  tail -20 "$OUT/quelf.err" 2>/dev/null
  exit 1
}
# A program that died is named with its exit status (128 + the signal) and
# what it wrote on standard error.
alive() {
  kill -0 "$pid" 2>/dev/null && return 0
  local status=0; wait "$pid" 2>/dev/null || status=$?
  fail "the program died (exit status $status)"
}
# poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds.
poll() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do
    alive
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(window "$1")" ]; }
no_window() { [ -z "$(window "$1")" ]; }
