#!/usr/bin/env bash
# End-to-end crash recovery: the real program under Xvfb gets a change typed
# into the frame dimensions dialog, keeps it in its recovery file, and is
# killed with SIGKILL. Started again, it asks whether to recover the design
# (a window whose title holds "Recover"); Return recovers it, and Ctrl+S (a
# name typed into the save dialog, the built-in design having no file) saves
# it: the file holds the value typed before the kill. A normal exit leaves the
# state folder empty. Every wait polls with a deadline.
set -euo pipefail
HERE=$(dirname "$(readlink -f "$0")")
BIN=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export OUT="$out"
export XDG_RUNTIME_DIR="$out/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_HOME="$out/config"
export XDG_STATE_HOME="$out/state"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -s "$BIN" "$HERE/e2e_lib.sh" <<'EOS'
set -u
BIN=$1
LIB=$2
DEADLINE=${E2E_DEADLINE:-60}
STATE="$XDG_STATE_HOME/quelf"
source "$LIB"
on_fail() { ls -l "$STATE" 2>/dev/null; }
# The first value of a design file: the crank disk diameter.
first_value() { od -An -tf4 -N4 "$1" 2>/dev/null | tr -d ' '; }
recovery_of() { echo "$STATE/quelf-$1-"*.vgw; }
kept() { local f; f=$(recovery_of "$1"); [ -f "$f" ] && [ "$(first_value "$f")" = "$2" ]; }
start() {
  "$BIN" 2>>"$OUT/quelf.err" &
  pid=$!
  poll "$DEADLINE" has_window "QUELF Outside Admission" || fail "no main window"
  main=$(window "QUELF Outside Admission")
}

start
# "EditDimen" > "FrameDimensions": the crank disk diameter 8.625 made 18.625.
xdotool windowfocus "$main" 2>/dev/null
xdotool key alt+e f 2>/dev/null
poll "$DEADLINE" has_window "Frame Dimensions" || fail "the frame dimensions dialog did not open"
xdotool windowfocus "$(window "Frame Dimensions")" 2>/dev/null
xdotool key Tab Home 1 Return Return 2>/dev/null # into the first field; Return leaves it, Return closes
poll "$DEADLINE" no_window "Frame Dimensions" || fail "the frame dimensions dialog did not close"
first=$pid
poll "$DEADLINE" kept "$first" 18.625 || fail "the change was not kept in a recovery file"
echo "the change is kept in $(basename "$(recovery_of "$first")")"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
for ext in lock vgw txt; do
  ls "$STATE/quelf-$first-"*.$ext >/dev/null 2>&1 || fail "the killed program left no .$ext file"
done
echo "killed with SIGKILL; its files stay"

start
poll "$DEADLINE" has_window "Recover" || fail "no question about the unsaved design"
question=$(window "Recover")
import -window "$question" "$OUT/question.png" 2>/dev/null || true
xdotool windowfocus "$question" 2>/dev/null
xdotool key Return 2>/dev/null # "Recover", the default
poll "$DEADLINE" no_window "Recover" || fail "the question did not close"
second=$pid
gone() { ! ls "$STATE/quelf-$first-"* >/dev/null 2>&1; }
poll "$DEADLINE" gone || fail "the killed program's files were not removed"
poll "$DEADLINE" kept "$second" 18.625 || fail "the recovered design is not kept by the new program"
title() { xdotool getwindowname "$main" 2>/dev/null; }
named() { title | grep -q "Nominal"; }
poll "$DEADLINE" named || fail "the recovered design is not named \"Nominal\": $(title)"
echo "recovered: the design is back under its name and kept by the new program"

# Ctrl+S: the built-in design has no file yet, so the save dialog asks.
xdotool windowfocus "$main" 2>/dev/null
xdotool key ctrl+s 2>/dev/null
poll "$DEADLINE" has_window "Save As" || fail "Ctrl+S did not ask for a name"
xdotool windowfocus "$(window "Save As")" 2>/dev/null
xdotool key ctrl+a 2>/dev/null
xdotool type "$OUT/recovered.vgw" 2>/dev/null
xdotool key Return 2>/dev/null
saved() { [ "$(first_value "$OUT/recovered.vgw")" = "18.625" ]; }
poll "$DEADLINE" saved || fail "the recovered design was not saved with its value"
unkept() { ! ls "$STATE/quelf-$second-"*.vgw >/dev/null 2>&1; }
poll "$DEADLINE" unkept || fail "the save did not remove the recovery file"
echo "saved: $OUT/recovered.vgw holds the crank disk diameter 18.625"

xdotool windowfocus "$main" 2>/dev/null
xdotool key ctrl+q 2>/dev/null
ended() { ! kill -0 "$pid" 2>/dev/null; }
end=$((SECONDS + DEADLINE))
until ended; do [ $SECONDS -ge $end ] && fail "Ctrl+Q did not end the program"; sleep 0.1; done
[ -z "$(ls -A "$STATE")" ] || fail "a normal exit left files: $(ls "$STATE")"
echo "a normal exit leaves the state folder empty"
EOS
