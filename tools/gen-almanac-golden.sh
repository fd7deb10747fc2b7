#!/usr/bin/env bash
# Regenerates the golden almanac pages tests/data/sky/almanac_<date>_left.expected and
# _right.expected with a built vrncli. Review the diff, then check the new pages against an
# independent ephemeris and the fixed layout before committing:
#   /usr/bin/python3 tools/review-almanac-golden.py tests/data/sky/almanac_<date>
#   tools/gen-almanac-golden.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build}/apps/vrncli/vrncli
[ -x "$exe" ] || { echo "no vrncli at $exe; build it first" >&2; exit 1; }
mkdir -p tests/data/sky
for date in 2024-03-30; do
  for page in left right; do
    out=tests/data/sky/almanac_${date}_${page}.expected
    "$exe" almanac "$date" --page "$page" > "$out"
    echo "$out: $(wc -l < "$out") lines"
  done
done
