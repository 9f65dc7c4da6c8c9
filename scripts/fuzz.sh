#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer; replays every
# committed corpus file through its target; runs the targets side by side on every core; merges what
# they learned into the committed corpora; prints per target the runs, coverage and findings.
#   bash scripts/fuzz.sh --seconds 3600                 # a long run of every target
#   bash scripts/fuzz.sh --seconds 600 zipwalk deflate  # some targets only (with or without fuzz_)
#   bash scripts/fuzz.sh --seconds 20 --no-merge -DQUILLON_WERROR=ON   # the test command's short run
#   bash scripts/fuzz.sh --seconds 0                    # the replay alone
#   bash scripts/fuzz.sh 60 -DQUILLON_WERROR=ON         # older form: seconds first
# Options: --seconds N (default 60; FUZZ_SECONDS also sets it), --no-merge (leave the corpora as they
# are), --minimise (rewrite each corpus as the smallest set with its coverage), --jobs N (cores to use,
# default all); arguments starting with -D go to CMake's configure step; any other names a target.
# Findings (crash-*, leak-*, timeout-*, oom-*) land in build-fuzz/findings/<target>/; any finding, or a
# corpus file that fails its replay, makes the exit status 1.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
merge=1
minimise=0
cores="$(nproc)"
cmake_args=()
wanted=()
first=1
while (($#)); do
  case "$1" in
    --seconds) seconds="$2"; shift ;;
    --seconds=*) seconds="${1#*=}" ;;
    --jobs) cores="$2"; shift ;;
    --no-merge) merge=0 ;;
    --minimise) minimise=1 ;;
    -D*) cmake_args+=("$1") ;;
    -h | --help) sed -n '3,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *)
      if ((first)) && [[ "$1" =~ ^[0-9]+$ ]]; then seconds="$1"; else wanted+=("${1#fuzz_}"); fi ;;
  esac
  first=0
  shift
done
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "fuzz.sh: --seconds takes a whole number" >&2; exit 2; }

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLON_FUZZ=ON -DQUILLON_TESTS=OFF -DQUILLON_BENCH=OFF -DQUILLON_WERROR=OFF "${cmake_args[@]}" >/dev/null
cmake --build build-fuzz -j"$cores" --target quillon_fuzzers

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"

shopt -s nullglob
targets=()
for exe in build-fuzz/fuzz/*/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name="$(basename "$exe")"
  name="${name#fuzz_}"
  if ((${#wanted[@]})); then
    [[ " ${wanted[*]} " == *" $name "* ]] || continue
  fi
  targets+=("$name")
done
for name in "${wanted[@]}"; do
  [[ " ${targets[*]} " == *" $name "* ]] || { echo "fuzz.sh: no target fuzz_$name" >&2; exit 2; }
done
((${#targets[@]})) || { echo "fuzz.sh: no fuzz targets built" >&2; exit 2; }

logs=build-fuzz/logs
mkdir -p "$logs"
# Findings of earlier runs stay where they are; this run counts only its own.
stamp="$logs/started"
touch "$stamp"
# The time limit is wall-clock: on a busy shared machine a unit gets a fraction of a core, hence a
# generous default (FUZZ_TIMEOUT seconds); re-run a timeout alone before taking it for a hang.
common=(-timeout="${FUZZ_TIMEOUT:-30}" -rss_limit_mb=2048 -malloc_limit_mb=2048)
status=0

exe_of() { echo "build-fuzz/fuzz/$1/fuzz_$1"; }
dict_of() {
  local d=(fuzz/"$1"/*.dict)
  ((${#d[@]})) && echo "-dict=${d[0]}"
}

# Every committed input once, each in a process of its own so that one failure names its file. The
# targets are replayed side by side.
replay() {
  local name="$1" files=(fuzz/"$1"/corpus/*)
  ((${#files[@]})) || { echo "no corpus" >"$logs/$name.replay"; return 0; }
  "$(exe_of "$name")" "${common[@]}" -artifact_prefix="build-fuzz/findings/$name/" "${files[@]}" \
    >"$logs/$name.replay" 2>&1
}
pids=()
for name in "${targets[@]}"; do
  mkdir -p "build-fuzz/findings/$name"
  replay "$name" &
  pids+=($!)
done
for i in "${!targets[@]}"; do
  name="${targets[$i]}"
  files=(fuzz/"$name"/corpus/*)
  if wait "${pids[$i]}"; then
    echo "replay fuzz_$name: ${#files[@]} corpus files pass"
  else
    echo "replay fuzz_$name: FAILED"
    tail -n 40 "$logs/$name.replay"
    status=1
  fi
done
((status == 0)) || exit 1
((seconds > 0)) || exit 0

# One process per target, all at once; when there are more cores than targets, each target forks to
# use its share. A fresh working corpus holds what this run finds, the committed one seeds it.
per=$((cores / ${#targets[@]}))
((per >= 1)) || per=1
pids=()
for name in "${targets[@]}"; do
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  fork=()
  ((per > 1)) && fork=(-fork="$per" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
  # shellcheck disable=SC2046
  "$(exe_of "$name")" "${common[@]}" "${fork[@]}" $(dict_of "$name") -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$name/" "$work" \
    $([ -d "fuzz/$name/corpus" ] && echo "fuzz/$name/corpus") >"$logs/$name.run" 2>&1 &
  pids+=($!)
done
echo "fuzzing ${#targets[@]} targets for ${seconds}s on $cores cores"
for i in "${!targets[@]}"; do
  wait "${pids[$i]}" || true
done

# Whatever added coverage joins the committed corpus; --minimise also drops what adds none.
if ((merge)); then
  for name in "${targets[@]}"; do
    corpus="fuzz/$name/corpus"
    mkdir -p "$corpus"
    if ((minimise)); then
      fresh="build-fuzz/minimised/$name"
      rm -rf "$fresh" && mkdir -p "$fresh"
      "$(exe_of "$name")" "${common[@]}" -merge=1 "$fresh" "$corpus" "build-fuzz/corpus/$name" \
        >"$logs/$name.merge" 2>&1 && { rm -f "$corpus"/*; cp "$fresh"/* "$corpus"/; }
    else
      "$(exe_of "$name")" "${common[@]}" -merge=1 "$corpus" "build-fuzz/corpus/$name" >"$logs/$name.merge" 2>&1
    fi || { echo "merge fuzz_$name failed: $logs/$name.merge"; status=1; }
  done
fi

# The last status line carries the run count and coverage: "#runs ... cov: N ft: M ...".
printf '%-14s %12s %8s %8s %9s %9s\n' target runs cov ft corpus findings
for name in "${targets[@]}"; do
  line="$(grep -aE '^#[0-9]+.*cov: ' "$logs/$name.run" | tail -n 1 || true)"
  runs="$(sed -nE 's/^#([0-9]+).*/\1/p' <<<"$line")"
  runs_stat="$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$logs/$name.run" | tail -n 1)"
  [ -n "$runs_stat" ] && runs="$runs_stat"
  cov="$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$line")"
  ft="$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<<"$line")"
  files=(fuzz/"$name"/corpus/*)
  mapfile -t found < <(find "build-fuzz/findings/$name" -maxdepth 1 -type f -newer "$stamp" \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \))
  printf '%-14s %12s %8s %8s %9s %9s\n' "fuzz_$name" "${runs:-?}" "${cov:-?}" "${ft:-?}" "${#files[@]}" "${#found[@]}"
  if ((${#found[@]})); then
    status=1
    printf '  %s\n' "${found[@]}"
    grep -aE 'ERROR|SUMMARY|runtime error' "$logs/$name.run" | head -n 5 | sed 's/^/  /'
  fi
done
exit "$status"
