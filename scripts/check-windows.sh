#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Windows is checked to compile, not built or run: every C++ source that a Windows build compiles (the
# program's own sources, with the *_win.cpp file of each *_posix.cpp / *_win.cpp pair) is compiled for
# syntax only (-fsyntax-only -DUNICODE -D_UNICODE) by Debian's mingw-w64 cross compiler for 32-bit
# Windows, against Debian's Qt 6 headers (Debian has no Qt built for Windows; these are the Linux ones,
# read with the cross compiler's Windows defines and system headers: our code is checked, not what
# differs between Qt's own Windows and Linux headers). The source list and the
# include folders come from the configured build in build/ (uic's headers included). The version
# resource is generated as the Windows build would generate it and compiled by windres. Fails on any
# error. Generated moc and rcc sources are not checked. The repair engine and its command line (repair/,
# tools/) are POSIX-only so far: their Windows file and process services are still to be written.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
compiler=i686-w64-mingw32-g++-posix
windres=i686-w64-mingw32-windres
commands="$build/compile_commands.json"
[ -f "$commands" ] || { echo "configure $build first (bash scripts/build.sh)" >&2; exit 1; }
root=$PWD

# One line per compiled file: the file, a tab, its include folders and defines (each entry of the file
# that CMake writes holds its "command" line before its "file" line). The Linux-only mkspecs folder is
# left out.
mapfile -t entries < <(awk -v root="$root/" '
  /^ *"command":/ { command = $0 }
  /^ *"file":/ {
    file = $0; sub(/^ *"file": *"/, "", file); sub(/",? *$/, "", file)
    if (index(file, root) == 1) file = substr(file, length(root) + 1)
    n = split(command, words, " "); flags = ""
    for (i = 1; i <= n; ++i) {
      if (words[i] == "-isystem") { i++; if (words[i] !~ /mkspecs/) flags = flags " -isystem " words[i] }
      else if (words[i] ~ /^-I/ || words[i] ~ /^-D/) flags = flags " " words[i]
    }
    print file "\t" flags
  }' "$commands" | grep -v -e '^/' -e "^$build/" -e '^tests/' -e '^bench/' -e '^fuzz/' -e '^repair/' -e '^tools/' | sort -u)

# Checks one entry; prints the file when it does not compile.
check() {
  local f=${1%%$'\t'*} flags
  read -r -a flags <<<"${1#*$'\t'}"
  if [[ $f == *_posix.cpp ]]; then
    f=${f%_posix.cpp}_win.cpp
    [ -f "$f" ] || { echo "windows: no Windows counterpart $f" >&2; return 1; }
  fi
  "$compiler" -std=c++20 -fsyntax-only -DUNICODE -D_UNICODE -Wall -Wextra "${flags[@]}" "$f" \
    || { echo "windows: $f does not compile" >&2; return 1; }
}
export -f check
export compiler

echo "windows: checking ${#entries[@]} sources with $compiler -fsyntax-only"
failed=0
printf '%s\0' "${entries[@]}" | xargs -0 -n 1 -P "$(nproc)" bash -c 'check "$1"' _ || failed=1

rc_dir=$(mktemp -d)
trap 'rm -rf "$rc_dir"' EXIT
generator=$(find "$build" -type f -name quillon_verres_gen -perm -u+x | head -n 1)
"$generator" rc controls/ExeInfo/QuillonVersion.txt "$rc_dir/version.rc"
"$windres" -O coff -i "$rc_dir/version.rc" -o "$rc_dir/version.res" || { echo "windows: version.rc" >&2; failed=1; }

((failed == 0)) || exit 1
echo "windows: ${#entries[@]} sources and the version resource compile"
