#!/usr/bin/env bash
# Builds the benchmarks and runs them: natively every bench/*Bench program and
# bench/*.bench.sh script, then, when asked with --win64, the Windows ones under
# Wine. Each prints ratios against a peer measured in the same run.
#   bash bench/run.sh [--win64]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
need=()
for p in libgif-dev libtiff-dev libpng-dev hyperfine; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
[ ${#need[@]} -eq 0 ] || apt-get install -y -q --no-install-recommends "${need[@]}"
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
shopt -s nullglob
for b in build/bench/bench/*Bench; do
  echo "== $(basename "$b")"
  "$b"
done
for s in bench/*.bench.sh; do
  echo "== $(basename "$s")"
  bash "$s" build/bench
done
if [ "${1:-}" = --win64 ]; then
  . scripts/lib.sh
  cmake --preset bench-win64 >/dev/null
  cmake --build --preset bench-win64 -j "$(nproc)"
  for b in build/bench-win64/bench/*Bench.exe; do
    echo "== $(basename "$b") (Wine)"
    scripts/wine-run "$b"
  done
fi
