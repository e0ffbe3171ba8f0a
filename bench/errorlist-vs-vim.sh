#!/bin/sh
# Times the error-list parse against vim's :cfile on the same 200,000-line gcc-like output.
# Usage: bench/errorlist-vs-vim.sh [build directory]   (needs vim; tsl_bench must be built)
set -eu
build=${1:-build}
# shellcheck source=bench/vimsupport.sh
. "$(dirname "$0")/vimsupport.sh"
output="$work/gcc-output.txt"
: > "$work/empty.txt"

echo "== tsl: parseErrorMessages, form *#:%: (benchmark writes the output it parses)"
TSL_ERRORLIST_OUTPUT="$output" "$bench" --benchmark_filter='BM_ErrorListParse$' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true | grep -E 'Benchmark|_(mean|median)'
echo "output: $(wc -l < "$output") lines, $(wc -c < "$output") bytes"

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
full=$(five_times_ms vim_cfile "$output" | best)
startup=$(five_times_ms vim_cfile "$work/empty.txt" | best)
echo "valid quickfix entries: $entries"
echo "best of 5: $full ms in all, $startup ms of it starting vim on an empty file"
echo "vim parse alone: about $(( full - startup )) ms"
