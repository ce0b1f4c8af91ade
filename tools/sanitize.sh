#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks included) in build-asan and runs it; then the plain layers and
# the threaded core tests (test_threads) with ThreadSanitizer in build-tsan, and runs the core tests whose
# work runs on threads (the pool, the events table's rows and a notch's
# samples, the searches and studies on the pool, a search stopped from
# another thread). Any sanitizer report fails the run. No benchmarks and no
# packaging in these builds. The address build is unoptimised: it compiles in
# half the time and the tests still take seconds; the thread build is
# optimised a little (-O1), as ThreadSanitizer slows the threads' work most.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)}
export CCACHE_NOHASHDIR=1
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
B=build-asan
if [ ! -f "$B/CMakeCache.txt" ]; then
  GEN=(); command -v ninja >/dev/null && GEN=(-G Ninja)
  cmake -S . -B "$B" "${GEN[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O0 -g1" \
    -DQUELF_SANITIZE=ON -DQUELF_BENCH=OFF -DQUELF_PACKAGING=OFF >/dev/null
fi
cmake --build "$B" -j"$(nproc)" --target test_core test_gui
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside third-party libraries (fontconfig, the X and GL stacks, Qt's
# plugin loader) are suppressed by name; none of ours is.
export LSAN_OPTIONS=suppressions=$(pwd)/tools/lsan.supp:print_suppressions=0
# The soak run measures resident memory, which the sanitizers' quarantine
# inflates on purpose, and the end-to-end run's timing does not allow for the
# sanitizers' slowdown: both run in the plain build only.
(cd "$B" && ctest --output-on-failure -j2 -R '^(core|gui)$')

T=build-tsan
if [ ! -f "$T/CMakeCache.txt" ]; then
  GEN=(); command -v ninja >/dev/null && GEN=(-G Ninja)
  cmake -S . -B "$T" "${GEN[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" \
    -DQUELF_TSAN=ON -DQUELF_QT=OFF -DQUELF_BENCH=OFF -DQUELF_PACKAGING=OFF >/dev/null
fi
cmake --build "$T" -j"$(nproc)" --target test_threads
# The tests with threads, each short: together well under a minute under the sanitizer.
THREADED='ThreadPool.*:ValveEvents.*:ValveEventsDiff.EveryPartMeasuredAloneBitIdentical'
THREADED+=':Balance.OneDimensionMeetsEachTargetOnTheDefaultAndAnUnbalancedDesign'
THREADED+=':Optimise.StopOffersTheBestDesignFoundSoFar:Sensitivity.FollowsTheClosedForms'
THREADED+=':ToleranceStudy.NoToleranceNoSpreadAndTheSameSeedTheSameFiguresOnAnyPool'
(cd "$T" && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./tests/test_threads --gtest_filter="$THREADED")
echo "Sanitizer run clean."
