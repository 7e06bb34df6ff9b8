#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, JOBS targets at a
# time (default: one per processor), and fails when any of them found
# something. A target fuzz/<Name>Fuzz.cpp is seeded by the valid files that
# fuzz/<Name>Fuzz.seeds.sh writes into its corpus directory, and by the
# regression inputs under tests/data/<name, lower case>/bad/.
#   bash fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET [JOBS]
# BUILD_DIR is the fuzz build (targets in its fuzz/ directory) or that directory.
set -euo pipefail
build=${1:-build/fuzz}
seconds=${2:-30}
jobs=${3:-$(nproc)}
here=$(cd "$(dirname "$0")" && pwd)
data=$here/../tests/data
shopt -s nullglob
targets=("$build"/fuzz/*Fuzz "$build"/*Fuzz)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build" >&2
  exit 1
fi

# One target, seeded and fuzzed; what it reports goes to $build/NAME.summary,
# and $build/NAME.failed marks a finding.
fuzz_one() {
  local target=$1 name format corpus bad
  name=$(basename "$target")
  format=$(echo "${name%Fuzz}" | tr '[:upper:]' '[:lower:]')
  corpus=$build/corpus/$name
  rm -f "$build/$name.failed"
  mkdir -p "$corpus"
  [ -f "$here/$name.seeds.sh" ] && bash "$here/$name.seeds.sh" "$corpus"
  for bad in "$data/$format/bad"/*; do cp "$bad" "$corpus/"; done
  echo "== $name: ${seconds}s" >"$build/$name.summary"
  # Inputs must decode or fail within 2 s in the program; under the
  # sanitizers everything runs two to three times slower, hence 5 s here.
  if ! "$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2560 -max_len=1048576 \
      -artifact_prefix="$build/$name-" -print_final_stats=1 "$corpus" >"$build/$name.log" 2>&1; then
    tail -n 60 "$build/$name.log" >>"$build/$name.summary"
    touch "$build/$name.failed"
  else
    grep -E '^stat::number_of_executed_units' "$build/$name.log" >>"$build/$name.summary" || true
  fi
}

for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$target" &
done
wait
status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  cat "$build/$name.summary"
  [ ! -f "$build/$name.failed" ] || status=1
done
exit $status
