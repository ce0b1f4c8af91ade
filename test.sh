#!/usr/bin/env bash
# Checks the source format, builds everything and runs every test: unit and
# window tests under the offscreen platform, the sound test through a private
# audio server, the soak run of the main window, the end-to-end test of the
# real binary under Xvfb, the monkey (seeded random input to the real binary
# under Xvfb), a brief run of each benchmark so that they cannot rot (beside
# the unit tests built for Windows and run under Wine); then the whole suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer, the threaded
# core tests under ThreadSanitizer, and each fuzz target for 8 seconds on its
# corpus.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh --test
./tools/format-check.sh
./tools/layers-check.sh
./tools/build.sh build
(cd build && ctest --output-on-failure -j2)
(
  for b in build/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    QT_QPA_PLATFORM=offscreen "$b" --benchmark_min_time=0.01
  done
) >build/bench-once.log 2>&1 &
benches=$!
./tools/windows-core.sh
wait "$benches" || { tail -40 build/bench-once.log; echo "A benchmark failed: see build/bench-once.log"; exit 1; }
./tools/sanitize.sh
./tools/fuzz.sh 8
echo "All tests passed."
