#!/usr/bin/env bash
# Builds the simulator and starts it on its built-in default gear. Installs
# and builds only what the program needs (./test.sh adds the rest).
# On a machine without a display it runs the program under Xvfb until its
# window shows the gear, saves a screenshot and says where.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
./tools/build.sh --program build
cd build
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./quelf
fi
shot="$(pwd)/quelf-screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  ./quelf &
  pid=$!
  # The screen once the gear is drawn on it: its main rod is red.
  drawn() { xwd -root -silent | convert xwd:- -fill white +opaque "#FF0000" -format "%[fx:minima.g]" info: 2>/dev/null; }
  end=$((SECONDS + 120))
  until [ -n "$(xdotool search --onlyvisible --name "QUELF Outside Admission" 2>/dev/null)" ] && [ "$(drawn)" = 0 ]; do
    if ! kill -0 $pid 2>/dev/null || [ $SECONDS -ge $end ]; then
      echo "The simulator showed no window under Xvfb." >&2
      kill $pid 2>/dev/null
      exit 1
    fi
    sleep 0.2
  done
  xwd -root -silent | convert xwd:- -trim +repage png:"$0"
  kill $pid
  wait $pid 2>/dev/null || true
' "$shot"
echo "No display here: ran the simulator under Xvfb until it showed the gear."
echo "Screenshot: $shot"
