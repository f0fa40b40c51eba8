#!/usr/bin/python3
"""Times `zorbik-convert --guess` on a 10 MiB and a 2 GiB source and reports
its peak memory.

Both sources are a 1000-byte header and records of 100 bytes (a text, an
integer, a number written as text, a double, padding); the 2 GiB one repeats
a block of 4 MiB of records, which is no easier for the finder, as it reads
only a sample of the file. They are written into the work folder once and
kept there.

    guess_speed.py --convert PATH --work DIR [--runs N]
"""

import argparse
import os
import random
import resource
import statistics
import struct
import subprocess
import sys
import time

RECORD = 100
HEADER = 1000


def write_source(path, size):
    if os.path.exists(path) and os.path.getsize(path) >= size:
        return
    rnd = random.Random(7)
    names = [b"Mueller", b"Schmidt", b"Meier", b"Wagner", b"Becker"]

    def record(k):
        return (rnd.choice(names).ljust(20, b" ") + struct.pack("<i", k) + b"%10.2f" % (rnd.random() * 1e5) +
                struct.pack("<d", rnd.gauss(100, 20)) + bytes(RECORD - 42))
    block = b"".join(record(k) for k in range((4 << 20) // RECORD))
    with open(path + ".part", "wb") as out:
        out.write(bytes(rnd.randrange(256) for _ in range(HEADER)))
        while out.tell() < size:
            out.write(block)
    os.replace(path + ".part", path)


def measure(convert, path, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        result = subprocess.run([convert, "--guess", path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        times.append(time.perf_counter() - start)
        if result.returncode != 0 or b"records of %d bytes from byte %d " % (RECORD, HEADER) not in result.stdout:
            sys.exit("guess_speed.py: wrong guess for %s:\n%s%s" % (path, result.stdout.decode(),
                                                                   result.stderr.decode()))
    return statistics.median(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=7)
    options = parser.parse_args()
    os.makedirs(options.work, exist_ok=True)
    goals = [("10 MiB", 10 << 20, 0.100), ("2 GiB", 2 << 30, 1.0)]
    failed = False
    for name, size, goal in goals:
        path = os.path.join(options.work, "guess-%s.bin" % name.replace(" ", ""))
        write_source(path, size)
        seconds = measure(options.convert, path, options.runs)
        ok = seconds < goal
        failed |= not ok
        print("--guess on %-6s  %7.1f ms (median of %d; goal < %.0f ms) %s" % (
            name, seconds * 1000, options.runs, goal * 1000, "ok" if ok else "TOO SLOW"))
    peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024.0
    print("peak memory of a guess: %.1f MiB (goal < 64 MiB) %s" % (peak, "ok" if peak < 64 else "TOO MUCH"))
    print("load average: %.2f %.2f %.2f" % os.getloadavg())
    sys.exit(1 if failed or peak >= 64 else 0)


if __name__ == "__main__":
    main()
