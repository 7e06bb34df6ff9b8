#!/usr/bin/env bash
# Small valid PCX files for the PCX fuzz corpus, written by ImageMagick and
# netpbm: 1, 4 and 8 bits in one plane, three planes, and 2 bits (loads white).
#   bash fuzz/PcxFuzz.seeds.sh CORPUS_DIR
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$im" -seed 1 -size 13x7 plasma:fractal -depth 8 "$tmp/full.ppm"
"$im" "$tmp/full.ppm" -type TrueColor "$out/truecolor.pcx"
"$im" "$tmp/full.ppm" -colors 200 -type Palette "$out/palette.pcx"
"$im" "$tmp/full.ppm" -threshold 50% "$tmp/bilevel.gif"
"$im" "$tmp/bilevel.gif" "$out/bilevel.pcx"
if command -v ppmtopcx >/dev/null; then
  "$im" "$tmp/full.ppm" -colors 16 "$tmp/sixteen.ppm"
  "$im" "$tmp/full.ppm" -colors 4 "$tmp/four.ppm"
  ppmtopcx -packed "$tmp/sixteen.ppm" >"$out/four-bit.pcx" 2>/dev/null
  ppmtopcx -packed "$tmp/four.ppm" >"$out/two-bit.pcx" 2>/dev/null
  ppmtopcx -24bit "$tmp/full.ppm" >"$out/planes.pcx" 2>/dev/null
fi
