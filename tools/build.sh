#!/usr/bin/env bash
# Configures and builds the project in build/ (or in the directory given).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
# Let ccache share objects between checkouts of the project.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)}
export CCACHE_NOHASHDIR=1
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
shift || true
GEN=()
command -v ninja >/dev/null && GEN=(-G Ninja)
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  # Optimised, with line tables only (-g1): backtraces name files and lines,
  # and a build from scratch takes a quarter less time than with full -g.
  cmake -S . -B "$BUILD_DIR" "${GEN[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "$@"
fi
cmake --build "$BUILD_DIR" -j"$(nproc)"
