#!/usr/bin/env python3
# Runs whole processes until their window is first painted (TSL_QUIT_WHEN_SHOWN), RUNS rounds in
# which each command runs once in turn (so that a busy machine slows them alike), and prints the
# median wall time, the median processor time (user and system) and the median peak resident size
# of each. Used by bench/highlighting.sh.
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
samples = {name: ([], [], []) for name, _ in commands}
for _ in range(runs):
    for name, argv in commands:
        start = time.monotonic()
        child = subprocess.Popen(argv, cwd=work, env=env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        _, _, usage = os.wait4(child.pid, 0)
        wall, cpu, peak = samples[name]
        wall.append(time.monotonic() - start)
        cpu.append(usage.ru_utime + usage.ru_stime)
        peak.append(usage.ru_maxrss * 1024)

median = {name: tuple(statistics.median(values) for values in lists) for name, lists in samples.items()}
base = median["tsl (no file)"][2]
for name, (wall, cpu, peak) in median.items():
    growth = "" if name.startswith("tsl (no") else "  %.2f bytes per byte of the file" % ((peak - base) / size)
    print("%-30s median %7.1f ms (processor %7.1f ms)   peak %6.1f MB%s"
          % (name, wall * 1000, cpu * 1000, peak / 1e6, growth))
highlighted, plain = median["tsl big.c (highlighted)"], median["tsl big.txt (no lexer)"]
print("highlighted load / load without a lexer: %.3f (processor time %.3f)"
      % (highlighted[0] / plain[0], highlighted[1] / plain[1]))
