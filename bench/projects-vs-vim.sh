#!/bin/sh
# Times Column add/del ("Insert at begin" of // on 100,000 selected lines) against vim's
# :%s#^#//# on the same file, both alone and as one load-change-store, and opening a project of
# 64 files of 100 KB each until every window has painted, next to vim loading the same 64 files.
# Prints medians of 5 runs.
# Usage: bench/projects-vs-vim.sh [build directory]   (needs vim and a display or xvfb-run;
# tsl_bench must be built)
set -eu
build=${1:-build}
# shellcheck source=bench/vimsupport.sh
. "$(dirname "$0")/vimsupport.sh"

bench_text 100000 > in.c
echo "file: $(wc -c < in.c) bytes, $(wc -l < in.c) lines"

echo "== tsl (Column add/del through the prompt and the notice; project of 64 x 100 KB files)"
TSL_COLUMN_INPUT="$work/in.c" TSL_COLUMN_OUTPUT="$work/tsl-out" $run "$bench" \
    --benchmark_filter='BM_Projects_' --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '^Benchmark|_median'

echo "== vim ($(vim --version | head -1))"
vim_ms=$(five_times_ms vim_es -c '%s#^#//#' -c 'w! out' -c 'qa!' in.c | median)
vim_load_ms=$(five_times_ms vim_es -c 'qa!' in.c | median)
echo "vim load, :%s#^#//# and write, median of 5: $vim_ms ms (load and quit alone: $vim_load_ms ms)"
if cmp -s out tsl-out; then echo "tsl's stored result is identical to vim's"; else echo "tsl's result DIFFERS from vim's"; fi

mkdir files
head -c 102400 in.c > files/part.c
for i in $(seq 1 64); do cp files/part.c "files/part$i.c"; done
rm files/part.c
vim_files_ms=$(five_times_ms vim_es -c 'silent argdo edit' -c 'qa!' files/*.c | median)
echo "vim loading the 64 files of 100 KB into buffers, median of 5: $vim_files_ms ms"
