#!/usr/bin/env bash
# Installs the Debian packages the project needs, if any are missing:
#   tools/install-deps.sh          what building and running the program needs
#                                  (./run.sh)
#   tools/install-deps.sh --test   that, and what the tests, benchmarks,
#                                  sanitizers, fuzzers and the Windows build
#                                  need (./test.sh)
# Idempotent; uses sudo when not run as root.
set -euo pipefail

# Building and running the program, and ./run.sh's screenshot without a
# display (Xvfb, xwd, ImageMagick; xdotool to wait for the window).
RUN_PACKAGES=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins libgl-dev libgif-dev
  nlohmann-json3-dev
  xvfb xauth x11-apps xdotool imagemagick
  # Liberation Serif, Sans and Mono: the metrics of the fonts the windows are
  # laid out for (Times New Roman, Arial and MS Sans Serif, Courier New).
  fonts-liberation fonts-liberation2
)
# The tests and the tools around them.
TEST_PACKAGES=(
  pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxtst-dev poppler-utils
  clang-14 libclang-rt-14-dev clang-format
  locales
  desktop-file-utils appstream shared-mime-info
  pulseaudio pulseaudio-utils
  g++-mingw-w64-x86-64-posix googletest wine wine64
)

PACKAGES=("${RUN_PACKAGES[@]}")
case "${1:-}" in
--test) PACKAGES+=("${TEST_PACKAGES[@]}") ;;
"") ;;
*)
  echo "usage: tools/install-deps.sh [--test]" >&2
  exit 1
  ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
