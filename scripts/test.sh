#!/usr/bin/env bash
# Checks the sources' format, builds both presets and runs every test: the
# native tests (under ASan and UBSan), the win64 tests under Wine, and a short
# run of each fuzzer.
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

jobs=$(nproc)
bash scripts/lint.sh --format
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" --no-tests=error
[ "$quick" = 0 ] || exit 0

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"

# The fuzz build and a short run of each fuzzer go on beside the Wine tests,
# at the lowest priority: those tests mostly wait for windows, and keep the
# processor whenever they want it.
cmake --preset fuzz >/dev/null
setsid nice -n 19 bash -c 'cmake --build --preset fuzz -j "$1" && bash fuzz/run.sh build/fuzz "$2"' \
  fuzz "$jobs" "${KALEIDON_FUZZ_SECONDS:-20}" >build/fuzz.log 2>&1 &
fuzz=$!
trap 'kill -- "-$fuzz" 2>/dev/null || true' EXIT

# The win64 tests in a Wine session of their own; each Wine script test
# opens one more of its own (see tests/CMakeLists.txt), so they run side by
# side: they mostly wait for windows.
wine_status=0
scripts/wine-session test ctest --preset win64 -j 3 --no-tests=error || wine_status=$?

fuzz_status=0
wait "$fuzz" || fuzz_status=$?
echo "== fuzzers"
cat build/fuzz.log
[ "$wine_status" = 0 ] && [ "$fuzz_status" = 0 ]
