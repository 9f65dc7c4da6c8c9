#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# each for the given number of seconds (default 60) from its seed corpus.
# Further arguments are passed to CMake's configure step.
#   bash scripts/fuzz.sh 3600                       # a longer run
#   bash scripts/fuzz.sh 60 -DQUILLON_WERROR=ON     # warnings fail the build (the test command does this)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift $(($# > 0 ? 1 : 0))
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLON_FUZZ=ON -DQUILLON_TESTS=OFF -DQUILLON_BENCH=OFF -DQUILLON_WERROR=OFF "$@" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target quillon_fuzzers
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
shopt -s nullglob
ran=0
for target in build-fuzz/fuzz/*/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus_seed="fuzz/${name#fuzz_}/corpus"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$work" $( [ -d "$corpus_seed" ] && echo "$corpus_seed" ) 2>&1 | tail -n 12
  ran=$((ran + 1))
done
echo "fuzzers run: $ran"
