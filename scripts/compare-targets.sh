#!/usr/bin/env bash
# Compares the worksheets that the builds' tests wrote for the readers' corpus
# (every field type and the edge cases, each build's zorbik-convert on the same
# sources and layouts): every file must be byte for byte the reference's.
#   bash scripts/compare-targets.sh build/release build/windows build/arm64
set -euo pipefail
cd "$(dirname "$0")/.."
reference=$1
shift
corpus=tests/readers/corpus
count=0
for file in "$reference/$corpus"/*.xls; do
  for build in "$@"; do
    cmp "$file" "$build/$corpus/${file##*/}"
  done
  count=$((count + 1))
done
[ "$count" -gt 0 ] || { echo "compare: no worksheets in $reference/$corpus" >&2; exit 1; }
echo "compare: $count worksheets byte-identical in $reference and $*"
