#!/usr/bin/env bash
# Start-up and large-file load, as whole processes: tsl until its main window is first painted,
# next to a bare Qt window with a QScintilla editor and a terminal, and vim -es loading the same
# file. Needs hyperfine and vim (scripts/install-deps --bench) and a built tree.
# Usage: bench/startup.sh [build-directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp share/tsl/tslrc "$work/.tslrc"
python3 bench/bigfile.py "$work/big.c"
cat > "$work/run.sh" <<SH
#!/bin/sh
export HOME="$work" TSL_QUIT_WHEN_SHOWN=1
cd "$work"
exec xvfb-run -a -s "-screen 0 1280x1024x24" hyperfine -N --warmup 2 --runs \${RUNS:-15} --export-json "$work/startup.json" \
  "$PWD/$build/tsl" "$PWD/$build/bench/bench_bare_window" \
  "$PWD/$build/tsl big.c" "$PWD/$build/bench/bench_bare_window big.c" "vim -N -u NONE -i NONE -n -es -c qa! big.c"
SH
chmod +x "$work/run.sh"
"$work/run.sh" >/dev/null
python3 - "$work/startup.json" <<'PY'
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print("%-70s median %7.1f ms  (min %.1f, max %.1f)" % (r["command"].replace(r"$PWD/", ""), r["median"] * 1000, r["min"] * 1000, r["max"] * 1000))
PY
