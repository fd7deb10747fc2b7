#!/usr/bin/env bash
# Regenerates the golden picture of the chart view (the world coastline at 360 x 180 pixels,
# tests/data/chartview/world_360x180.png) after a deliberate change of the chart drawing.
# Review the new picture before committing it.
#   tools/gen-chartview-golden.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
cmake --build "$BUILD" --target chartview_gui_tests
export QT_QPA_PLATFORM=offscreen
VRN_WRITE_GOLDEN=1 "$BUILD/tests/chartview/chartview_gui_tests" worldMatchesGolden
git status --short tests/data/chartview/world_360x180.png
