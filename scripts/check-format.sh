#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a tracked C++ file differs from the committed .clang-format (clang-format 14).
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format)
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp')
bad=()
for f in "${files[@]}"; do
  "$format" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if ((${#bad[@]})); then
  echo "These files differ from .clang-format (run: clang-format-14 -i FILE):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "format: ${#files[@]} files match .clang-format"
