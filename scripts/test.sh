#!/usr/bin/env bash
# Builds both presets and runs every test: the native tests (under ASan and
# UBSan), the win64 tests under Wine, and a short run of each fuzzer.
#   scripts/test.sh          everything (what CI runs)
#   scripts/test.sh --quick  the native build and its tests only, for the
#                            development loop
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
bash scripts/setup.sh
. scripts/lib.sh

jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" --no-tests=error
[ "$quick" = 0 ] || exit 0

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
kaleidon_wine_env
export WINEPREFIX=${KALEIDON_WINEPREFIX:-$HOME/.cache/kaleidon/wine-test}
export KALEIDON_WINEPREFIX=$WINEPREFIX
# The tests get a display of their own, whatever DISPLAY the caller has:
# their windows never land on the user's screen, and a stale DISPLAY cannot
# make every window creation fail.
unset DISPLAY
kaleidon_start_xvfb
echo "win64 tests on Xvfb display $DISPLAY"
export KALEIDON_WINE_SESSION=1  # scripts/wine-run: the display and the server are ours
kaleidon_wine_prefix
# One Wine server for all the test programs, as a standard user.
kaleidon_as_user wineserver -p
trap 'wineserver -k 2>/dev/null || true; kaleidon_stop_xvfb' EXIT
# Brings up Wine's desktop process now, detached from any test's output pipes.
wine build/win64/tests/kaleidon-probe.exe visible </dev/null >/dev/null 2>&1 || true
ctest --preset win64 --no-tests=error

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
bash fuzz/run.sh build/fuzz "${KALEIDON_FUZZ_SECONDS:-30}"
