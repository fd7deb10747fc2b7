#!/usr/bin/env bash
# Regenerates the expected output of the `vrncli calibrate` tests (tests/apps/vrncli/calibrate/:
# <case>.expected, .err, .status and the data files written) by running a built vrncli on each
# <case>.args. Review the diff before committing: the north angle and the scale against what
# tools/make-calibrate-test-pictures.py prints for the pictures it made (3 degrees, 50 pixels
# per degree), the reference and limit points against the construction.
#   tools/gen-calibrate-golden.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
exe=$build/apps/vrncli/vrncli
[ -x "$exe" ] || { echo "no vrncli at $exe; build it first" >&2; exit 1; }
dir=tests/apps/vrncli/calibrate
rm -f "$dir"/*.CID "$dir"/*.expected "$dir"/*.err "$dir"/*.status
for args in "$dir"/*.args; do
  case=$(basename "${args%.args}")
  cmake -DEXE="$exe" -DCASE="$PWD/$dir/$case" -DWORK="$PWD/$build/calibrate-golden/$case" \
        -DREGENERATE=1 -P tests/apps/vrncli/RunCalibrate.cmake || true
  echo "$case: exit $(cat "$dir/$case.status")"
done
