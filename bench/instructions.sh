#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Instructions, counted by callgrind, of our code and of its Qt baseline for each pair of the
# benchmarks: steady on a shared machine where clock times are not. Prints one line per measure,
#   NAME OURS ANCHOR RATIO
# in instructions per iteration, then the first window of a fresh process in CPU time (median of
# five processes). Takes several minutes; not part of the test command.
#   bash bench/instructions.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/setup.sh valgrind >/dev/null
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_startup bench_htmlabel bench_markup bench_advpanel \
  bench_advedit >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# measure BINARY ITERATIONS FUNCTION...: runs the binary's benchmarks FUNCTION... with ITERATIONS
# iterations each, in one process under callgrind, collecting only inside the benchmark functions;
# prints "FUNCTION INSTRUCTIONS" per benchmark (its inclusive count).
measure() {
  local binary=$1 iterations=$2 out filter
  shift 2
  out=$(mktemp "$work/callgrind.XXXXXX")
  filter="^($(
    IFS='|'
    echo "$*"
  ))(/.*)?\$"
  QUILLON_BENCH_ITERATIONS=$iterations valgrind --tool=callgrind --collect-atstart=no \
    --toggle-collect='*BM_*(benchmark::State&)' --callgrind-out-file="$out" \
    "$build/bench/${binary#bench_}/$binary" --benchmark_filter="$filter" >"$out.log" 2>&1 || {
    cat "$out.log" >&2
    return 1
  }
  # A function's code inlined from headers is listed apart; its own line holds the whole count.
  callgrind_annotate --inclusive=yes --threshold=100 "$out" 2>/dev/null \
    | sed -nE 's/^ *([0-9,]+) .*[:)](BM_[A-Za-z]+)\(benchmark::State&\).*/\2 \1/p' | tr -d , \
    | awk '$2 > n[$1] { n[$1] = $2 } END { for (f in n) print f, n[f] }'
}

# per_iteration BINARY K FUNCTION...: instructions of one iteration of each function, from the
# difference of a run of 1 and of 1 + K iterations (what a run costs around its loop cancels out).
per_iteration() {
  local binary=$1 k=$2
  shift 2
  measure "$binary" 1 "$@" >"$work/one" &
  measure "$binary" $((1 + k)) "$@" >"$work/more"
  wait $!
  join <(sort "$work/one") <(sort "$work/more") | awk -v k="$k" '{ printf "%s %d\n", $1, ($3 - $2) / k }'
}

# line NAME OURS ANCHOR COUNTS: one result line from "FUNCTION INSTRUCTIONS" pairs.
line() {
  awk -v name="$1" -v ours="$2" -v anchor="$3" '
    $1 == ours { o = $2 } $1 == anchor { a = $2 }
    END { printf "%-22s %12d %12d %6.2f\n", name, o, a, (a > 0 ? o / a : 0) }' "$4"
}

printf '%-22s %12s %12s %6s\n' NAME OURS ANCHOR RATIO

# The first window of a fresh process: one iteration, each window in its own process.
measure bench_startup 1 BM_QuillonWindow >"$work/cold-ours" &
measure bench_startup 1 BM_BaselineWindow >"$work/cold-anchor"
wait $!
cat "$work/cold-ours" "$work/cold-anchor" >"$work/cold"
line startup-cold BM_QuillonWindow BM_BaselineWindow "$work/cold"

per_iteration bench_startup 3 BM_QuillonWindow BM_BaselineWindow BM_PassWithoutWait BM_BaselinePassWork \
  >"$work/startup"
line startup-warm BM_QuillonWindow BM_BaselineWindow "$work/startup"

per_iteration bench_htmlabel 10 BM_HTMLabelPaintAfterChange BM_QLabelPaintAfterChange BM_HTMLabelPaint \
  BM_QLabelPaint BM_HTMLabelMouseMove BM_QLabelMouseMove >"$work/label"
line label-changed-paint BM_HTMLabelPaintAfterChange BM_QLabelPaintAfterChange "$work/label"

per_iteration bench_markup 10 BM_OurDraw BM_QtDocFullDraw BM_OurHitTest BM_QtDocFullHitTest BM_OurHeight \
  BM_QtDocFullHeight >"$work/markup"
line markup-draw BM_OurDraw BM_QtDocFullDraw "$work/markup"

per_iteration bench_advpanel 10 BM_PanelCaptionStatus BM_QFrameBands BM_PanelClassic BM_PanelGradient \
  BM_QFrameRaised BM_AnchorAtKept BM_AnchorAtLaidOut >"$work/panel"
line panel-bands BM_PanelCaptionStatus BM_QFrameBands "$work/panel"

per_iteration bench_advedit 10 BM_AdvEditMoneyKey BM_QLineEditDoubleValidatorKey >"$work/edit"

line pass-without-wait BM_PassWithoutWait BM_BaselinePassWork "$work/startup"
line label-paint BM_HTMLabelPaint BM_QLabelPaint "$work/label"
line label-mouse-move BM_HTMLabelMouseMove BM_QLabelMouseMove "$work/label"
line markup-hit-test BM_OurHitTest BM_QtDocFullHitTest "$work/markup"
line markup-height BM_OurHeight BM_QtDocFullHeight "$work/markup"
line panel-classic BM_PanelClassic BM_QFrameRaised "$work/panel"
line panel-gradient BM_PanelGradient BM_QFrameRaised "$work/panel"
line panel-anchor BM_AnchorAtKept BM_AnchorAtLaidOut "$work/panel"
line edit-key BM_AdvEditMoneyKey BM_QLineEditDoubleValidatorKey "$work/edit"

# The first window of a fresh process in CPU time: the benchmarks' own figures are of later windows.
cpu_once() {
  QUILLON_BENCH_ITERATIONS=1 "$build/bench/startup/bench_startup" --benchmark_filter="^$1(/.*)?\$" \
    2>/dev/null | sed 's/\x1b\[[0-9;]*m//g' | awk '$1 ~ /^BM_/ && $5 == "ms" { print $4; exit }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ours=$(for _ in 1 2 3 4 5; do cpu_once BM_QuillonWindow; done | median)
anchor=$(for _ in 1 2 3 4 5; do cpu_once BM_BaselineWindow; done | median)
awk -v o="$ours" -v a="$anchor" \
  'BEGIN { printf "\nstartup-cold in CPU time (ms, median of 5 processes): %.1f %.1f %.2f\n", o, a, o / a }'
