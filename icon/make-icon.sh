#!/usr/bin/env bash
# Renders the application icon and the logo from casket.mvg (ImageMagick only).
# Run it after editing the drawing; the PNG files are committed.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Rounded square with a blue vertical gradient.
convert -size 512x512 gradient:'#7b97f2'-'#3c5bc4' -alpha set \
    \( -size 512x512 xc:none -fill white -draw "roundrectangle 24,24 488,488 104,104" \) \
    -compose DstIn -composite "$work/background.png"
# Soft shadow under the casket.
convert -size 512x512 xc:none -fill 'rgba(16,24,72,0.45)' \
    -draw "roundrectangle 132,136 380,408 40,40" -blur 0x14 "$work/shadow.png"
convert "$work/background.png" "$work/shadow.png" -composite \
    -draw "$(grep -v '^#' casket.mvg)" "$work/full.png"

convert "$work/full.png" -resize 256x256 -depth 8 coffret.png
convert "$work/full.png" -resize 128x128 -depth 8 logo.png
