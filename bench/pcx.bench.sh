#!/usr/bin/env bash
# PCX decoding speed against ImageMagick in the same run: each program reads
# the same file and writes a PPM, process start included; best of 5 runs.
#   bash bench/pcx.bench.sh BUILD_DIR
set -euo pipefail
build=${1:-build/bench}
convert=$build/kaleidon-convert
[ -x "$convert" ] || { echo "no $convert: build the bench preset first"; exit 1; }
im=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

best() {  # seconds of the fastest of 5 runs of the command
  local best=999 start end t
  for _ in 1 2 3 4 5; do
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
  done
  echo "$best"
}

"$im" -seed 7 -size 2400x1800 plasma:fractal -depth 8 "$tmp/source.ppm"
"$im" "$tmp/source.ppm" -type TrueColor "$tmp/truecolor.pcx"
"$im" "$tmp/source.ppm" -colors 256 -type Palette "$tmp/palette.pcx"
"$im" "$tmp/source.ppm" -threshold 50% "$tmp/bilevel.gif"
"$im" "$tmp/bilevel.gif" "$tmp/bilevel.pcx"
for name in truecolor palette bilevel; do
  file=$tmp/$name.pcx
  ours=$(best "$convert" "$file" "$tmp/out.ppm")
  theirs=$(best "$im" "$file" ppm:-)
  printf '%-10s 2400x1800  kaleidon-convert %6.3f s  ImageMagick %6.3f s  ratio %.2f\n' \
    "$name" "$ours" "$theirs" "$(echo "$theirs / $ours" | bc -l)"
done
