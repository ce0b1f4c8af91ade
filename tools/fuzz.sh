#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) in build-fuzz and runs each of them on its
# seed corpus for the given number of seconds.
#
#   tools/fuzz.sh                 20 s per target (what ./test.sh runs)
#   tools/fuzz.sh 1800            half an hour per target
#   tools/fuzz.sh 600 design      one target only (native, older, design)
#
# New inputs that widen coverage are kept in build-fuzz/corpus/<target>; a
# crash or sanitizer report stops the run and leaves the input in
# build-fuzz/artifacts/. Add such an input to tests/fuzz/corpus/<target>/ once
# the fault is fixed, so that every later run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-20}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(native older design)

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)}
export CCACHE_NOHASHDIR=1
B=build-fuzz
if [ ! -f "$B/CMakeCache.txt" ]; then
  GEN=(); command -v ninja >/dev/null && GEN=(-G Ninja)
  cmake -S . -B "$B" "${GEN[@]}" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" \
    -DQUELF_FUZZ=ON -DQUELF_TESTS=OFF -DQUELF_BENCH=OFF -DQUELF_PACKAGING=OFF >/dev/null
fi
cmake --build "$B" -j"$(nproc)" --target "${TARGETS[@]/#/fuzz_}"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$B/artifacts"
for t in "${TARGETS[@]}"; do
  mkdir -p "$B/corpus/$t"
  echo "== fuzz_$t: ${SECONDS_PER_TARGET}s on tests/fuzz/corpus/$t"
  "$B/fuzz_$t" -max_total_time="$SECONDS_PER_TARGET" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$B/artifacts/$t-" \
    "$B/corpus/$t" "tests/fuzz/corpus/$t" 2>"$B/fuzz_$t.log" || {
      tail -60 "$B/fuzz_$t.log"; echo "fuzz_$t failed: see $B/fuzz_$t.log and $B/artifacts/"; exit 1; }
  grep -aE '^stat::number_of_executed_units|^stat::peak_rss_mb' "$B/fuzz_$t.log" | tr '\n' ' '; echo
done
echo "Fuzzing clean."
