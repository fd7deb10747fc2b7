#!/usr/bin/env bash
# Regenerates the expected output of the `vrncli gpx` tests (tests/apps/vrncli/gpx/: <case>.expected,
# .err, .status and the files written) by running a built vrncli on each <case>.args. Review the
# diff, then check the written files against gpsbabel's own reading of the same inputs:
#   tools/review-gpx-golden.py
#   tools/gen-gpx-golden.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
exe=$build/apps/vrncli/vrncli
[ -x "$exe" ] || { echo "no vrncli at $exe; build it first" >&2; exit 1; }
dir=tests/apps/vrncli/gpx
for args in "$dir"/*.args; do
  case=$(basename "${args%.args}")
  rm -f "$dir/$case".expected "$dir/$case".err "$dir/$case".status
  find "$dir" -name "$case.*" ! -name "$case.args" ! -name "$case.files" -delete
  cmake -DEXE="$exe" -DCASE="$PWD/$dir/$case" -DWORK="$PWD/$build/gpx-golden/$case" \
        -DREGENERATE=1 -P tests/apps/vrncli/RunFiles.cmake || true
  echo "$case: exit $(cat "$dir/$case.status")"
done
