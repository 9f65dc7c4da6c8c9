#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian package that scripts/package.sh built (default: the newest build/quillon_*.deb) with
# lintian: fails on any error or warning, and on missing bind-now, RELRO or PIE (reported only as
# information). hardening-no-fortify-functions is let pass: lintian reports it also when no call in the
# program has a size the compiler can check, as with ours.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=${1:-$(ls -t build/quillon_*.deb | head -n 1)}
report=$(lintian --display-info --tag-display-limit 0 --fail-on none "$deb" 2>&1)
echo "$report"
if grep -qE '^[EW]: |^I: .*hardening-no-(bindnow|relro|pie)' <<<"$report"; then
  echo "package: lintian finds fault with $deb" >&2
  exit 1
fi
echo "package: lintian finds no error, no warning and no missing bind-now, RELRO or PIE in $deb"
