#!/usr/bin/env bash
# The wallpaper job of a 6000 by 4000 PNG under Wine, against the same picture
# as BMP in the same run: kaleidon-convert.exe of the bench-win64 build loads
# each, stretches it proportionally (smoothly) for a 1920 by 1080 screen and
# writes the wallpaper bitmap, process start under Wine included; best of 3.
#   bash bench/wallpaper-png.bench.sh BUILD_DIR
# BUILD_DIR is a bench-win64 build, or the native bench build beside which
# bench/run.sh --win64 puts it (build/bench -> build/bench-win64); the
# kaleidon-convert target is built there when missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench-win64}
if [ ! -f "$build/CMakeCache.txt" ] || ! grep -q '^CMAKE_SYSTEM_NAME:.*=Windows' "$build/CMakeCache.txt"; then
  build=$(dirname "$build")/bench-win64
fi
if [ ! -x "$build/kaleidon-convert.exe" ]; then
  (cd "$here" && cmake --preset bench-win64 -B "$build" >/dev/null && cmake --build "$build" --target kaleidon-convert >/dev/null)
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -seed 11 -size 6000x4000 plasma:fractal -blur 0x1 -depth 8 "PNG24:$tmp/photo.png"
/usr/bin/convert "$tmp/photo.png" "BMP3:$tmp/photo.bmp"
windows() { echo "Z:$(echo "$1" | tr / '\\')"; }

best() {  # seconds of the fastest of 3 runs of kaleidon-convert.exe on the file
  local best=999 start end t
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    "$here/scripts/wine-run" "$build/kaleidon-convert.exe" "$(windows "$1")" "$(windows "$tmp/out.bmp")" \
      --screen 1920x1080 --placement 3 >/dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
  done
  echo "$best"
}
png=$(best "$tmp/photo.png")
bmp=$(best "$tmp/photo.bmp")
printf 'wallpaper-png: 6000x4000 to 1920x1080 under Wine: PNG %.2f s (%d MB), BMP %.2f s (%d MB), ratio %.2f\n' \
  "$png" "$(( $(stat -c %s "$tmp/photo.png") / 1000000 ))" "$bmp" "$(( $(stat -c %s "$tmp/photo.bmp") / 1000000 ))" \
  "$(echo "$bmp / $png" | bc -l)"
