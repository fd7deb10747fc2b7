#!/usr/bin/env bash
# Regenerates the expected output of the `vrncli render` desktop tests (tests/apps/vrncli/render/:
# <case>.expected, .err and .status) by running a built vrncli on each <case>.args. Review the
# diff before committing: the views against the desktops' chart blocks (or their objects' boxes),
# the object counts against the files (the world coastline has 5745 polygons), every line of
# standard error against the line of the desktop it names.
#   tools/gen-render-golden.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
exe=$build/apps/vrncli/vrncli
[ -x "$exe" ] || { echo "no vrncli at $exe; build it first" >&2; exit 1; }
dir=tests/apps/vrncli/render
for args in "$dir"/*.args; do
  case=$(basename "${args%.args}")
  cmake -DEXE="$PWD/$exe" -DCASE="$PWD/$dir/$case" -DSRC="$PWD" \
        -DWORK="$PWD/$build/render-golden/$case" -DREGENERATE=1 \
        -P tests/apps/vrncli/RunRender.cmake || true
  echo "$case: exit $(cat "$dir/$case.status")"
done
