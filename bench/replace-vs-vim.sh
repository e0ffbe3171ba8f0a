#!/bin/sh
# Times tsl's replace-all against vim's :%s on the same 40 MB file, in which the word "counter"
# occurs 1,000,000 times. Prints medians of 5 runs.
# Usage: bench/replace-vs-vim.sh [build directory]   (needs vim and a display or xvfb-run;
# tsl_bench must be built)
set -eu
build=${1:-build}
bench="$build/bench/tsl_bench"
[ -x "$bench" ] || { echo "no $bench: build the tsl_bench target first" >&2; exit 1; }
command -v vim >/dev/null || { echo "vim is not installed (apt install vim-nox)" >&2; exit 1; }
run=""
[ -n "${DISPLAY:-}" ] || run="xvfb-run -a"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cd "$work"

# The benchmark's own text, byte for byte.
awk 'BEGIN { for (i = 0; i < 1000000; i++) printf "    sum += counter * %7d; /* s%05d */\n", i, i % 100000 }' > in.c
echo "file: $(wc -c < in.c) bytes, $(grep -o counter in.c | wc -l) occurrences of counter"

echo "== tsl (replace through the prompts, \"replace all\"; the find goes round the whole text)"
TSL_REPLACE_OUTPUT="$work/tsl-out" $run "$OLDPWD/$bench" --benchmark_filter='BM_TextTools_' 2>/dev/null | grep -E '^Benchmark|_median'

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { sort -n | sed -n 3p; }

echo "== vim ($(vim --version | head -1))"
for i in 1 2 3 4 5; do
    start=$(now_ms)
    vim -N -u NONE -i NONE -n -es -c '%s/counter/tally/g' -c 'w! out' -c 'qa!' in.c
    echo $(( $(now_ms) - start ))
done | median > vim_ms
echo "vim load, :%s/counter/tally/g and write, median of 5: $(cat vim_ms) ms"
echo "vim result: $(wc -c < out) bytes, $(grep -o tally out | wc -l) occurrences of tally"
if cmp -s out tsl-out; then echo "tsl's stored result is identical to vim's"; else echo "tsl's result DIFFERS from vim's"; fi
