#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, seeded from
# fuzz/seeds/<target>/ (made by fuzz/make-seeds.sh) and from the regression
# inputs under tests/data/<format>/bad/. Fails on the first finding.
#   bash fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
set -euo pipefail
build=${1:-build/fuzz}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
shopt -s nullglob
status=0
for target in "$build"/*Fuzz; do
  name=$(basename "$target")
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  seeds=("$here/seeds/$name")
  [ -x "$here/make-seeds.sh" ] && bash "$here/make-seeds.sh" "$name" "$corpus"
  echo "== $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -max_len=1048576 \
      -artifact_prefix="$build/$name-" -print_final_stats=0 "$corpus" 2>"$build/$name.log"; then
    tail -n 40 "$build/$name.log"
    status=1
  fi
done
exit $status
