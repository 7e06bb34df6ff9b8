#!/usr/bin/env bash
# Version information blobs for the version resource fuzz corpus: the
# program's own resource and a smaller one, compiled by windres, taken out of
# the .res files.
#   bash fuzz/VersionResourceFuzz.seeds.sh CORPUS_DIR
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sed -e 's/@KALEIDON_VERSION_[A-Z]*@/1/g' -e 's/@KALEIDON_FILE_VERSION@/1.0.1.108/g' \
  "$here/../res/version.rc.in" >"$tmp/program.rc"
cat >"$tmp/small.rc" <<'RC'
1 VERSIONINFO
FILEVERSION 2,0,0,0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "100904e4"
    BEGIN
      VALUE "fileversion", "2.0\0"
      VALUE "X", "\0"
    END
  END
END
RC
for rc in program small; do
  x86_64-w64-mingw32-windres -O res "$tmp/$rc.rc" "$tmp/$rc.res"
  # The data of the RT_VERSION entry: entries of data size, header size,
  # type 0xFFFF 16, then the data, each on a 4-byte boundary.
  python3 - "$tmp/$rc.res" "$out/$rc.bin" <<'PY'
import struct, sys
res = open(sys.argv[1], "rb").read()
at = 0
while at + 12 <= len(res):
    size, header = struct.unpack_from("<II", res, at)
    if res[at + 8:at + 12] == b"\xff\xff\x10\x00":
        open(sys.argv[2], "wb").write(res[at + header:at + header + size])
        break
    at = (at + header + size + 3) & ~3
PY
done
