#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds the program, tests and benchmarks into build/. Arguments are passed to CMake's
# configure step after the defaults, so they win:
#   bash scripts/build.sh -DQUILLON_WERROR=ON     # warnings fail the build (the test command does this)
set -euo pipefail
cd "$(dirname "$0")/.."
# Warnings as errors is set on every run, so that a test run does not leave it on for the next plain build.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=OFF "$@" >/dev/null
cmake --build build -j"$(nproc)"
