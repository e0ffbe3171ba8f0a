#!/usr/bin/env python3
# Runs whole processes until their window is first painted (TSL_QUIT_WHEN_SHOWN), each RUNS
# times, and prints their median wall time and peak resident size. Used by bench/highlighting.sh.
# Usage: startups.py WORK-DIRECTORY BUILD-DIRECTORY RUNS
import os
import statistics
import subprocess
import sys
import time

work, build, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
size = os.path.getsize(os.path.join(work, "big.c"))
env = dict(os.environ, HOME=work, TSL_QUIT_WHEN_SHOWN="1")
commands = [
    ("tsl (no file)", [build + "/tsl"]),
    ("tsl big.c (highlighted)", [build + "/tsl", "big.c"]),
    ("tsl big.txt (no lexer)", [build + "/tsl", "big.txt"]),
    ("bare QScintilla window big.c", [build + "/bench/bench_bare_window", "big.c"]),
]
results = {}
for name, argv in commands:
    times, peaks = [], []
    for _ in range(runs):
        start = time.monotonic()
        child = subprocess.Popen(argv, cwd=work, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, _, usage = os.wait4(child.pid, 0)
        times.append(time.monotonic() - start)
        peaks.append(usage.ru_maxrss * 1024)
    results[name] = (statistics.median(times), statistics.median(peaks))

base = results["tsl (no file)"][1]
for name, (median, peak) in results.items():
    growth = "" if name.startswith("tsl (no") else "  %.2f bytes per byte of the file" % ((peak - base) / size)
    print("%-30s median %7.1f ms   peak %6.1f MB%s" % (name, median * 1000, peak / 1e6, growth))
print("highlighted load / load without a lexer: %.3f"
      % (results["tsl big.c (highlighted)"][0] / results["tsl big.txt (no lexer)"][0]))
