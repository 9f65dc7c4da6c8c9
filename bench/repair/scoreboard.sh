#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The repair scoreboard: installs the peers and the programs that make the originals, builds the repair
# command, runs every damaged original through it and through the peers, prints the table and draws
# docs/repair-scoreboard.png. Takes a few minutes; not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/setup.sh python3-matplotlib libreoffice-impress time
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillon-repair
/usr/bin/python3 bench/repair/scoreboard.py --tool build/app/quillon-repair --png docs/repair-scoreboard.png "$@"
