#!/bin/sh
# Times tsl's replace-all against vim's :%s on the same 40 MB file, in which the word "counter"
# occurs 1,000,000 times. Prints medians of 5 runs.
# Usage: bench/replace-vs-vim.sh [build directory]   (needs vim and a display or xvfb-run;
# tsl_bench must be built)
set -eu
build=${1:-build}
# shellcheck source=bench/vimsupport.sh
. "$(dirname "$0")/vimsupport.sh"

bench_text 1000000 > in.c
echo "file: $(wc -c < in.c) bytes, $(grep -o counter in.c | wc -l) occurrences of counter"

echo "== tsl (replace through the prompts, \"replace all\"; the find goes round the whole text)"
TSL_REPLACE_OUTPUT="$work/tsl-out" $run "$bench" --benchmark_filter='BM_TextTools_' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '^Benchmark|_median'

echo "== vim ($(vim --version | head -1))"
vim_ms=$(five_times_ms vim_es -c '%s/counter/tally/g' -c 'w! out' -c 'qa!' in.c | median)
echo "vim load, :%s/counter/tally/g and write, median of 5: $vim_ms ms"
echo "vim result: $(wc -c < out) bytes, $(grep -o tally out | wc -l) occurrences of tally"
if cmp -s out tsl-out; then echo "tsl's stored result is identical to vim's"; else echo "tsl's result DIFFERS from vim's"; fi
