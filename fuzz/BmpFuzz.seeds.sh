#!/usr/bin/env bash
# Small valid BMP files of every kind the reader takes, written into the
# corpus directory $1 by ImageMagick.
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert
src=(-seed 3 -size 11x6 plasma:)
"$im" "${src[@]}" BMP3:"$out/seed-24.bmp"
"$im" "${src[@]}" BMP2:"$out/seed-core.bmp"
"$im" "${src[@]}" BMP:"$out/seed-v5.bmp"
"$im" "${src[@]}" -monochrome BMP3:"$out/seed-1.bmp"
"$im" "${src[@]}" +dither -colors 16 -type Palette BMP3:"$out/seed-4.bmp"
"$im" "${src[@]}" +dither -colors 40 -type Palette BMP3:"$out/seed-8.bmp"
"$im" "${src[@]}" +dither -colors 40 -type Palette -compress RLE BMP3:"$out/seed-rle8.bmp"
"$im" "${src[@]}" -define bmp:subtype=RGB565 BMP:"$out/seed-565.bmp"
"$im" "${src[@]}" -alpha set -define bmp:subtype=ARGB8888 BMP:"$out/seed-8888.bmp"
"$im" "${src[@]}" -alpha set -define bmp:subtype=ARGB4444 BMP:"$out/seed-4444.bmp"
# ImageMagick writes no RLE4: one built by hand, 4x2 with a run, a literal,
# a delta and the end code.
python3 - "$out/seed-rle4.bmp" <<'PY'
import struct, sys
codes = bytes([5, 0x10, 0, 0, 0, 3, 0x02, 0x30, 0, 2, 1, 0, 1, 4, 0, 1])
table = b"".join(struct.pack("<I", i * 0x111111) for i in range(16))
info = struct.pack("<IiiHHIIiiII", 40, 4, 2, 1, 4, 2, len(codes), 0, 0, 0, 0)
head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(table) + len(codes), 0, 0, 14 + len(info) + len(table))
open(sys.argv[1], "wb").write(head + info + table + codes)
PY
