#!/usr/bin/env bash
# Builds second_window (target xvfb_second_window) and captures it under Xvfb
# without a window manager: out/xvfb-root-capture.png is the whole screen,
# out/xvfb-window-capture.png the second window by id.
#   tools/xvfb-capture/run.sh [modal]
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build --target xvfb_second_window >/dev/null
mkdir -p out
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  build/xvfb_second_window "$0" 2>/dev/null &
  pid=$!
  until w=$(xdotool search --onlyvisible --name "^second$" 2>/dev/null | head -1) && [ -n "$w" ]; do sleep 0.1; done
  sleep 1
  xwd -root -silent | convert xwd:- -crop 620x420+90+90 png:out/xvfb-root-capture.png
  xwd -id "$w" -silent | convert xwd:- png:out/xvfb-window-capture.png
  kill $pid
' "${1:-plain}"
for f in out/xvfb-root-capture.png out/xvfb-window-capture.png; do
  echo "$f: mean grey $(convert "$f" -colorspace Gray -format '%[fx:mean]' info:)"
done
