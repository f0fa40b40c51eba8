#!/usr/bin/python3
"""Converts every input of the fuzzer's corpus with the zorbik-convert of each
build given, into every format the build writes, and compares the results:
the exit code and every byte of the worksheet and the CSV must be the same
in all builds; of an .xlsx its sheets and strings (its properties hold the
time it was made), of an SQLite database its dump. A build without the
library of a format says so and is left out of that format's comparison. The corpus is the table of sources
and layouts: every field type at every width, faults, byte marks, edge
columns, columns past the source's end, 65534 and 70000 records.

    compare-targets.py BUILD...   (for example build/release build/windows build/arm64)

BUILD/zorbik-convert.command names how to run that build's converter, one
word a line (through Wine or qemu for a cross build)."""
import concurrent.futures
import os
import sqlite3
import subprocess
import sys
import tempfile
import zipfile

FORMATS = ["xls", "csv", "xlsx", "sqlite"]

MARKERS = ["Unmarked", "LineBegin", "ColumnBegin", "ByteMark", "ColumnEnd", "LineEnd"]
TYPES = ["", "Text", "BinInteger", "BinReal", "DecimalNumber", "Bcd"]


def layout_and_source(data):
    """An input as fuzz/convert_fuzzer.cpp reads it: a layout text or marks, then the source."""
    size = len(data)
    if size < 3:
        return "", data[size:]
    text = data[0] & 1
    end = min(size, 3 + (data[1] | data[2] << 8)) if text else 2 + 4 * min(data[1], (size - 2) // 4)
    source = data[min(size, end + (data[0] & 2) + (data[0] & 4) // 2):]
    if text:
        return data[3:end].decode("latin-1"), source
    marks = {}
    for at in range(2, end - 3, 4):
        if source:
            marks[(data[at] | data[at + 1] << 8) % len(source)] = (data[at + 2] % 6, data[at + 3] % 6)
    return "".join(f"{row} {MARKERS[m]} {TYPES[t]}\n" for row, (m, t) in sorted(marks.items()) if m or t), source


def main():
    builds = sys.argv[1:]
    commands = [open(os.path.join(b, "zorbik-convert.command")).read().split("\n")[:-1] for b in builds]
    corpus = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus")
    work = tempfile.mkdtemp(prefix="zorbik-compare-")
    jobs = []
    for name in sorted(os.listdir(corpus)):
        layout, source = layout_and_source(open(os.path.join(corpus, name), "rb").read())
        open(os.path.join(work, name + ".layout"), "w", encoding="latin-1").write(layout)
        open(os.path.join(work, name + ".bin"), "wb").write(source)
        jobs += [(name, b, c) for b, c in enumerate(commands)]

    def content(path, form):
        if not os.path.exists(path):
            return None
        if form == "xlsx":
            with zipfile.ZipFile(path) as z:
                return b"".join(z.read(n) for n in sorted(z.namelist()) if n.startswith("xl/") and n.endswith(".xml"))
        if form == "sqlite":
            with sqlite3.connect(path) as db:
                return "\n".join(db.iterdump()).encode()
        return open(path, "rb").read()

    def convert(job):
        name, b, command, form = job
        target = os.path.join(work, f"{name}.{b}.{form}")
        base = os.path.join(work, name)
        # 127: the emulator could not start the program (Wine, now and then,
        # while its server starts for several programs at once); try again.
        for attempt in range(3):
            run = subprocess.run(command + ["--lang", "en", "--layout", base + ".layout", base + ".bin", target],
                                 capture_output=True, timeout=120)
            if run.returncode != 127:
                break
        if run.returncode == 2 and b"built without its library" in run.stderr:
            return name, b, form, None
        result = (run.returncode, content(target, form))
        if os.path.exists(target):
            os.remove(target)
        return name, b, form, result

    # A build says once which formats it lacks; an emulator's start is slow.
    first = sorted(os.listdir(corpus))[0]
    lacking = {(b, form) for b in range(len(builds)) for form in FORMATS
               if convert((first, b, commands[b], form))[3] is None}
    # A format only one build writes has nothing to be compared with.
    compared = [f for f in FORMATS if sum((b, f) not in lacking for b in range(len(builds))) > 1 or len(builds) == 1]
    jobs = [job + (form,) for job in jobs for form in compared if (job[1], form) not in lacking]
    results = {}
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        for name, b, form, result in pool.map(convert, jobs):
            if result is not None:
                results.setdefault((name, form), {})[b] = result
    differ = [key for key, by in results.items() if len(set(by.values())) > 1]
    for name, form in differ:
        print(f"compare: {name} as {form}: " + ", ".join(f"{builds[b]} exit {c} {len(s or '')} bytes"
                                                          for b, (c, s) in sorted(results[(name, form)].items())))
    for form in FORMATS:
        having = sorted({b for (n, f), by in results.items() if f == form for b in by})
        files = sum(1 for (n, f), by in results.items() if f == form and any(s is not None for c, s in by.values()))
        print(f"compare: {form}: {files} files from {' '.join(builds[b] for b in having) or 'no build'}")
    print(f"compare: {len(differ)} different across {' '.join(builds)}")
    subprocess.run(["rm", "-rf", work])
    return 1 if differ or not results else 0


if __name__ == "__main__":
    sys.exit(main())
