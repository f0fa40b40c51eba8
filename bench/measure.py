#!/usr/bin/python3
"""Times zorbik-convert against a plain copy of its output (B), the same
conversion in Python with xlwt (C) and SheetJS (D), checks that what it
wrote reads back, and prints the times, the ratios and the peak memory.

    measure.py --convert PATH/zorbik-convert --work FOLDER [--runs 7]

FOLDER holds what generate.py wrote; outputs go there too. Every time is
the median of --runs runs; A and B take turns so that a change in the
machine's load falls on both. Before every run its output file is removed
(not timed)."""

import argparse
import os
import re
import shutil
import statistics
import struct
import subprocess
import sys
import time

import xlrd

from columns import HEADER_SIZE, cell_values, narrow_shape, wide_shape

MIB = 1024 * 1024
SMALL_RECORDS = 16384


class Job:
    def __init__(self, name, label, command, output):
        self.name, self.label, self.command, self.output = name, label, command, output
        self.walls, self.cpus = [], []

    def run_once(self):
        if os.path.exists(self.output):
            os.unlink(self.output)
        start = time.perf_counter()
        child = subprocess.Popen(self.command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        errors = child.stderr.read().decode(errors="replace")
        child.stderr.close()
        if status != 0:
            sys.exit(f"FAIL: {self.label}: {' '.join(self.command)} exited with {status}\n{errors}")
        self.walls.append(wall)
        self.cpus.append(usage.ru_utime + usage.ru_stime)

    def wall_ms(self):
        return statistics.median(self.walls) * 1000

    def cpu_ms(self):
        return statistics.median(self.cpus) * 1000


def time_in_turns(jobs, runs):
    for job in jobs:  # one untimed run each: caches warm, files in place
        job.run_once()
        job.walls.clear()
        job.cpus.clear()
    for _ in range(runs):
        for job in jobs:
            job.run_once()


def copy_job(target_job, name):
    """B: cp of a file of the size of A's target (a copy of it), in the same folder."""
    target_job.run_once()
    folder = os.path.dirname(target_job.output)
    original = os.path.join(folder, name + "-source.xls")
    shutil.copyfile(target_job.output, original)
    return Job("B", "cp of a file of the target's size", ["cp", original, os.path.join(folder, name + ".xls")],
               os.path.join(folder, name + ".xls"))


def peak_memory_kib(command, output):
    if os.path.exists(output):
        os.unlink(output)
    result = subprocess.run(["/usr/bin/time", "-v", *command], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            text=True, check=True)
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr).group(1))


def walk_records(path):
    """Rows, cells and whether the EOF record ends the file, from the
    record framing alone."""
    with open(path, "rb") as f:
        data = f.read()
    frame = struct.Struct("<HH").unpack_from
    pos, rows, cells, ended = 0, 0, 0, False
    while pos + 4 <= len(data):
        kind, length = frame(data, pos)
        pos += 4 + length
        if kind == 0x0008:
            rows += 1
        elif kind in (0x0002, 0x0003, 0x0004):
            cells += 1
        elif kind == 0x000A:
            ended = True
            break
    return rows, cells, ended and pos == len(data)


def same_value(got, want):
    if isinstance(want, str):
        return got == want
    return abs(got - want) <= 1e-13 * max(1.0, abs(want))


def check_values(path, shape, source, records, what):
    """Every cell of the first `records` rows, read back with xlrd."""
    with open(source, "rb") as f:
        data = f.read()
    sheet = xlrd.open_workbook(path, logfile=open(os.devnull, "w")).sheet_by_index(0)
    if sheet.nrows != records or sheet.ncols != len(shape.columns):
        sys.exit(f"FAIL: {what}: {sheet.nrows} rows x {sheet.ncols} columns read back, "
                 f"{records} x {len(shape.columns)} expected")
    for r in range(records):
        start = HEADER_SIZE + r * shape.length
        for c, want in enumerate(cell_values(shape, data[start:start + shape.length])):
            got = sheet.cell_value(r, c)
            if not same_value(got, want):
                sys.exit(f"FAIL: {what}: row {r} column {c} reads back as {got!r}, {want!r} expected")


def check_framing(path, records, columns, what):
    rows, cells, ended = walk_records(path)
    if rows != records or cells != records * columns or not ended:
        sys.exit(f"FAIL: {what}: {rows} rows, {cells} cells, EOF at the end: {ended}; "
                 f"{records} rows of {columns} cells expected")


def ratio_line(name, value, goal, at_most):
    met = value <= goal if at_most else value >= goal
    relation = "<=" if at_most else ">="
    print(f"{name} = {value:.2f}   (goal {relation} {goal}: {'met' if met else 'NOT MET'})")
    return met


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    work = args.work
    here = os.path.dirname(os.path.abspath(__file__))
    path = lambda name: os.path.join(work, name)
    convert = lambda layout, source, target: [args.convert, "--lang", "en", "--layout", path(layout), path(source),
                                              path(target)]
    narrow, wide = narrow_shape(), wide_shape()

    load_before = os.getloadavg()[0]
    a = Job("A", "zorbik-convert", convert("narrow.layout", "narrow.bin", "a.xls"), path("a.xls"))
    b = copy_job(a, "b")
    time_in_turns([a, b], args.runs)
    c = Job("C", "Python struct + xlwt", ["/usr/bin/python3", os.path.join(here, "xlwt_convert.py"), "narrow",
                                          path("narrow.bin"), path("c.xls")], path("c.xls"))
    time_in_turns([c], args.runs)
    a16 = Job("A", "zorbik-convert", convert("narrow.layout", "narrow16k.bin", "a16k.xls"), path("a16k.xls"))
    d = Job("D", "SheetJS (bookType biff2)", ["node", os.path.join(here, "sheetjs_convert.js"), path("narrow.json"),
                                              path("narrow16k.bin"), path("d.xls"), str(SMALL_RECORDS)], path("d.xls"))
    time_in_turns([a16, d], args.runs)
    aw = Job("A", "zorbik-convert", convert("wide.layout", "wide.bin", "aw.xls"), path("aw.xls"))
    bw = copy_job(aw, "bw")
    time_in_turns([aw, bw], args.runs)
    load_after = os.getloadavg()[0]

    # What A wrote must read back before its times mean anything.
    check_values(path("a16k.xls"), narrow, path("narrow16k.bin"), SMALL_RECORDS, "A, first 16384 records (xlrd)")
    check_values(path("d.xls"), narrow, path("narrow16k.bin"), SMALL_RECORDS, "D (xlrd)")
    check_framing(path("a.xls"), 65534, len(narrow.columns), "A")
    check_framing(path("aw.xls"), 65534, len(wide.columns), "A, 200 columns")

    narrow_size = os.path.getsize(path("narrow.bin"))
    wide_size = os.path.getsize(path("wide.bin"))
    memory = peak_memory_kib(a.command, a.output)
    memory_wide = peak_memory_kib(aw.command, aw.output)

    print(f"ZORBIK benchmark: medians of {args.runs} runs; {os.cpu_count()} processors, "
          f"load average {load_before:.2f} before, {load_after:.2f} after")
    print(f"Source: 65534 records of 64 bytes behind a 128-byte header, 8 columns "
          f"({narrow_size / MIB:.1f} MiB; target {os.path.getsize(path('a.xls')) / MIB:.1f} MiB)")
    for job in (a, b, c):
        print(f"  {job.name}  {job.label:<36} {job.wall_ms():10.2f} ms   (cpu {job.cpu_ms():.2f} ms)")
    print(f"First {SMALL_RECORDS} records:")
    for job in (a16, d):
        print(f"  {job.name}  {job.label:<36} {job.wall_ms():10.2f} ms   (cpu {job.cpu_ms():.2f} ms)")
    ok = ratio_line("A/B", a.wall_ms() / b.wall_ms(), 2, True)
    ok &= ratio_line("C/A", c.wall_ms() / a.wall_ms(), 50, False)
    ok &= ratio_line("D/A", d.wall_ms() / a16.wall_ms(), 10, False)
    limit = narrow_size / 1024 + 32 * 1024
    met = memory <= limit
    print(f"Peak memory of A: {memory / 1024:.1f} MiB (source + 32 MiB = {limit / 1024:.1f} MiB: "
          f"{'met' if met else 'NOT MET'})")
    ok &= met
    print(f"Source: 65534 records of 4096 bytes, 200 columns, {65534 * 200} cells "
          f"({wide_size / MIB:.1f} MiB; target {os.path.getsize(path('aw.xls')) / MIB:.1f} MiB)")
    for job in (aw, bw):
        print(f"  {job.name}  {job.label:<36} {job.wall_ms():10.2f} ms   (cpu {job.cpu_ms():.2f} ms)")
    ok &= ratio_line("A/B (200 columns)", aw.wall_ms() / bw.wall_ms(), 2, True)
    limit = wide_size / 1024 + 32 * 1024
    met = memory_wide <= limit
    print(f"Peak memory of A (200 columns): {memory_wide / 1024:.1f} MiB (source + 32 MiB = {limit / 1024:.1f} MiB: "
          f"{'met' if met else 'NOT MET'})")
    ok &= met
    print("Read back: A's first 16384 rows and D's cells by xlrd, A's records counted in both targets: ok")
    print("All goals met." if ok else "Some goals not met (see above).")
    for name in ("aw.xls", "bw.xls", "bw-source.xls"):  # a quarter gigabyte each
        os.unlink(path(name))


if __name__ == "__main__":
    main()
