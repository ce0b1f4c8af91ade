#!/usr/bin/env bash
# Renders the hand-drawn program icon (packaging/icons/quelf.svg) into the PNG
# sizes that desktops look for. The PNGs are committed; run this again after
# changing the SVG (needs ImageMagick).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for n in 16 22 24 32 48 64 128 256; do
  convert -background none -density 192 quelf.svg -resize "${n}x${n}" \
    -define png:exclude-chunks=date,time -strip "PNG32:quelf-$n.png"
done
ls -l quelf-*.png
