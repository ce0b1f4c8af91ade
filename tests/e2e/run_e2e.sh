#!/usr/bin/env bash
# End-to-end: start the real program under Xvfb (no window manager), wait for
# its window, check that the gear is drawn (its red, lime and blue links and
# grey cylinder section) and that it moves; then open the oval diagram from the
# tool bar, close the positions dialog it opens, open that dialog again from
# the diagram's "SetRevArmPos" menu and check that this modal window over a
# modal window is painted with its texts. Last, export the port graph from the
# real program with the keyboard (open it from "DrawGraphs", Ctrl+E, type a name
# in the file dialog) and look at the file, and export it once more from the
# command line. Then a short second session at a device pixel ratio of 2
# (QT_SCALE_FACTOR=2): the window is twice as large and the gear is drawn.
# Every wait polls with a deadline.
set -euo pipefail
HERE=$(dirname "$(readlink -f "$0")")
BIN=$1
WORK=$2
cd "$WORK"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export OUT="$out"
export XDG_RUNTIME_DIR="$out/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Remembered settings (recent designs, last folder) stay in the scratch folder,
# and so do the recovery files: a design another program left in the user's
# own folder would be offered at start, its question over the window.
export XDG_CONFIG_HOME="$out/config"
export XDG_STATE_HOME="$out/state"
xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" bash -s "$BIN" "$HERE/e2e_lib.sh" <<'EOS'
set -u
BIN=$1
LIB=$2
DEADLINE=${E2E_DEADLINE:-60}
source "$LIB"
shot() { xwd -root -silent | convert xwd:- png:"$OUT/$1.png"; }
count() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:mean*w*h]" info:; }
gear_drawn() {
  shot a
  for colour in "rgb(255,0,0)" "rgb(0,255,0)" "rgb(0,0,255)" "rgb(128,128,128)"; do
    local n; n=$(count "$OUT/a.png" "$colour"); n=${n%.*}
    [ "$n" -ge 40 ] || return 1
  done
}
moved() {
  shot b
  local d; d=$(compare -metric AE "$OUT/a.png" "$OUT/b.png" null: 2>&1 || true); d=${d%%.*}
  [ "${d:-0}" -ge 50 ]
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1 2>/dev/null; }

"$BIN" 2>"$OUT/quelf.err" &
pid=$!
poll "$DEADLINE" has_window "QUELF Outside Admission" || fail "no main window within ${DEADLINE} s"
main=$(window "QUELF Outside Admission")
size() { xdotool getwindowgeometry "$1" | awk '/Geometry/ { print $2 }'; }
size1=$(size "$main")
poll "$DEADLINE" gear_drawn || fail "the gear is not drawn"
echo "gear drawn"
# Screenshots are taken until one differs: two taken a whole number of turns
# apart would show the same picture.
poll "$DEADLINE" moved || fail "the gear does not move"
echo "gear moves"

# The oval diagram (tool button "View Oval Diagram") opens the positions dialog.
click "$main" 500 28
poll "$DEADLINE" has_window "Set Reverse Arm Positions" || fail "the positions dialog did not open with the diagram"
xdotool key Escape 2>/dev/null
poll "$DEADLINE" no_window "Set Reverse Arm Positions" || fail "the positions dialog did not close"
diagram=$(window "Oval Diagram")
[ -n "$diagram" ] || fail "no oval diagram window"
# Again from the diagram's own menu: a modal window over a modal window.
click "$diagram" 47 8
poll "$DEADLINE" has_window "Set Reverse Arm Positions" || fail "SetRevArmPos did not open the dialog"
dialog=$(window "Set Reverse Arm Positions")
painted() {
  import -window "$dialog" "$OUT/dialog.png" 2>/dev/null || return 1
  # Mostly light (not a black, unpainted window) with dark text on it.
  local mean dark
  mean=$(convert "$OUT/dialog.png" -colorspace Gray -format "%[fx:mean]" info:)
  dark=$(convert "$OUT/dialog.png" -colorspace Gray -threshold 30% -negate -format "%[fx:mean*w*h]" info:)
  dark=${dark%.*}
  awk -v m="$mean" 'BEGIN { exit !(m > 0.6) }' && [ "$dark" -ge 300 ]
}
poll "$DEADLINE" painted || fail "the positions dialog opened from the diagram is not painted with its texts"
echo "positions dialog over the diagram painted with its texts"
xdotool key Escape 2>/dev/null
poll "$DEADLINE" no_window "Set Reverse Arm Positions" || fail "the second positions dialog did not close"
click "$diagram" 445 37 # the diagram's "Close" button
poll "$DEADLINE" no_window "Oval Diagram" || fail "the diagram did not close"
# The animation runs again once the diagram is closed.
poll "$DEADLINE" gear_drawn || fail "the gear is not drawn after the diagram"
poll "$DEADLINE" moved || fail "the gear does not move after the diagram"
echo "gear moves again after the diagram"

# The port graph through the real window and its file dialog.
exported() { [ -s "$OUT/from-window.svg" ]; }
xdotool windowfocus "$main" 2>/dev/null
xdotool key alt+g p 2>/dev/null
poll "$DEADLINE" has_window "Port Open/Closed" || fail "the port graph did not open from the keyboard"
xdotool windowfocus "$(window "Port Open/Closed")" 2>/dev/null
xdotool key ctrl+e 2>/dev/null
poll "$DEADLINE" has_window "Export Picture" || fail "Ctrl+E did not open the export dialog"
xdotool key ctrl+a 2>/dev/null
xdotool type "$OUT/from-window.svg" 2>/dev/null
xdotool key Return 2>/dev/null
poll "$DEADLINE" exported || fail "nothing exported from the port graph window"
alive
kill "$pid"
wait "$pid" 2>/dev/null || true

# At 200 %: twice the pixels both ways, the gear drawn at that resolution.
QT_SCALE_FACTOR=2 "$BIN" 2>"$OUT/quelf.err" &
pid=$!
poll "$DEADLINE" has_window "QUELF Outside Admission" || fail "no main window at 200 %"
main=$(window "QUELF Outside Admission")
twice() { [ "$(size "$main")" = "$((${size1%x*} * 2))x$((${size1#*x} * 2))" ]; }
poll "$DEADLINE" twice || fail "the window at 200 % is $(size "$main"), not twice $size1"
poll "$DEADLINE" gear_drawn || fail "the gear is not drawn at 200 %"
echo "at 200 %: window $(size "$main"), gear drawn"
kill "$pid"
wait "$pid" 2>/dev/null || true
EOS
count() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:mean*w*h]" info:; }
fail=0
if grep -q ">Percent Piston Travel</text>" "$out/from-window.svg" 2>/dev/null; then
  echo "port graph exported from the window: $(grep -c "<polyline" "$out/from-window.svg") line shapes"
else
  echo "the exported port graph has no axis title"; fail=1
fi
"$BIN" --export port-graph "$out/port.png" --scale 2
size=$(identify -format "%wx%h" "$out/port.png")
teal=$(count "$out/port.png" "rgb(0,128,128)"); teal=${teal%.*}
echo "port graph from the command line: $size, $teal teal pixels"
[ "$size" = "1264x828" ] && [ "$teal" -ge 500 ] || { echo "the command-line port graph is wrong"; fail=1; }
exit $fail
