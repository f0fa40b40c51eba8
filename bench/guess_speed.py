#!/usr/bin/python3
"""Times `zorbik-convert --guess` on a 10 MiB and a 2 GiB source and reports
its peak memory.

Both sources are a 1000-byte header and records of 100 bytes (a text, an
integer, a number written as text, a double, padding); the 2 GiB one repeats
a block of 4 MiB of records, which is no easier for the finder, as it reads
only a sample of the file. They are written into the work folder (about
2 GiB of free space needed) and removed afterwards unless --keep is given.

    guess_speed.py --convert PATH --work DIR [--runs N] [--keep]
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
    """Median wall-clock and CPU seconds of a guess, and its peak memory (KiB)."""
    times, cpu = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        result = subprocess.run([convert, "--guess", path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        times.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu.append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
        if result.returncode != 0 or b"records of %d bytes from byte %d " % (RECORD, HEADER) not in result.stdout:
            sys.exit("guess_speed.py: wrong guess for %s:\n%s%s" % (path, result.stdout.decode(),
                                                                   result.stderr.decode()))
    # The peak memory of the guess alone, without what a forked Python
    # process holds before it starts the program.
    peak = subprocess.run(["/usr/bin/time", "-f", "%M", convert, "--guess", path], stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE).stderr.decode().split()[-1]
    return statistics.median(times), statistics.median(cpu), int(peak)

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--keep", action="store_true", help="keep the sources for the next run")
    options = parser.parse_args()
    os.makedirs(options.work, exist_ok=True)
    goals = [("10 MiB", 10 << 20, 0.100), ("2 GiB", 2 << 30, 1.0)]
    failed = False
    for name, size, goal in goals:
        path = os.path.join(options.work, "guess-%s.bin" % name.replace(" ", ""))
        write_source(path, size)
        try:
            seconds, cpu, peak = measure(options.convert, path, options.runs)
        finally:
            if not options.keep:
                os.remove(path)
        ok = seconds < goal and peak < 64 * 1024
        failed |= not ok
        print("--guess on %-6s  %6.1f ms wall, %6.1f ms CPU (medians of %d; goal < %.0f ms), peak memory %.1f MiB "
              "(goal < 64 MiB) %s" % (name, seconds * 1000, cpu * 1000, options.runs, goal * 1000, peak / 1024.0,
                                      "ok" if ok else "MISSED"))
    print("load average: %.2f %.2f %.2f (on a busy machine the wall-clock times grow)" % os.getloadavg())
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
