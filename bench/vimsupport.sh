# shellcheck shell=sh
# What the bench/*-vs-vim.sh scripts share; they set `build` (the build directory) and source
# this file. It checks that tsl_bench is built and vim installed, sets `bench` to tsl_bench's
# absolute path and `run` to "xvfb-run -a" when there is no X display, and goes into a temporary
# folder, `work`, that is removed when the script ends or is interrupted.
bench="$build/bench/tsl_bench"
[ -x "$bench" ] || { echo "no $bench: build the tsl_bench target first" >&2; exit 1; }
command -v vim >/dev/null || { echo "vim is not installed (scripts/install-deps --bench)" >&2; exit 1; }
bench=$(cd "$(dirname "$bench")" && pwd)/tsl_bench
run=""
[ -n "${DISPLAY:-}" ] || run="xvfb-run -a"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
cd "$work"

# The first LINES lines of the benchmarks' own 40 MB text (sourceText in benchsupport.cpp), byte
# for byte; 1000000 lines are the whole text.
bench_text() {
    awk -v lines="$1" 'BEGIN { for (i = 0; i < lines; i++) printf "    sum += counter * %7d; /* s%05d */\n", i, i % 100000 }'
}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Runs the command given five times, its output discarded; prints each wall time in milliseconds.
five_times_ms() {
    for _ in 1 2 3 4 5; do
        start=$(now_ms)
        "$@" > /dev/null
        echo $(( $(now_ms) - start ))
    done
}
median() { sort -n | sed -n 3p; }

# vim in Ex mode, without any settings, plugins, viminfo or swap file.
vim_es() { vim -N -u NONE -i NONE -n -es "$@"; }
