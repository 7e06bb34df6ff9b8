#!/usr/bin/env bash
# Small valid WebP files for the WebP fuzz corpus, written by cwebp, img2webp
# and webpmux: lossy and lossless, each with and without alpha, and an
# animation whose first frame lies inside a larger canvas.
#   bash fuzz/WebpFuzz.seeds.sh CORPUS_DIR
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$im" -seed 2 -size 13x7 plasma:fractal -depth 8 "$tmp/full.png"
"$im" -size 13x7 xc:none -fill '#c0306080' -draw 'circle 6,3 6,0' "$tmp/logo.png"
cwebp -quiet -q 70 "$tmp/full.png" -o "$out/lossy.webp"
cwebp -quiet -q 70 "$tmp/logo.png" -o "$out/lossy-alpha.webp"
cwebp -quiet -lossless "$tmp/full.png" -o "$out/lossless.webp"
cwebp -quiet -lossless "$tmp/logo.png" -o "$out/lossless-alpha.webp"
img2webp -lossy "$tmp/full.png" -lossless "$tmp/logo.png" -o "$out/animated.webp" >/dev/null 2>&1
cwebp -quiet -lossless -resize 6 4 "$tmp/logo.png" -o "$tmp/small.webp"
webpmux -frame "$tmp/small.webp" +50+2+2 -frame "$out/lossy.webp" +50 -loop 0 -bgcolor 0,0,0,0 \
  -o "$out/placed.webp" >/dev/null 2>&1
