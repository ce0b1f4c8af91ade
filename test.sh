#!/usr/bin/env bash
# Builds everything and runs every test: unit and window tests under the
# offscreen platform, the end-to-end test of the real binary under Xvfb, and a
# brief run of each benchmark so that they cannot rot.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
./tools/build.sh build
(cd build && ctest --output-on-failure -j2)
for b in build/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  QT_QPA_PLATFORM=offscreen "$b" --benchmark_min_time=0.01 >/dev/null
done
echo "All tests passed."
