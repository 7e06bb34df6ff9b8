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
if [ "$quick" = 1 ]; then
  exec ctest --preset native -j "$jobs" --no-tests=error
fi

# The processors are what the whole run waits for. From here three strands go
# side by side: the native tests; the fuzz build and a short run of each
# fuzzer, at the lowest priority, so that they take only what the others
# leave (the Wine tests mostly wait for windows); and the win64 build with
# its tests under Wine. The first two run as process groups of their own
# (job control), so that they can be ended whole, but in this session: a
# session of their own would be scheduled as a group of its own, as much as
# the rest together whatever its priority.
cmake --preset fuzz >/dev/null
set -m
ctest --preset native -j "$jobs" --no-tests=error >build/native-tests.log 2>&1 &
native=$!
nice -n 19 bash -c 'cmake --build --preset fuzz -j "$1" && bash fuzz/run.sh build/fuzz "$2"' \
  fuzz "$jobs" "${KALEIDON_FUZZ_SECONDS:-10}" >build/fuzz.log 2>&1 &
fuzz=$!
set +m
trap 'kill -- "-$native" "-$fuzz" 2>/dev/null || true' EXIT

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"

native_status=0
wait "$native" || native_status=$?
echo "== native tests"
cat build/native-tests.log

# The win64 tests in a Wine session of their own; each Wine script test
# opens one more of its own (see tests/CMakeLists.txt), so they run side by
# side: they mostly wait for windows.
wine_status=0
scripts/wine-session test ctest --preset win64 -j 3 --no-tests=error || wine_status=$?

fuzz_status=0
wait "$fuzz" || fuzz_status=$?
echo "== fuzzers"
cat build/fuzz.log
[ "$native_status" = 0 ] && [ "$wine_status" = 0 ] && [ "$fuzz_status" = 0 ]
