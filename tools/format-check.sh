#!/usr/bin/env bash
# Checks that every C++ source follows .clang-format (Debian's clang-format).
#   tools/format-check.sh          report files that differ, exit 1 if any
#   tools/format-check.sh --fix    reformat them in place
set -euo pipefail
cd "$(dirname "$0")/.."
CF=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$CF" ]; then echo "clang-format not found (Debian package clang-format)"; exit 1; fi
mapfile -t files < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
if [ "${1:-}" = "--fix" ]; then
  "$CF" -i "${files[@]}"
  exit 0
fi
"$CF" --dry-run -Werror "${files[@]}"
