#!/usr/bin/env bash
# Strips of bilevel fax files (modified Huffman is made from the T.4 1-D one),
# each behind the four-byte header CcittFuzz reads: mode, width, rows.
set -euo pipefail
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -seed 4 -size 40x24 plasma: -monochrome pbm:- | /usr/bin/convert pbm:- -compress Group4 "$tmp/g4.tif"
tiffcp -c g3:1d -r 24 "$tmp/g4.tif" "$tmp/g3-1d.tif"
tiffcp -c g3:2d -r 24 "$tmp/g4.tif" "$tmp/g3-2d.tif"
tiffcp -c g4 -r 24 "$tmp/g4.tif" "$tmp/g4-1.tif"
python3 - "$tmp" "$out" <<'PY'
import re, struct, sys
tmp, out = sys.argv[1], sys.argv[2]
def strip(path):
    data = open(path, "rb").read()
    (ifd,) = struct.unpack_from("<I", data, 4)
    (n,) = struct.unpack_from("<H", data, ifd)
    tags = {}
    for i in range(n):
        tag, kind, count, value = struct.unpack_from("<HHII", data, ifd + 2 + 12 * i)
        tags[tag] = value if kind == 4 else value & 0xFFFF
    return data[tags[273]:tags[273] + tags[279]]
def header(mode, rows=24):
    return bytes([mode, 39, 0, rows - 1])
oned = strip(tmp + "/g3-1d.tif")
bits = "".join(format(b, "08b") for b in oned)
mh = b""
for row in re.split("0{11}1", bits)[1:25]:
    row += "0" * (-len(row) % 8)
    mh += bytes(int(row[i:i + 8], 2) for i in range(0, len(row), 8))
open(out + "/seed-mh", "wb").write(header(0) + mh)
open(out + "/seed-t4-1d", "wb").write(header(1) + oned)
open(out + "/seed-t4-2d", "wb").write(header(2) + strip(tmp + "/g3-2d.tif"))
open(out + "/seed-t6", "wb").write(header(2) + strip(tmp + "/g4-1.tif"))
PY
