#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package build/quillon_<version>_<architecture>.deb (installs what building needs
# first). Install it with:  sudo apt-get install ./build/quillon_*.deb   and remove it with:
# sudo apt-get remove quillon
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillon quillon-repair
(cd build && cpack -G DEB)
