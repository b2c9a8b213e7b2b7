#!/usr/bin/env bash
# Draws the application icons (a small table of records under a blue header) and writes
# velmora.ico (48, 32 and 16 pixels; icon 106) and velmora-small.ico (16 pixels; icon 107).
# Needs ImageMagick. The .ico files are committed; run this again only to change the design.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One drawing at 48 pixels, scaled for the other sizes: a white sheet with a blue header row,
# grid lines, and a highlighted (edited) cell.
draw() {
  local size=$1 out=$2
  local s
  s=$(awk -v n="$size" 'BEGIN { printf "%.4f", n / 48 }')
  convert -size "${size}x${size}" xc:none \
    -stroke none -fill '#1d4e89' -draw "scale $s,$s roundrectangle 2,4 45,43 5,5" \
    -fill white -draw "scale $s,$s rectangle 5,15 42,40" \
    -fill '#f2a541' -draw "scale $s,$s rectangle 19,24 30,31" \
    -stroke '#1d4e89' -strokewidth "$(awk -v n="$s" 'BEGIN { printf "%.2f", n < 0.5 ? 1 : 1.5 * n }')" \
    -draw "scale $s,$s line 5,23.5 42,23.5" -draw "scale $s,$s line 5,31.5 42,31.5" \
    -draw "scale $s,$s line 18.5,15 18.5,40" -draw "scale $s,$s line 30.5,15 30.5,40" \
    -define png:exclude-chunks=date,time +set date:create +set date:modify \
    "PNG32:$out"
}

draw 48 "$tmp/48.png"
draw 32 "$tmp/32.png"
draw 16 "$tmp/16.png"
convert "$tmp/48.png" "$tmp/32.png" "$tmp/16.png" velmora.ico
convert "$tmp/16.png" velmora-small.ico
