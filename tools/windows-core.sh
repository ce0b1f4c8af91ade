#!/usr/bin/env bash
# Builds the plain libraries and their unit tests (test_core) for 64-bit
# Windows with MinGW-w64, linked statically, and runs the tests under Wine:
# the core, the Windows file system seam (wide paths, MoveFileExW) among it,
# checked on this machine. Prints the test runner's summary; exits non-zero
# when the build breaks or a test fails.
#
#   tools/windows-core.sh                 build and run in build-windows/
#   tools/windows-core.sh DIR             another build folder
#   tools/windows-core.sh DIR ARGS...     test_core arguments (--gtest_filter=...)
#
# GoogleTest is built once from Debian's sources (/usr/src/googletest) with
# the same compiler. Wine runs in a prefix of its own under the build folder
# (made on the first run, about 20 s), without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
B=${1:-build-windows}
shift || true
mkdir -p "$B"
B=$(cd "$B" && pwd)

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$SRC}
export CCACHE_NOHASHDIR=1
GEN=()
command -v ninja >/dev/null && GEN=(-G Ninja)
CACHE=()
command -v ccache >/dev/null && CACHE=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# Optimised as the Linux build is (-O2; -O3 makes GCC 12 warn falsely about std::string).
TOOLCHAIN=(-DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
           "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG")

if [ ! -f "$B/gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$B/gtest-build" "${GEN[@]}" "${TOOLCHAIN[@]}" "${CACHE[@]}" \
    -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$B/gtest" >/dev/null
  cmake --build "$B/gtest-build" -j"$(nproc)" >/dev/null
  cmake --install "$B/gtest-build" >/dev/null
fi

if [ ! -f "$B/core/CMakeCache.txt" ]; then
  cmake -S . -B "$B/core" "${GEN[@]}" "${TOOLCHAIN[@]}" "${CACHE[@]}" \
    -DQUELF_QT=OFF -DQUELF_BENCH=OFF -DQUELF_PACKAGING=OFF -DGTest_DIR="$B/gtest/lib/cmake/GTest" >/dev/null
fi
cmake --build "$B/core" -j"$(nproc)" --target test_core

export WINEPREFIX="$B/wine" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: nothing here needs them, and no one is asked to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1
  wineserver --wait
fi

log="$B/test_core.log"
status=0
(cd "$B/core" && wine tests/test_core.exe --gtest_brief=1 "$@") >"$log" 2>&1 || status=$?
wineserver --kill || true
# In brief mode the runner prints each failure and the summary only.
sed 's/\r$//' "$log" | grep -av '^Running main() from' | tail -n 300
if [ "$status" -ne 0 ]; then
  echo "test_core under Wine failed (exit $status): see $log"
  exit 1
fi
echo "test_core under Wine: all passed."
