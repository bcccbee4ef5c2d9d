#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every C++ file of the checkout is laid out as .clang-format says: names each
# file that clang-format would change, with the first lines of its difference, and ends
# with "format: N passed, N failed" (one count per file). Fix a file with clang-format -i.
set -uo pipefail
cd "$(dirname "$0")/.."

if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi

status=0
output=$(clang-format --dry-run --Werror "${files[@]}" 2>&1) || status=$?
mapfile -t differing < <(sed -nE 's/^(.+):[0-9]+:[0-9]+: error: code should be clang-formatted.*/\1/p' \
  <<< "$output" | sort -u)
failed=${#differing[@]}
for file in "${differing[@]}"; do
  echo "not formatted: $file"
  clang-format "$file" | diff -u "$file" - | sed -n '3,12s/^/    /p'
done
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
  echo "$output"  # clang-format itself failed: no file was checked
  failed=${#files[@]}
fi
passed=$((${#files[@]} - failed))

echo "format: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
