#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, checks the formatting, builds everything with warnings as errors and runs
# all tests (the installation check among them), checks that the Windows sources compile, builds the
# Debian package and checks it with lintian, then a short run of each fuzzer (also built with warnings
# as errors), and last clang-tidy on the C++ files the last commit changed (the whole tree takes too
# long for every run: bash scripts/check-tidy.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check-format.sh
bash scripts/build.sh -DQUILLON_WERROR=ON
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j"$(nproc)")
bash scripts/check-windows.sh
bash scripts/package.sh
bash scripts/check-package.sh
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}" -DQUILLON_WERROR=ON
bash scripts/check-tidy.sh --changed
