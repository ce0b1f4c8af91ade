#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop takes
# from there: the files in their places, the desktop entry and the AppStream
# metainfo with their validators, and the design file types with the MIME
# database tool.
#
#   check_install.sh CMAKE BUILD_DIR
set -euo pipefail
CMAKE=$1
BUILD=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
fail() { echo "FAIL: $*"; exit 1; }

"$CMAKE" --install "$BUILD" --prefix "$prefix" >/dev/null

for f in bin/quelf share/quelf/Exhaust.wav share/quelf/Error.wav share/quelf/instruct.doc \
         share/quelf/QelSpIns.doc share/applications/quelf.desktop share/mime/packages/quelf.xml \
         share/metainfo/org.quelf.quelf.metainfo.xml share/icons/hicolor/scalable/apps/quelf.svg \
         share/icons/hicolor/48x48/apps/quelf.png; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/quelf" ] || fail "bin/quelf is not executable"
[ "$(head -c 4 "$prefix/bin/quelf" | od -An -c | tr -d ' ')" = "177ELF" ] || fail "bin/quelf is not the program"
[ ! -e "$prefix/libexec" ] || fail "something was installed under libexec"

desktop-file-validate "$prefix/share/applications/quelf.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.quelf.quelf.metainfo.xml"

# The MIME database built from the installed types knows both globs, and the
# desktop entry opens exactly those types.
update-mime-database "$prefix/share/mime"
grep -qx '50:application/x-quelf-design:\*.vgw' "$prefix/share/mime/globs2" || fail "no *.vgw glob"
grep -qx '50:application/x-quelf-older-design:\*.vgd' "$prefix/share/mime/globs2" || fail "no *.vgd glob"
grep -qx 'MimeType=application/x-quelf-design;application/x-quelf-older-design;' \
  "$prefix/share/applications/quelf.desktop" || fail "the desktop entry does not open the design types"
grep -qx 'Exec=quelf %f' "$prefix/share/applications/quelf.desktop" || fail "the desktop entry passes no file"
echo "installed tree OK"
