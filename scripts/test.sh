#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, checks the formatting, builds everything with warnings as errors and runs
# all tests (the installation check among them), builds the tests that need no window once more with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them, checks that the Windows sources
# compile, builds the Debian package and checks it with lintian, replays every fuzz corpus through its
# target and runs each target briefly (FUZZ_SECONDS, default 20), and last clang-tidy on the C++ files
# the last commit changed (the whole tree takes too long for every run: bash scripts/check-tidy.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check-format.sh
bash scripts/build.sh -DQUILLON_WERROR=ON
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j"$(nproc)")

# The sanitizer build: a folder of its own, only the windowless tests (tests/CMakeLists.txt says which);
# any report aborts the test it comes from. The tests of executables this build leaves out show up
# as *_NOT_BUILT and are skipped.
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLON_SANITIZE=ON -DQUILLON_BENCH=OFF -DQUILLON_WERROR=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target quillon_windowless_tests
(
  cd build-asan
  export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  ctest --output-on-failure -j"$(nproc)" -E '_NOT_BUILT$'
)

bash scripts/check-windows.sh
bash scripts/package.sh
bash scripts/check-package.sh
bash scripts/fuzz.sh --seconds "${FUZZ_SECONDS:-20}" --no-merge -DQUILLON_WERROR=ON
bash scripts/check-tidy.sh --changed
