#!/bin/sh
# Times Column add/del ("Insert at begin" of // on 100,000 selected lines) against vim's
# :%s#^#//# on the same file, both alone and as one load-change-store, and opening a project of
# 64 files of 100 KB each until every window is shown, next to vim loading the same 64 files.
# Prints medians of 5 runs.
# Usage: bench/projects-vs-vim.sh [build directory]   (needs vim and a display or xvfb-run;
# tsl_bench must be built)
set -eu
build=${1:-build}
bench="$build/bench/tsl_bench"
[ -x "$bench" ] || { echo "no $bench: build the tsl_bench target first" >&2; exit 1; }
command -v vim >/dev/null || { echo "vim is not installed (scripts/install-deps --bench)" >&2; exit 1; }
run=""
[ -n "${DISPLAY:-}" ] || run="xvfb-run -a"
bench=$(cd "$(dirname "$bench")" && pwd)/$(basename "$bench")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cd "$work"

# The benchmark's own text, byte for byte: the first 100,000 lines of its 40 MB text.
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "    sum += counter * %7d; /* s%05d */\n", i, i % 100000 }' > in.c
echo "file: $(wc -c < in.c) bytes, $(wc -l < in.c) lines"

echo "== tsl (Column add/del through the prompt and the notice; project of 64 x 100 KB files)"
TSL_COLUMN_INPUT="$work/in.c" TSL_COLUMN_OUTPUT="$work/tsl-out" $run "$bench" \
    --benchmark_filter='BM_Projects_' 2>/dev/null | grep -E '^Benchmark|_median'

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { sort -n | sed -n 3p; }
vim_es() { vim -N -u NONE -i NONE -n -es "$@"; }

echo "== vim ($(vim --version | head -1))"
for i in 1 2 3 4 5; do
    start=$(now_ms)
    vim_es -c '%s#^#//#' -c 'w! out' -c 'qa!' in.c
    echo $(( $(now_ms) - start ))
done | median > vim_ms
for i in 1 2 3 4 5; do
    start=$(now_ms)
    vim_es -c 'qa!' in.c
    echo $(( $(now_ms) - start ))
done | median > vim_load_ms
echo "vim load, :%s#^#//# and write, median of 5: $(cat vim_ms) ms (load and quit alone: $(cat vim_load_ms) ms)"
if cmp -s out tsl-out; then echo "tsl's stored result is identical to vim's"; else echo "tsl's result DIFFERS from vim's"; fi

mkdir files
head -c 102400 in.c > files/part.c
for i in $(seq 1 64); do cp files/part.c "files/part$i.c"; done
rm files/part.c
for i in 1 2 3 4 5; do
    start=$(now_ms)
    vim_es -c 'silent argdo edit' -c 'qa!' files/*.c
    echo $(( $(now_ms) - start ))
done | median > vim_files_ms
echo "vim loading the 64 files of 100 KB into buffers, median of 5: $(cat vim_files_ms) ms"
