#!/usr/bin/env bash
# Checks the C++ sources against the committed .clang-format and, after a
# native build (its compile commands), .clang-tidy on src/ (the portable and
# posix halves: the win64 halves need the cross compiler's headers).
#   scripts/lint.sh          both
#   scripts/lint.sh --format the format only (what scripts/test.sh checks)
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
[ "${1:-}" = --format ] && exit 0
[ -f build/native/compile_commands.json ] || cmake --preset native >/dev/null
run-clang-tidy -p build/native -j "$(nproc)" -quiet "$(pwd)/src/" >build/clang-tidy.log 2>&1 ||
  { grep -E 'warning:|error:' build/clang-tidy.log | sort -u; exit 1; }
echo "clang-format and clang-tidy: clean"
