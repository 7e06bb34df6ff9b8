#!/usr/bin/env bash
# Small valid PNG files for the PNG fuzz corpus, written by ImageMagick and
# netpbm: palette with and without transparency, greyscale of 1 and 16 bits,
# RGB, RGBA of 8 and 16 bits, interlaced, a colour key.
#   bash fuzz/PngFuzz.seeds.sh CORPUS_DIR
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$im" -seed 2 -size 13x7 plasma:fractal -depth 8 "$tmp/full.ppm"
"$im" -size 13x7 xc:none -fill '#c0306080' -draw 'circle 6,3 6,0' "$tmp/logo.png"
"$im" "$tmp/full.ppm" "PNG8:$out/palette.png"
"$im" "$tmp/logo.png" "PNG8:$out/palette-trns.png"
"$im" "$tmp/full.ppm" -colorspace Gray -depth 1 "PNG:$out/grey1.png"
"$im" "$tmp/full.ppm" -colorspace Gray -depth 16 "PNG:$out/grey16.png"
"$im" "$tmp/full.ppm" "PNG24:$out/rgb.png"
"$im" "$tmp/logo.png" "PNG32:$out/rgba.png"
"$im" "$tmp/logo.png" "PNG64:$out/rgba16.png"
"$im" "$tmp/logo.png" -interlace PNG "PNG32:$out/interlaced.png"
"$im" "$tmp/full.ppm" -fill black -draw 'rectangle 0,0 3,3' "$tmp/key.ppm"
pnmtopng -transparent =rgb:00/00/00 "$tmp/key.ppm" >"$out/key.png"
