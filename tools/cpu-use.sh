#!/usr/bin/env bash
# The processor time the real program takes under Xvfb: user + system time from
# /proc/PID/stat over a span of seconds, as a percentage of one core, and how
# often its threads were woken (voluntary context switches), with the gear
# running and stopped, at a device pixel ratio of 1 and 2.
#   tools/cpu-use.sh [BINARY] [SECONDS] [ROUNDS]
# BINARY defaults to build/quelf, SECONDS to 10, ROUNDS (each case measured
# that many times, to see the spread on a loaded machine) to 2.
# The program runs from its build folder (its data files beside it) with the
# settings it keeps in a scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=$(realpath "${1:-build/quelf}")
SPAN=${2:-10}
ROUNDS=${3:-2}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$(dirname "$BIN")"
xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" bash -s "$BIN" "$SPAN" "$ROUNDS" <<'EOS'
set -u
BIN=$1 SPAN=$2 ROUNDS=$3
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# The times the program's threads went to sleep and were woken.
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'; }
# measure LABEL: the share of one core over SPAN seconds, and the wake-ups.
measure() {
  local hz a b wa wb
  hz=$(getconf CLK_TCK)
  a=$(ticks "$pid")
  wa=$(wakeups "$pid")
  sleep "$SPAN"
  b=$(ticks "$pid")
  wb=$(wakeups "$pid")
  awk -v l="$1" -v d=$((b - a)) -v w=$((wb - wa)) -v hz="$hz" -v s="$SPAN" \
    'BEGIN { printf "%-22s %5.1f %% of one core, %4d wake-ups a second\n", l, 100 * d / hz / s, w / s }'
}
run() { # run RATIO ROUND
  QT_SCALE_FACTOR=$1 "$BIN" 2>/dev/null &
  pid=$!
  local end=$((SECONDS + 60)) w=""
  until w=$(xdotool search --onlyvisible --name "QUELF Outside Admission" 2>/dev/null | head -1) && [ -n "$w" ]; do
    [ $SECONDS -ge $end ] && { echo "no window"; kill "$pid"; return 1; }
    sleep 0.2
  done
  sleep 2 # past the start-up
  measure "ratio $1 running (#$2)"
  # "Stop": the Run button's middle, below the menu bar (window coordinates in
  # logical pixels times the ratio).
  local menu
  menu=$(( $(xdotool getwindowgeometry "$w" | awk '/Geometry/ { split($2, g, "x"); print g[2] }') / $1 - 380 ))
  xdotool mousemove --window "$w" $(((254 + 12) * $1)) $(((menu + 38 + 7) * $1)) click 1
  sleep 1
  measure "ratio $1 stopped (#$2)"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
for r in $(seq "$ROUNDS"); do
  run 1 "$r"
  run 2 "$r"
done
EOS
