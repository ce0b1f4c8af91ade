#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) in build-fuzz and runs each of them on its
# seed corpus for the given number of seconds, as many at once as there are
# cores (each target runs on one), and tells how many inputs each ran a second.
#
#   tools/fuzz.sh                 8 s per target (what ./test.sh runs)
#   tools/fuzz.sh 1800            half an hour per target
#   tools/fuzz.sh 600 design_port one target only
#
# Targets: native, older and json read design files (json with the keys of a
# design as its dictionary, tests/fuzz/json.dict); design_frame, design_port,
# design_steam, design_oval and design_sine each draw one picture of a design
# the bytes choose, and share the seed corpus tests/fuzz/corpus/design.
#
# New inputs that widen coverage are kept in build-fuzz/corpus/<target>; a
# crash or sanitizer report stops the run and leaves the input in
# build-fuzz/artifacts/. Add such an input to the target's seed corpus once
# the fault is fixed, so that every later run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-8}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(native older json design_frame design_port design_steam design_oval design_sine)

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
# fuzz T: one target for SECONDS_PER_TARGET; its summary in build-fuzz/fuzz_T.sum.
fuzz() {
  local t=$1 seeds dict start end runs rss
  seeds=tests/fuzz/corpus/${t%%_*}
  mkdir -p "$B/corpus/$t"
  dict=()
  [ -f "tests/fuzz/$t.dict" ] && dict=("-dict=tests/fuzz/$t.dict")
  start=$(date +%s.%N)
  "$B/fuzz_$t" -max_total_time="$SECONDS_PER_TARGET" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$B/artifacts/$t-" "${dict[@]}" \
    "$B/corpus/$t" "$seeds" 2>"$B/fuzz_$t.log" || return 1
  end=$(date +%s.%N)
  runs=$(grep -aE '^stat::number_of_executed_units' "$B/fuzz_$t.log" | awk '{print $2}')
  rss=$(grep -aE '^stat::peak_rss_mb' "$B/fuzz_$t.log" | awk '{print $2}')
  { echo "== fuzz_$t: ${SECONDS_PER_TARGET}s on $seeds"
    awk -v n="$runs" -v a="$start" -v b="$end" -v r="$rss" -v t="$t" \
      'BEGIN { printf "fuzz_%s: %d inputs in %.0f s, %.0f inputs/s, peak %s MB\n", t, n, b - a, n / (b - a), r }'
  } >"$B/fuzz_$t.sum"
}

AT_ONCE=$(nproc)
for ((i = 0; i < ${#TARGETS[@]}; i += AT_ONCE)); do
  batch=("${TARGETS[@]:i:AT_ONCE}")
  pids=()
  for t in "${batch[@]}"; do fuzz "$t" & pids+=($!); done
  for k in "${!batch[@]}"; do
    t=${batch[$k]}
    if ! wait "${pids[$k]}"; then
      tail -60 "$B/fuzz_$t.log"; echo "fuzz_$t failed: see $B/fuzz_$t.log and $B/artifacts/"; exit 1
    fi
    cat "$B/fuzz_$t.sum"
  done
done
echo "Fuzzing clean."
