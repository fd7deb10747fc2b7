#!/usr/bin/env bash
# Checks every tracked C++ file against .clang-format; prints the offenders.
set -euo pipefail
cd "$(dirname "$0")/.."
fmt=${1:-clang-format}
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | grep -v '^tools/node_modules/' || true)
((${#files[@]})) || exit 0
existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done
"$fmt" --dry-run -Werror "${existing[@]}"
