#!/usr/bin/env bash
# Download speed of kaleidon-fetch against curl in the same run: a 512 MB
# body from a local server to a file, natively and, when a Windows build is
# at hand or can be made, kaleidon-fetch.exe under Wine. Prints both times,
# the ratio (curl's time over ours: 1.00 or more is as fast as curl) and the
# peak memory of each.
#   bash bench/fetch.bench.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
fetch=$build/kaleidon-fetch
[ -x "$fetch" ] || { echo "no $fetch: build the bench preset first"; exit 1; }
win=$(dirname "$build")/bench-win64
if [ ! -x "$win/kaleidon-fetch.exe" ] && command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
  (cd "$here" && cmake --preset bench-win64 -B "$win" >/dev/null && cmake --build "$win" --target kaleidon-fetch >/dev/null)
fi
args=(--fetch "$fetch" --curl /usr/bin/curl)
[ -x "$win/kaleidon-fetch.exe" ] && args+=(--fetch-exe "$win/kaleidon-fetch.exe" --emulator "$here/scripts/wine-run")
python3 "$here/bench/fetch_bench.py" "${args[@]}"
