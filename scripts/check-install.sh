#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build (default build/) into a temporary folder as the package does (prefix /usr) and
# checks that every file is where the desktop looks for it, and nothing else is installed: the program
# on PATH, the desktop entry in the application menu (valid, starting the installed program with a
# file, naming the installed icon), the icon in the hicolor theme (scalable and every PNG size, each
# PNG of the size its folder says), the AppStream metainfo (valid, naming the desktop entry), the
# Debian copyright and changelog, and a manual page for each program (compressed reproducibly, without
# warnings when shown).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=example.quillon.Quillon
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
  echo "install: $*" >&2
  exit 1
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
sizes=(16 22 24 32 48 64 128 256)
programs=(quillon quillon-repair)
expected=("share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  share/icons/hicolor/scalable/apps/quillon.svg share/doc/quillon/copyright share/doc/quillon/changelog.gz)
for p in "${programs[@]}"; do expected+=("bin/$p" "share/man/man1/$p.1.gz"); done
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x$s/apps/quillon.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort) \
  || fail "the installed files (>) differ from those expected (<)"

[ -x "$usr/bin/quillon" ] || fail "bin/quillon is not executable"
version=$("$usr/bin/quillon" --version) || fail "the installed program does not start"
[ "$version" = "Quillon 2.1 Build 2" ] || fail "the installed program says it is '$version'"

for s in "${sizes[@]}"; do
  png="$usr/share/icons/hicolor/${s}x$s/apps/quillon.png"
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
  read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$png")
  [ "$w" = "$s" ] && [ "$h" = "$s" ] || fail "$png is $w x $h"
done
grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/quillon.svg" || fail "the scalable icon is no SVG"

# gzip -9n: no name and no time in the header, so the package is the same whenever it is built.
compressed=(share/doc/quillon/changelog.gz)
for p in "${programs[@]}"; do compressed+=("share/man/man1/$p.1.gz"); done
for f in "${compressed[@]}"; do
  gzip -t "$usr/$f" || fail "$f is not gzip"
  [ "$(od -An -tx1 -j3 -N5 "$usr/$f" | tr -d ' \n')" = 0000000000 ] || fail "$f keeps a name or a time"
done
for p in "${programs[@]}"; do
  page="$usr/share/man/man1/$p.1.gz"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "the manual page of $p: $warnings"
  zcat "$page" | grep -q "^\.TH ${p^^} 1 " || fail "$page is not the manual page of $p"
done
head -1 "$usr/share/doc/quillon/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  || fail "the copyright is not in the machine-readable format"

desktop="$usr/share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "$id.desktop is not valid"
grep -qx 'Exec=quillon %f' "$desktop" || fail "$id.desktop does not start quillon with a file"
grep -qx 'Icon=quillon' "$desktop" || fail "$id.desktop does not name the installed icon"
grep -q '^MimeType=.' "$desktop" || fail "$id.desktop lists no file types"

metainfo="$usr/share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >/dev/null || {
  appstreamcli validate --no-net "$metainfo"
  fail "$id.metainfo.xml is not valid"
}
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
  || fail "the metainfo does not name $id.desktop"
echo "install: ${#expected[@]} files where the desktop expects them"
