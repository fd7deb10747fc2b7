#!/usr/bin/env bash
# Regenerates the golden picture of the star finder chart (tests/data/sky/starfinder_lisbon.png)
# with a built vrncli: Lisbon, 2026-06-21 21:15 UTC, the sight planner's three bodies marked.
# The list goldens of vrncli starfinder are regenerated with the others by
# tools/gen-vrncli-golden.sh and reviewed against PyEphem with tools/review-starfinder-golden.py.
# Look at the picture before committing it.
#   tools/gen-starfinder-golden.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build}/apps/vrncli/vrncli
[ -x "$exe" ] || { echo "no vrncli at $exe; build it first" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
"$exe" starfinder --lat 38.7N --lon 9.15W --utc 2026-06-21T21:15:00 --best 3 \
  --png tests/data/sky/starfinder_lisbon.png --size 400 > /dev/null
echo "tests/data/sky/starfinder_lisbon.png written"
