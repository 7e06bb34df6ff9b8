#!/usr/bin/env bash
# Small valid TIFF files of the kinds the reader takes, written into the corpus
# directory $1 by ImageMagick and tiffcp.
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert
src=(-seed 3 -size 13x7 plasma: -alpha off)
"$im" "${src[@]}" -compress None -define tiff:endian=msb "$out/seed-rgb-mm.tif"
"$im" "${src[@]}" -compress LZW -define tiff:predictor=2 -define tiff:rows-per-strip=3 "$out/seed-rgb-lzw.tif"
"$im" "${src[@]}" -compress RLE "$out/seed-rgb-packbits.tif"
"$im" "${src[@]}" -interlace Plane -compress LZW -define tiff:rows-per-strip=2 "$out/seed-planar.tif"
"$im" "${src[@]}" -colorspace gray -depth 16 "$out/seed-grey16.tif"
"$im" "${src[@]}" -colorspace gray -depth 4 "$out/seed-grey4.tif"
"$im" "${src[@]}" -posterize 3 -type Palette "$out/seed-palette.tif"
"$im" "${src[@]}" -define tiff:tile-geometry=16x16 "$out/seed-tiled.tif"
"$im" "${src[@]}" -monochrome pbm:- | "$im" pbm:- -compress Group4 "$out/seed-g4.tif"
"$im" "${src[@]}" -monochrome pbm:- | "$im" pbm:- -compress Fax "$out/seed-g3.tif"
tiffcp -c g3:2d -f lsb2msb "$out/seed-g4.tif" "$out/seed-g3-2d.tif"
tiffcp "$out/seed-rgb-mm.tif" "$out/seed-g4.tif" "$out/seed-pages.tif"
