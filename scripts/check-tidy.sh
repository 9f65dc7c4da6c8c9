#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs clang-tidy 14 with the committed .clang-tidy over our C++ sources, with the compile commands of
# the configured build in build/ (and of build-fuzz/ for the fuzz targets, when it is configured).
# Fails on any finding. Headers are checked through the sources that include them, our folders only;
# generated moc, uic and rcc sources and other projects' headers are not checked.
#   bash scripts/check-tidy.sh             # every source (about forty minutes of one core)
#   bash scripts/check-tidy.sh --changed   # what the last commit and the working tree changed
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
[ -f "$build/compile_commands.json" ] || { echo "configure $build first (bash scripts/build.sh)" >&2; exit 1; }
changed=0
case "${1:-}" in
  --changed) changed=1 ;;
  "") ;;
  *) echo "usage: $0 [--changed]" >&2; exit 2 ;;
esac

# Our sources in a compile-commands file, as paths relative to the tree, each with that file's build
# folder (the fuzz targets are compiled only in the fuzz build).
units() {
  python3 - "$PWD" "$@" <<'PY'
import json, os, sys
root = sys.argv[1] + "/"
for commands in sys.argv[2:]:
    if not os.path.isfile(commands):
        continue
    folder = os.path.dirname(commands)
    for entry in json.load(open(commands)):
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        if not path.startswith(root):
            continue
        path = path[len(root):]
        if path.startswith("build") or not os.path.isfile(path):  # generated, or gone since
            continue
        if folder != "build" and not path.startswith("fuzz/"):
            continue
        print(path + "\t" + folder)
PY
}
mapfile -t all < <(units "$build/compile_commands.json" build-fuzz/compile_commands.json | sort -u -t$'\t' -k1,1)

selected=("${all[@]}")
if ((changed)); then
  base=HEAD~1
  git rev-parse -q --verify "$base" >/dev/null || base=$(git hash-object -t tree /dev/null)
  mapfile -t files < <(git diff --name-only "$base" -- '*.cpp' '*.h')
  # A changed header is checked through every source that includes it by name.
  names=()
  for f in "${files[@]}"; do
    [ -f "$f" ] || continue
    [[ $f == *.h ]] && names+=("$(basename "$f")")
  done
  selected=()
  for entry in "${all[@]}"; do
    src=${entry%%$'\t'*}
    hit=0
    for f in "${files[@]}"; do [ "$f" = "$src" ] && hit=1 && break; done
    if ((!hit)) && ((${#names[@]})); then
      for n in "${names[@]}"; do
        grep -q "#include [\"<]\([^\">]*/\)\?$n[\">]" "$src" && hit=1 && break
      done
    fi
    ((hit)) && selected+=("$entry")
  done
fi

if ((${#selected[@]} == 0)); then
  echo "tidy: no C++ source to check"
  exit 0
fi

# One source: its findings are printed together, and the exit status says whether there were any.
check() {
  local src=${1%%$'\t'*} folder=${1#*$'\t'} out
  if ! out=$("$tidy" -p "$folder" --quiet "$src" 2>&1); then
    printf '%s\n' "$out" | grep -v -e '^[0-9]* warnings\? generated' -e '^Suppressed [0-9]* warnings' \
      -e '^Use -header-filter' >&2
    return 1
  fi
}
export -f check
export tidy

echo "tidy: checking ${#selected[@]} of ${#all[@]} sources with $tidy"
failed=0
printf '%s\0' "${selected[@]}" | xargs -0 -n 1 -P "$(nproc)" bash -c 'check "$1"' _ || failed=1
((failed == 0)) || { echo "tidy: findings above (configuration: .clang-tidy)" >&2; exit 1; }
echo "tidy: ${#selected[@]} sources are clean"
