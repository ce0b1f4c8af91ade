#!/usr/bin/env bash
# Configures and builds the project in build/ (or in the directory given).
#   tools/build.sh [DIR] [CMAKE ARGS...]            everything: program, tests, benchmarks
#   tools/build.sh --program [DIR] [CMAKE ARGS...]  the program only (./run.sh)
# A folder first configured for the program alone gets its tests and
# benchmarks at the next build of everything; a folder that has them keeps
# them when the program alone is built.
set -euo pipefail
cd "$(dirname "$0")/.."
PROGRAM_ONLY=0
if [ "${1:-}" = "--program" ]; then
  PROGRAM_ONLY=1
  shift
fi
BUILD_DIR=${1:-build}
shift || true
# Let ccache share objects between checkouts of the project.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)}
export CCACHE_NOHASHDIR=1
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
GEN=()
command -v ninja >/dev/null && GEN=(-G Ninja)
if [ $PROGRAM_ONLY -eq 1 ]; then
  PARTS=(-DQUELF_TESTS=OFF -DQUELF_BENCH=OFF)
else
  PARTS=(-DQUELF_TESTS=ON -DQUELF_BENCH=ON)
fi
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  # Optimised, with line tables only (-g1): backtraces name files and lines,
  # and a build from scratch takes a quarter less time than with full -g.
  cmake -S . -B "$BUILD_DIR" "${GEN[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "${PARTS[@]}" "$@"
elif [ $PROGRAM_ONLY -eq 0 ] && grep -Eq '^QUELF_(TESTS|BENCH):BOOL=OFF$' "$BUILD_DIR/CMakeCache.txt"; then
  cmake -S . -B "$BUILD_DIR" "${PARTS[@]}" "$@"
fi
if [ $PROGRAM_ONLY -eq 1 ]; then
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target quelf
else
  cmake --build "$BUILD_DIR" -j"$(nproc)"
fi
