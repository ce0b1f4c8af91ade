#!/usr/bin/env bash
# Installs the Debian packages the project needs, if any are missing.
# Idempotent; uses sudo when not run as root.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins libgl-dev libgif-dev libdxflib-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  xvfb xauth x11-apps xdotool libx11-dev libxtst-dev imagemagick poppler-utils
  # Tests only: an independent DXF reader that reads the program's drawings back.
  python3-ezdxf
  clang-14 libclang-rt-14-dev clang-format
  locales
  desktop-file-utils appstream shared-mime-info
  pulseaudio pulseaudio-utils
  g++-mingw-w64-x86-64-posix googletest wine wine64
  # Liberation Serif, Sans and Mono: the metrics of the fonts the windows are
  # laid out for (Times New Roman, Arial and MS Sans Serif, Courier New).
  fonts-liberation fonts-liberation2
)

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
