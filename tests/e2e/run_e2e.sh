#!/usr/bin/env bash
# End-to-end: start the real program under Xvfb, let it animate, take a
# screenshot and check that the gear is on it (its red, lime and blue links and
# grey cylinder section), and that the program keeps running until asked to stop.
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
exit $fail
