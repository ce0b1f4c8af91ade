#!/usr/bin/env bash
# End-to-end: start the real program under Xvfb, let it animate, take a
# screenshot and check that the gear is on it (its red, lime and blue links and
# grey cylinder section), and that the program keeps running until asked to stop.
# Then export the port graph from the real program with the keyboard (open it
# from "DrawGraphs", Ctrl+E, type a name in the file dialog) and look at the
# file, and export it once more from the command line.
set -euo pipefail
BIN=$1
WORK=$2
cd "$WORK"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$0" &
  pid=$!
  sleep 3
  if ! kill -0 $pid 2>/dev/null; then echo "program exited early"; exit 1; fi
  xwd -root -silent | convert xwd:- png:"$1/a.png"
  sleep 1
  xwd -root -silent | convert xwd:- png:"$1/b.png"
  kill -0 $pid || { echo "program died"; exit 1; }
  kill $pid
  wait $pid 2>/dev/null || true
' "$BIN" "$out"
count() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:mean*w*h]" info:; }
fail=0
for colour in "rgb(255,0,0)" "rgb(0,255,0)" "rgb(0,0,255)" "rgb(128,128,128)"; do
  n=$(count "$out/a.png" "$colour")
  n=${n%.*}
  echo "$colour pixels: $n"
  if [ "$n" -lt 40 ]; then echo "too few $colour pixels: the gear is not drawn"; fail=1; fi
done
# The gear moves: the two screenshots differ.
diff=$(compare -metric AE "$out/a.png" "$out/b.png" null: 2>&1 || true)
diff=${diff%%.*}
echo "changed pixels between screenshots: $diff"
if [ "${diff:-0}" -lt 50 ]; then echo "the gear does not move"; fail=1; fi

# The port graph through the real windows and file dialog.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$0" &
  pid=$!
  deadline=$((SECONDS + 60))
  wait_for() { until xdotool search --name "$1" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || { echo "no window \"$1\""; kill $pid; exit 1; }; sleep 0.2; done; }
  wait_for "QUELF Outside Admission"
  xdotool windowfocus "$(xdotool search --name "QUELF Outside Admission" | head -1)"
  xdotool key alt+g p
  wait_for "Port Open/Closed"
  xdotool key ctrl+e
  wait_for "Export Picture"
  xdotool key ctrl+a
  xdotool type "$1/from-window.svg"
  xdotool key Return
  until [ -s "$1/from-window.svg" ]; do
    [ $SECONDS -lt $deadline ] || { echo "nothing exported"; kill $pid; exit 1; }; sleep 0.2; done
  kill $pid
  wait $pid 2>/dev/null || true
' "$BIN" "$out" || fail=1
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
