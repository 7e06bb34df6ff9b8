#!/usr/bin/env bash
# Small valid GIF files for the GIF fuzz corpus, written by ImageMagick and
# giflib: several colour counts, interlaced, animated, transparent, local table.
#   bash fuzz/GifFuzz.seeds.sh CORPUS_DIR
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert
"$im" -seed 1 -size 16x12 plasma:fractal -colors 2 "$out/two.gif"
"$im" -seed 2 -size 21x9 plasma:fractal -colors 16 "$out/sixteen.gif"
"$im" -seed 3 -size 40x30 plasma:fractal -colors 256 "$out/full.gif"
"$im" -seed 4 -size 11x13 plasma:fractal -colors 64 -interlace GIF "$out/interlaced.gif"
"$im" -seed 5 -delay 10 -size 12x8 plasma:fractal -size 5x4 xc:red -colors 8 "$out/animated.gif"
"$im" -seed 6 -size 10x10 plasma:fractal -colors 8 -transparent-color red -fill red \
  -draw 'point 1,1' -transparent red "$out/transparent.gif"
if command -v gifbuild >/dev/null; then
  printf '%s\n' 'screen width 4' 'screen height 2' 'screen colors 4' 'screen background 0' \
    'pixel aspect byte 0' '' 'image # 1' 'image left 0' 'image top 0' 'image map' \
    '	rgb 255 000 000 is 0' '	rgb 000 255 000 is 1' '	rgb 000 000 255 is 2' '	rgb 001 002 003 is 3' \
    'end' 'image bits 4 by 2' '0123' '3210' >"$out/local.txt"
  gifbuild "$out/local.txt" >"$out/local.gif"
  rm "$out/local.txt"
fi
