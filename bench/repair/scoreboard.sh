#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The repair scoreboard: installs the peers and the programs that make the originals, builds the repair
# command, runs every damaged original through it and through the peers, prints the table and draws
# docs/repair-scoreboard.png. Takes a few minutes; not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/setup.sh
packages=(zip unzip p7zip-full libarchive-tools python3-docx python3-openpyxl python3-matplotlib
  libreoffice-impress time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillon-repair
/usr/bin/python3 bench/repair/scoreboard.py --tool build/app/quillon-repair --png docs/repair-scoreboard.png "$@"
