#!/usr/bin/env bash
# Builds the Debian package into out/ and checks it in a fresh directory tree:
# the expected files are in it, its dependencies are the Qt 6 runtime and the fonts, its
# desktop entry and AppStream metainfo pass their validators, and the unpacked
# program, started in a folder of its own, finds its data and shows its window
# under Xvfb.
#
#   tools/package.sh            build, check and smoke-run the unpacked package
#   tools/package.sh --install  also install it with apt-get, run /usr/bin/quelf
#                               the same way and remove the package again
#                               (changes the system: run it on a machine you may change)
set -euo pipefail
cd "$(dirname "$0")/.."
INSTALL=0
[ "${1:-}" = "--install" ] && INSTALL=1

./tools/install-deps.sh --test
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
for f in ./usr/bin/quelf \
         ./usr/share/quelf/Exhaust.wav ./usr/share/quelf/Error.wav \
         ./usr/share/quelf/instruct.doc ./usr/share/quelf/QelSpIns.doc \
         ./usr/share/applications/quelf.desktop \
         ./usr/share/mime/packages/quelf.xml \
         ./usr/share/metainfo/org.quelf.quelf.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/quelf.svg \
         ./usr/share/icons/hicolor/16x16/apps/quelf.png \
         ./usr/share/icons/hicolor/256x256/apps/quelf.png; do
  grep -qx "$f" <<<"$list" || fail "$f is not in the package"
done
deps=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libqt6svg6 libqt6printsupport6 libgif7 fonts-liberation; do
  grep -q "$d" <<<"$deps" || fail "no dependency on $d"
done

# Runs the program under Xvfb, started in an empty folder of its own: it must
# stay up and draw the gear (its red links) within 30 s, and it must have found
# its data (no "Error" window about an instruction text it could not load).
smoke() {
  local program=$1 shot=$2
  local work
  work=$(mktemp -d)
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    cd "$2"
    "$0" &
    pid=$!
    red() {
      xwd -root -silent | convert xwd:- -trim +repage png:"$1" 2>/dev/null || return 1
      local n
      n=$(convert "$1" -fill black +opaque "rgb(255,0,0)" -fill white -opaque "rgb(255,0,0)" \
          -format "%[fx:mean*w*h]" info: 2>/dev/null) || return 1
      [ "${n%.*}" -ge 40 ]
    }
    end=$((SECONDS + 30))
    until red "$1"; do
      kill -0 $pid 2>/dev/null || { echo "the program exited early"; exit 1; }
      [ $SECONDS -ge $end ] && { echo "the window shows no gear ($1)"; kill $pid; exit 1; }
      sleep 0.2
    done
    if xdotool search --onlyvisible --name "^Error$" >/dev/null 2>&1; then
      echo "the program did not find its data files ($1)"; kill $pid; exit 1
    fi
    kill $pid
    wait $pid 2>/dev/null || true
  ' "$program" "$shot" "$work" || fail "smoke run of $program"
  rm -rf "$work"
  echo "ran $program outside its data folder: data found, gear drawn ($shot)"
}

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree/usr/share/applications/quelf.desktop"
appstreamcli validate --no-net "$tree/usr/share/metainfo/org.quelf.quelf.metainfo.xml"
smoke "$tree/usr/bin/quelf" "$PWD/out/package-unpacked.png"

if [ $INSTALL = 1 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get install -y -qq "./$deb" >/dev/null
  smoke /usr/bin/quelf "$PWD/out/package-installed.png"
  $SUDO dpkg -r quelf >/dev/null
  [ ! -e /usr/bin/quelf ] || fail "/usr/bin/quelf is still there after removal"
  echo "installed, ran and removed the package"
fi
echo "Package OK: $deb"
