#!/usr/bin/env bash
# The SIMD gain of the Windows build's libjpeg-turbo: JpegBench.exe of the
# bench-win64 build decodes a photograph-like picture under Wine, once as
# built and once with libjpeg-turbo's SIMD switched off (JSIMD_FORCENONE=1,
# which Wine hands on to the program's environment).
#   bash bench/jpeg-simd.bench.sh BUILD_DIR
# BUILD_DIR is a bench-win64 build, or the native bench build beside which
# bench/run.sh --win64 puts it (build/bench -> build/bench-win64); the
# JpegBench target is built there when missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench-win64}
if [ ! -f "$build/CMakeCache.txt" ] || ! grep -q '^CMAKE_SYSTEM_NAME:.*=Windows' "$build/CMakeCache.txt"; then
  build=$(dirname "$build")/bench-win64
fi
if [ ! -x "$build/bench/JpegBench.exe" ]; then
  if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || ! command -v wine >/dev/null; then
    echo "skipped: no mingw-w64 or Wine for the bench-win64 build"
    exit 0
  fi
  (cd "$here" && cmake --preset bench-win64 -B "$build" >/dev/null && cmake --build "$build" --target JpegBench >/dev/null)
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -seed 11 -size 3000x2000 plasma:fractal -blur 0x1 -depth 8 "$tmp/photo.ppm"
cjpeg -quality 85 -outfile "$tmp/photo.jpg" "$tmp/photo.ppm"
file="Z:$(echo "$tmp/photo.jpg" | tr / '\\')"

run() {  # one run of the bench: its result line, labelled
  local line
  line=$("$here/scripts/wine-run" "$build/bench/JpegBench.exe" "$file" | tr -d '\r')
  echo "$1: $line" >&2
  echo "$line" | sed -n 's/.*kaleidon \([0-9.]*\) MP\/s.*/\1/p'
}
simd=$(run "SIMD")
plain=$(JSIMD_FORCENONE=1 run "JSIMD_FORCENONE=1")
awk -v s="$simd" -v p="$plain" 'BEGIN { printf "jpeg-simd: 3000x2000 under Wine: SIMD %.1f MP/s, without SIMD %.1f MP/s, speed-up %.2fx\n", s, p, s / p }'
