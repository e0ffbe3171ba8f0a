#!/usr/bin/env python3
# Writes the 40 MB C source file of the start-up and highlighting benchmarks to the path given.
import sys

line = "static int counter_%07d = %d; /* a line of generated C source for the load test */\n"
with open(sys.argv[1], "w") as f:
    size = 0
    i = 0
    while size < 40 * 1024 * 1024:
        s = line % (i, i)
        f.write(s)
        size += len(s)
        i += 1
