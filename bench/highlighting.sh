#!/usr/bin/env bash
# Highlighting of the 40 MB C file of bench/startup.sh. First whole processes, each until its
# window is first painted: tsl with the file as C source (highlighted), tsl with the same bytes
# named .txt (no lexer), the bare QScintilla window of bench/startup.sh, and tsl without a file
# (medians of RUNS runs, default 7; peak memory as growth over tsl without a file, per byte of
# the file). Then the in-process figures of tsl_bench, each benchmark in a process of its own:
# load and show, and the longest the window goes unanswered while the view jumps to the end of
# the file and back, with the memory held once the whole file is styled.
# Usage: bench/highlighting.sh [build-directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp share/tsl/tslrc "$work/.tslrc"
python3 bench/bigfile.py "$work/big.c"
ln "$work/big.c" "$work/big.txt"
xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/startups.py "$work" "$build" "${RUNS:-7}"
for benchmark in LoadAndShow_Highlighted LoadAndShow_NoLexer JumpToEndAndBack_Highlighted; do
  TSL_BENCH_SOURCE="$work/big.c" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/bench/tsl_bench" --benchmark_filter="$benchmark" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep median
done
