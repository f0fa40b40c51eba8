#!/usr/bin/python3
"""Times zorbik-convert's .csv, .xlsx and .sqlite targets against what a
user would use without it, on 1,000,000 records of the narrow shape, and
measures its peak memory for every format on 1,000,000 and 10,000,000:

- .csv against the same conversion in Python (struct + csv, python_csv.py),
  and against cp of the CSV it wrote (the floor);
- .xlsx against SheetJS (sheetjs_convert.js) and openpyxl's write-only
  workbook (openpyxl_convert.py);
- .sqlite against sqlite3's own .import of the CSV zorbik-convert wrote.

    formats.py --convert PATH/zorbik-convert --work FOLDER [--runs 3] [--csv-only]

The 1M source stays in FOLDER (written once); the 10M one, its records
repeated ten times, is removed after its single runs, and so are the
large outputs. Every time is the median of --runs runs, the jobs of one
format taking turns; what zorbik-convert wrote is read back before the
times are printed."""

import argparse
import csv
import itertools
import json
import os
import sqlite3
import subprocess
import sys
import time
import zipfile

from openpyxl import load_workbook

from columns import HEADER_SIZE, narrow_shape
from generate import header, write_source
from measure import MIB, Job, same_value
from python_csv import rows

RECORDS = 1_000_000
REPEATS = 10  # the large source: the 1M records this many times
MEMORY_GOAL_MIB = 64
NAMES = list("ABCDEFGH")
CHECKED_ROWS = 2000  # of each .xlsx and .sqlite, against the source's cells


def take_turns(jobs, runs):
    """The first job once untimed (the source into the page cache), then
    every job in turn, so that a change in the machine's load falls on all."""
    jobs[0].run_once()
    jobs[0].walls.clear()
    jobs[0].cpus.clear()
    for _ in range(runs):
        for job in jobs:
            job.run_once()


def peak(command, output):
    """Peak memory in MiB and wall time in s of one run."""
    if os.path.exists(output):
        os.unlink(output)
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", *command], stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True)
    wall = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"FAIL: {' '.join(command)}:\n{done.stderr}")
    return int(done.stderr.strip().splitlines()[-1]) / 1024, wall


def fail(what, message):
    sys.exit(f"FAIL: {what}: {message}")


def check_row(got, want, what, r, texts=False):
    """texts: every cell read back is a text (CSV), a number's to be parsed."""
    def same(g, w):
        if isinstance(w, str):
            return g == w
        if texts:
            try:
                g = float(g)
            except ValueError:
                return False
        return isinstance(g, (int, float)) and same_value(g, w)

    if len(got) != len(want) or not all(same(g, w) for g, w in zip(got, want)):
        fail(what, f"row {r + 1} is {list(got)}, {list(want)} expected")


def check_csv(path, source):
    """Every line: the names, then the cells of every record."""
    with open(path, newline="", encoding="utf-8") as f:
        lines = csv.reader(f)
        if next(lines) != NAMES:
            fail(path, "the first line is not the names")
        for r, (got, want) in enumerate(itertools.zip_longest(lines, rows(source))):
            if got is None or want is None:
                fail(path, f"{r} lines of records read back, then " + ("none" if got is None else "one too many"))
            check_row(got, want, path, r, texts=True)


def check_sheet(path, source):
    """The rows of the first sheet (counted in its XML), the names row and
    the first rows of records."""
    with zipfile.ZipFile(path) as z, z.open("xl/worksheets/sheet1.xml") as f:
        count, tail = 0, b""
        while chunk := f.read(1 << 24):
            count += (tail + chunk).count(b"<row ")
            tail = chunk[-4:]  # a row's tag cut by the chunk's end counts once
    if count != RECORDS + 1:
        fail(path, f"{count} rows, {RECORDS + 1} expected")
    cells = load_workbook(path, read_only=True).worksheets[0].iter_rows(values_only=True)
    if list(next(cells)) != NAMES:
        fail(path, "the first row is not the names")
    for r, (got, want) in enumerate(zip(itertools.islice(cells, CHECKED_ROWS), rows(source))):
        check_row(got, want, path, r)


def check_table(path, table, source):
    with sqlite3.connect(path) as db:
        count = db.execute(f"SELECT count(*) FROM {table}").fetchone()[0]
        first = db.execute(f"SELECT * FROM {table} ORDER BY rowid LIMIT {CHECKED_ROWS}").fetchall()
    if count != RECORDS:
        fail(path, f"{count} rows, {RECORDS} expected")
    for r, (got, want) in enumerate(zip(first, rows(source))):
        check_row(got, want, path, r)


def verdict(ratio, goal):
    return "met" if ratio >= goal else f"MISSED, {goal / ratio:.1f}x short"


def ten_million(source, big):
    """The 1M source's records REPEATS times behind the same header."""
    with open(source, "rb") as f:
        f.seek(HEADER_SIZE)
        records = f.read()
    with open(big, "wb") as f:
        f.write(header())
        for _ in range(REPEATS):
            f.write(records)


def report_csv(args, source, path, zorbik, a_csv, cp, py):
    """The CSV target's part of the run alone: its times, read-back and peak memory."""
    check_csv(a_csv.output, source)
    memory = [peak(zorbik("csv").command, path("a.csv"))]
    big = path("ten-million.bin")
    ten_million(source, big)
    memory.append(peak(zorbik("csv", big).command, path("a.csv")))
    os.unlink(big)
    for job in (a_csv, cp, py):
        print(f"  {job.name}  {job.label:<30} {job.wall_ms() / 1000:8.2f} s  (cpu {job.cpu_ms() / 1000:6.2f} s)")
    ratio = py.wall_ms() / a_csv.wall_ms()
    print(f"  P/A, CSV = {ratio:.2f}, of the cpu times {py.cpu_ms() / a_csv.cpu_ms():.2f}   "
          f"(goal >= 30: {verdict(ratio, 30)}); load average {os.getloadavg()[0]:.2f}")
    print(f"  A/B, CSV against cp of it (the floor) = {a_csv.wall_ms() / cp.wall_ms():.2f}")
    print(f"  peak memory 1M / 10M records: {memory[0][0]:.1f} / {memory[1][0]:.1f} MiB")
    for job in (a_csv, cp, py):
        os.unlink(job.output)
    os.unlink(path("a-copy.csv"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--csv-only", action="store_true", help="time and measure the CSV target alone")
    args = parser.parse_args()
    here = os.path.dirname(os.path.abspath(__file__))
    path = lambda name: os.path.join(args.work, name)
    os.makedirs(args.work, exist_ok=True)
    shape = narrow_shape()
    source = path("million.bin")
    if not os.path.exists(source) or os.path.getsize(source) != HEADER_SIZE + RECORDS * shape.length:
        print(f"Writing {RECORDS:,} records into {source} (once) ...")
        write_source(source, shape, RECORDS, RECORDS)
    with open(path("million.layout"), "w") as f:
        f.write(shape.layout_lines())
    with open(path("narrow.json"), "w") as f:
        json.dump(shape.description(), f)

    def zorbik(ext, src=source):
        target = path("a." + ext)
        return Job("A", f"zorbik-convert to .{ext}", [args.convert, "--lang", "en", "--layout", path("million.layout"),
                                                      src, target], target)

    def peer(name, label, command, output, *after):
        return Job(name, label, [*command, path(output), *after], path(output))

    load_before = os.getloadavg()[0]
    print(f"Timing .csv, .xlsx and .sqlite on {RECORDS:,} records, medians of {args.runs} runs ...")
    a_csv = zorbik("csv")
    a_csv.run_once()
    os.replace(a_csv.output, path("a-copy.csv"))
    cp = peer("B", "cp of that CSV", ["cp", path("a-copy.csv")], "b.csv")
    py = peer("P", "Python struct + csv", ["/usr/bin/python3", os.path.join(here, "python_csv.py"), source], "p.csv")
    take_turns([a_csv, cp, py], args.runs)
    if args.csv_only:
        return report_csv(args, source, path, zorbik, a_csv, cp, py)
    a_xlsx = zorbik("xlsx")
    sheetjs = peer("S", "SheetJS", ["node", os.path.join(here, "sheetjs_convert.js"), path("narrow.json"), source],
                   "s.xlsx", str(RECORDS))
    openpyxl = peer("O", "openpyxl, write-only", ["/usr/bin/python3", os.path.join(here, "openpyxl_convert.py"),
                                                  source], "o.xlsx")
    take_turns([a_xlsx, sheetjs, openpyxl], args.runs)
    a_sqlite = zorbik("sqlite")
    importer = Job("I", "sqlite3 .import of the CSV", ["sqlite3", path("i.sqlite"), f".import --csv {a_csv.output} t"],
                   path("i.sqlite"))
    take_turns([a_sqlite, importer], args.runs)
    load_after = os.getloadavg()[0]

    # The Python peers write the cells of rows(), which A's files are held
    # to here; SheetJS decodes the fields itself.
    print("Reading back what zorbik-convert and SheetJS wrote ...")
    check_csv(a_csv.output, source)
    check_sheet(a_xlsx.output, source)
    check_sheet(sheetjs.output, source)
    check_table(a_sqlite.output, "million", source)  # the source's name
    jobs = (a_csv, cp, py, a_xlsx, sheetjs, openpyxl, a_sqlite, importer)
    sizes = {job: os.path.getsize(job.output) / MIB for job in jobs}

    print("Peak memory on 1M and 10M records (the 10M source written for it and removed) ...")
    formats = ("xls", "csv", "xlsx", "sqlite")
    memory = {(ext, RECORDS): peak(zorbik(ext).command, path("a." + ext)) for ext in formats}
    big = path("ten-million.bin")
    ten_million(source, big)
    for ext in formats:
        memory[ext, RECORDS * REPEATS] = peak(zorbik(ext, big).command, path("a." + ext))
        os.unlink(path("a." + ext))
    os.unlink(big)
    for job in jobs:
        if os.path.exists(job.output):
            os.unlink(job.output)
    os.unlink(path("a-copy.csv"))

    print(f"\nZORBIK formats: medians of {args.runs} runs; {os.cpu_count()} processors, "
          f"load average {load_before:.2f} before, {load_after:.2f} after")
    print(f"Source: {RECORDS:,} records of 64 bytes, 8 columns ({os.path.getsize(source) / MIB:.1f} MiB)")
    for job in jobs:
        print(f"  {job.name}  {job.label:<30} {job.wall_ms() / 1000:8.2f} s  (cpu {job.cpu_ms() / 1000:6.2f} s)  "
              f"{sizes[job]:6.1f} MiB")
    speed = lambda peer, a: peer.wall_ms() / a.wall_ms()
    fastest = min(sheetjs, openpyxl, key=Job.wall_ms)
    goals = [("P/A, CSV", py, a_csv, 30), (f"{fastest.name}/A, .xlsx against the faster peer", fastest, a_xlsx, 3),
             ("I/A, SQLite", importer, a_sqlite, 1)]
    ok = True
    for name, other, a, goal in goals:
        ratio = speed(other, a)
        print(f"  {name} = {ratio:.2f}, of the cpu times {other.cpu_ms() / a.cpu_ms():.2f}   "
              f"(goal >= {goal}: {verdict(ratio, goal)})")
        ok &= ratio >= goal
    print(f"  A/B, CSV against cp of it (the floor) = {1 / speed(cp, a_csv):.2f}")
    print(f"Peak memory of zorbik-convert (goal: under {MEMORY_GOAL_MIB} MiB; .xls stops at 65,534 rows; "
          f"one run each, its wall time beside):")
    for (ext, count), (mib, wall) in memory.items():
        ok &= mib < MEMORY_GOAL_MIB
        print(f"  .{ext:<7} {count:>10,} records: {mib:6.1f} MiB  {wall:6.2f} s   "
              f"{'met' if mib < MEMORY_GOAL_MIB else f'MISSED by {mib - MEMORY_GOAL_MIB:.1f} MiB'}")
    print(f"Read back: every line of A's CSV; the rows and the first {CHECKED_ROWS} of A's and S's .xlsx and "
          f"of A's table: ok")

    mem = lambda ext: f"{memory[ext, RECORDS][0]:.0f} / {memory[ext, RECORDS * REPEATS][0]:.0f} MiB"
    print("\n| Target  | zorbik-convert | Compared with              | Its time | Ratio  | Goal         | "
          "Peak memory 1M / 10M |")
    print("|---------|----------------|----------------------------|----------|--------|--------------|"
          "----------------------|")
    # The .xlsx goal holds against the faster peer; cp's row is the floor.
    table = [(".csv", a_csv, py, 30), ("", a_csv, cp, None), (".xlsx", a_xlsx, sheetjs, 3 * (fastest is sheetjs)),
             ("", a_xlsx, openpyxl, 3 * (fastest is openpyxl)), (".sqlite", a_sqlite, importer, 1)]
    for ext, a, other, goal in table:
        ratio = speed(other, a)
        if goal is None:
            shown, aim = f"1/{1 / ratio:.1f}", "floor"
        else:
            shown, aim = f"{ratio:.1f}", (f">= {goal}" + (" MISSED" if ratio < goal else "")) if goal else ""
        mine = f"{a.wall_ms() / 1000:.2f} s" if ext else ""
        print(f"| {ext:<7} | {mine:<14} | {other.label:<26} | {other.wall_ms() / 1000:6.2f} s | {shown:>6} | "
              f"{aim:<12} | {mem(ext[1:]) if ext else '':<20} |")
    print(f"| .xls    |                |                            |          |        |              | "
          f"{mem('xls'):<20} |")
    print("All goals met." if ok else "Some goals not met (see above).")


if __name__ == "__main__":
    main()
