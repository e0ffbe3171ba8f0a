#!/bin/sh
# Times the error-list parse against vim's :cfile on the same 200,000-line gcc-like output.
# Usage: bench/errorlist-vs-vim.sh [build directory]   (needs vim; tsl_bench must be built)
set -eu
build=${1:-build}
bench="$build/bench/tsl_bench"
[ -x "$bench" ] || { echo "no $bench: build the tsl_bench target first" >&2; exit 1; }
command -v vim >/dev/null || { echo "vim is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
output="$work/gcc-output.txt"
: > "$work/empty.txt"

echo "== tsl: parseErrorMessages, form *#:%: (benchmark writes the output it parses)"
TSL_ERRORLIST_OUTPUT="$output" "$bench" --benchmark_filter='BM_ErrorListParse$' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true | grep -E 'Benchmark|_(mean|median)'
echo "output: $(wc -l < "$output") lines, $(wc -c < "$output") bytes"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# One vim run reading `file` into the quickfix list; prints the number of valid entries.
vim_cfile() {
    vim -es -N -u NONE -i NONE --noplugin \
        -c 'set errorformat=%f:%l:%c:\ %m' \
        -c "cfile $1" \
        -c 'call writefile([len(filter(getqflist(), "v:val.valid"))], "/dev/stdout")' \
        -c 'qa!'
}

best() { sort -n | head -1; }

echo "== vim -es :cfile, errorformat=%f:%l:%c:\\ %m ($(vim --version | head -1))"
entries=$(vim_cfile "$output")
for run in 1 2 3 4 5; do
    start=$(now_ms); vim_cfile "$output" > /dev/null; echo $(( $(now_ms) - start ))
done | best > "$work/full"
for run in 1 2 3 4 5; do
    start=$(now_ms); vim_cfile "$work/empty.txt" > /dev/null; echo $(( $(now_ms) - start ))
done | best > "$work/startup"
echo "valid quickfix entries: $entries"
echo "best of 5: $(cat "$work/full") ms in all, $(cat "$work/startup") ms of it starting vim on an empty file"
echo "vim parse alone: about $(( $(cat "$work/full") - $(cat "$work/startup") )) ms"
