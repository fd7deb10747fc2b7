#!/usr/bin/env bash
# Regenerates the expected output of the vrncli golden tests (tests/apps/vrncli/<case>.expected,
# .err and .status) by running a built vrncli on each <case>.args / <case>.in. Review the diff
# against independent values before committing (the bodies case against PyEphem:
# tools/review-vrncli-golden.py; the fix cases run with --method against an independent least-squares
# computation: tools/review-lsq-golden.py).
#   tools/gen-vrncli-golden.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build}/apps/vrncli/vrncli
[ -x "$exe" ] || { echo "no vrncli at $exe; build it first" >&2; exit 1; }
for args in tests/apps/vrncli/*.args; do
  case=${args%.args}
  mapfile -t argv < "$args"
  input=/dev/null
  [ -f "$case.in" ] && input=$case.in
  set +e
  "$exe" "${argv[@]}" < "$input" > "$case.expected" 2> "$case.err"
  echo $? > "$case.status"
  set -e
  echo "$case: exit $(cat "$case.status")"
done
