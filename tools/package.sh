#!/usr/bin/env bash
# Builds the Debian package into out/ and checks it in a fresh directory tree:
# the expected files are in it, its dependencies are the Qt 6 runtime, and the
# unpacked launcher starts the program under Xvfb in its data directory.
#
#   tools/package.sh            build, check and smoke-run the unpacked package
#   tools/package.sh --install  also install it with apt-get, run /usr/bin/quelf
#                               the same way and remove the package again
#                               (changes the system: run it on a machine you may change)
set -euo pipefail
cd "$(dirname "$0")/.."
INSTALL=0
[ "${1:-}" = "--install" ] && INSTALL=1

./tools/install-deps.sh
./tools/build.sh build
mkdir -p out
rm -f out/quelf_*.deb
(cd build && cpack -G DEB -B "$(pwd)/../out" >/dev/null)
rm -rf out/_CPack_Packages
deb=$(ls out/quelf_*.deb)
echo "Package: $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends

fail() { echo "FAIL: $*"; exit 1; }

# The files in their places.
list=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/quelf ./usr/libexec/quelf/quelf \
         ./usr/share/quelf/Exhaust.wav ./usr/share/quelf/Error.wav \
         ./usr/share/quelf/instruct.doc ./usr/share/quelf/QelSpIns.doc \
         ./usr/share/applications/quelf.desktop \
         ./usr/share/icons/hicolor/scalable/apps/quelf.svg \
         ./usr/share/icons/hicolor/16x16/apps/quelf.png \
         ./usr/share/icons/hicolor/256x256/apps/quelf.png; do
  grep -qx "$f" <<<"$list" || fail "$f is not in the package"
done
deps=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libqt6svg6 libqt6printsupport6; do
  grep -q "$d" <<<"$deps" || fail "no dependency on $d"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate packaging/quelf.desktop
fi

# Runs a launcher under Xvfb for a few seconds: the program must stay up, run
# in the data directory and show its window.
smoke() {
  local launcher=$1 datadir=$2 shot=$3
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" &
    pid=$!
    sleep 4
    kill -0 $pid 2>/dev/null || { echo "the program exited early"; exit 1; }
    cwd=$(readlink -f /proc/$pid/cwd)
    [ "$cwd" = "$(readlink -f "$1")" ] || { echo "working directory $cwd, not $1"; kill $pid; exit 1; }
    xwd -root -silent | convert xwd:- -trim +repage png:"$2"
    kill $pid
    wait $pid 2>/dev/null || true
  ' "$launcher" "$datadir" "$shot"
  # The gear's red links are on the screen.
  local red
  red=$(convert "$shot" -fill black +opaque "rgb(255,0,0)" -fill white -opaque "rgb(255,0,0)" \
        -format "%[fx:mean*w*h]" info:)
  [ "${red%.*}" -ge 40 ] || fail "the window shows no gear ($shot)"
  echo "ran $launcher in $datadir: window shown ($shot)"
}

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
smoke "$tree/usr/bin/quelf" "$tree/usr/share/quelf" out/package-unpacked.png

if [ $INSTALL = 1 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get install -y -qq "./$deb" >/dev/null
  smoke /usr/bin/quelf /usr/share/quelf out/package-installed.png
  $SUDO dpkg -r quelf >/dev/null
  [ ! -e /usr/bin/quelf ] || fail "/usr/bin/quelf is still there after removal"
  echo "installed, ran and removed the package"
fi
echo "Package OK: $deb"
