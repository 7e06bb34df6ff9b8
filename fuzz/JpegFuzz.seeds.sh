#!/usr/bin/env bash
# Writes small valid JPEG files of the kinds the reader meets into the corpus
# directory given as $1: baseline, progressive, greyscale, restart markers,
# arithmetic coding, other chroma sampling.
set -euo pipefail
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -seed 3 -size 35x21 plasma:fractal -depth 8 "$tmp/source.ppm"
seed() {
  local name=$1
  shift
  cjpeg "$@" -outfile "$out/seed-$name.jpg" "$tmp/source.ppm"
}
seed baseline -quality 75
seed progressive -progressive
seed grey -grayscale
seed grey-progressive -grayscale -progressive
seed restart -restart 1
seed arithmetic -arithmetic
seed sample-1x1 -sample 1x1 -optimize
seed sample-2x1 -sample 2x1 -progressive
seed rgb -rgb
