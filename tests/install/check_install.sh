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

# The program itself in bin (no launcher), its data where it looks for them.
[ "$(head -c 4 "$prefix/bin/quelf" | od -An -c | tr -d ' ')" = "177ELF" ] || fail "bin/quelf is not the program"
for f in Exhaust.wav Error.wav instruct.doc QelSpIns.doc; do
  [ -f "$prefix/share/quelf/$f" ] || fail "share/quelf/$f is not installed"
done

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
