#!/usr/bin/python3
"""Scores `zorbik-convert --guess` on a corpus with known answers.

Builds the corpus from a seed into a scratch folder: tables written by real
programs (dBASE tables from shapelib's dbfcreate/dbfadd, some with umlauts
in code page 850 and 1252, shape and shape index files from
shpcreate/shpadd, login records from `utmpdump -r`) and generated files (a
random header of 0 to 3000 bytes, then records of 2 to 500 bytes that mix
every field type, sometimes an end mark or loose bytes after them). Runs
the guess on each file, converts with the guessed layout and prints per
file and in total:

  - the share of files whose record start S and record length L are both
    exactly right;
  - for the tables, the share of fields whose first byte begins a column of
    the converted guess (as `--explain` reports the columns).

Tables with umlauts in code page 850 and 1252 come last, drawn apart from
the others.

    guess_corpus.py --convert PATH [--seed N] [--generated N] [--keep DIR] [-v]
"""

import argparse
import datetime
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile

WORDS = ["Mueller", "Schmidt", "Meier", "Schulz", "Becker", "Hoffmann", "Koch", "Wagner", "Klein", "Wolf",
         "Berlin", "Hamburg", "Muenchen", "Koeln", "Bremen", "Dresden", "Main St", "Oak Road", "Anna", "Peter",
         "Maria", "Thomas", "Sabine", "Juergen", "Ute", "Kurt", "screws", "bolts", "paper", "ink cartridge"]


def run(args, **kw):
    return subprocess.run(args, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)


def word_text(rnd, width):
    n = rnd.randint(1, max(1, width))
    text = " ".join(rnd.choice(WORDS) for _ in range(4))
    text = text[:n].rstrip() or "x"
    if rnd.random() < 0.3:
        text = text[:max(1, n - 4)] + str(rnd.randint(0, 999))
    return text[:width]


# ----------------------------------------------------------------------------
# Tables written by real programs


def dbf_table(rnd, folder, name):
    path = os.path.join(folder, name)
    fields = []
    for k in range(rnd.randint(2, 9)):
        if rnd.random() < 0.55:
            fields.append(("s", "F%d" % k, rnd.randint(1, 40), 0))
        else:
            width = rnd.randint(2, 15)
            decimals = rnd.choice([0, 0, 1, 2, 3]) if width >= 6 else 0
            fields.append(("n", "F%d" % k, width, decimals))
    args = ["dbfcreate", path]
    for kind, fname, width, decimals in fields:
        args += ["-s", fname, str(width)] if kind == "s" else ["-n", fname, str(width), str(decimals)]
    run(args)
    count = rnd.randint(30, 300)
    for _ in range(count):
        values = []
        for kind, _, width, decimals in fields:
            if kind == "s":
                values.append(word_text(rnd, width))
            else:
                digits = width - (decimals + 1 if decimals else 0) - 1
                top = 10 ** rnd.randint(1, max(1, min(digits, 9)))
                value = rnd.uniform(-top / 10, top) if decimals else rnd.randint(0, top - 1)
                values.append(("%.*f" % (decimals, value)) if decimals else str(value))
        run(["dbfadd", path] + values)
    data = open(path + ".dbf", "rb").read()
    header, length = struct.unpack("<HH", data[8:12])
    begins, at = [], 1
    for _, _, width, _ in fields:
        begins.append(at)
        at += width
    return path + ".dbf", header, length, begins


NAMES = ["Müller", "Schäfer", "Groß", "Weiß, Käthe", "Böhm", "Jäger", "Köhler", "Dupont", "Nørgaard", "García"]
CITIES = ["Zürich", "Lübeck", "Düsseldorf", "München", "Köln", "Århus", "Göttingen", "Leeds", "Paris", "Sevilla"]


def umlaut_table(rnd, folder, name, codepage):
    """A dBASE table with umlauts in names and cities, in a DOS or Windows code page."""
    path = os.path.join(folder, name)
    widths = [rnd.randint(12, 24), rnd.randint(10, 16), 3, 9]
    run(["dbfcreate", path, "-s", "NAME", str(widths[0]), "-s", "CITY", str(widths[1]), "-n", "AGE", "3", "0",
         "-n", "AMOUNT", "9", "2"])
    for _ in range(rnd.randint(30, 300)):
        run(["dbfadd", path, rnd.choice(NAMES).encode(codepage), rnd.choice(CITIES).encode(codepage),
             str(rnd.randint(18, 99)), "%.2f" % rnd.uniform(0, 99999)])
    data = open(path + ".dbf", "rb").read()
    header, length = struct.unpack("<HH", data[8:12])
    return path + ".dbf", header, length, [1 + sum(widths[:k]) for k in range(4)]


def shape_files(rnd, folder, name):
    kind = rnd.choice(["point", "pointz", "pointm", "multipoint"])
    path = os.path.join(folder, name)
    run(["shpcreate", path, kind])
    flag = {"pointz": ["-z"], "pointm": ["-m"]}.get(kind, [])
    per_point = 3 if flag else 2
    points = 2 if kind == "multipoint" else 1
    cx, cy = rnd.uniform(-170, 170), rnd.uniform(-80, 80)
    for _ in range(rnd.randint(40, 300)):
        values = []
        for _ in range(points):
            values += ["%.6f" % (cx + rnd.gauss(0, 3)), "%.6f" % (cy + rnd.gauss(0, 3))]
            if per_point == 3:
                values.append("%.3f" % rnd.uniform(0, 900))
        run(["shpadd", path] + flag + values)
    if kind == "multipoint":
        shp_begins = [0, 4, 8, 12, 20, 28, 36, 44, 48, 56, 64, 72]
    else:
        shp_begins = [0, 4, 8, 12, 20] + ([28] if flag else [])
    shp_length = shp_begins[-1] + 8
    return [(path + ".shp", 100, shp_length, shp_begins), (path + ".shx", 100, 8, [0, 4])]


def utmp_file(rnd, folder, name):
    path = os.path.join(folder, name)
    users = ["root", "alice", "bob", "carol", "dave", "erika", "frank", "guest", "operator", "backup"]
    lines = []
    when = datetime.datetime(2019, 1, 1) + datetime.timedelta(days=rnd.randint(0, 1500))
    for _ in range(rnd.randint(40, 400)):
        when += datetime.timedelta(seconds=rnd.randint(1, 90000), microseconds=rnd.randint(0, 999999))
        kind = rnd.choice([7, 7, 7, 8, 8, 1, 2, 6])
        tty = rnd.choice(["pts/%d" % rnd.randint(0, 30), "tty%d" % rnd.randint(1, 6), "~"])
        host = rnd.choice(["", "10.0.%d.%d" % (rnd.randint(0, 9), rnd.randint(1, 254)),
                           "ws%02d.example.org" % rnd.randint(1, 60), ":0"])
        addr = "0.0.0.0" if not host or host.startswith(":") or host.startswith("ws") else host
        lines.append("[%d] [%05d] [%-4.4s] [%-8s] [%-12s] [%-20s] [%-15s] [%s]\n" % (
            kind, rnd.randint(300, 60000), tty[-4:], rnd.choice(users), tty, host, addr,
            when.strftime("%Y-%m-%dT%H:%M:%S,") + "%06d+00:00" % when.microsecond))
    run(["utmpdump", "-r", "-o", path], input="".join(lines).encode())
    return path, 0, 384, [0, 4, 8, 40, 44, 76, 332, 336, 340, 344, 348, 364]


# ----------------------------------------------------------------------------
# Generated files


def bcd(rnd):
    digits = rnd.randrange(10 ** rnd.randint(2, 14))
    packed = bytearray(10)
    for i in range(9):
        packed[i] = (digits % 10) | (digits // 10 % 10) << 4
        digits //= 100
    packed[9] = rnd.randrange(5) | (0x80 if rnd.random() < 0.3 else 0)
    return bytes(packed)


def make_field(rnd, room):
    """A field maker (record number, rnd) -> bytes and its width."""
    kinds = ["text", "number", "zeros", "date", "int1", "int2", "int4", "double", "single", "bcd", "const"]
    while True:
        kind = rnd.choice(kinds)
        if kind == "text" and room >= 2:
            width = rnd.randint(2, min(room, 60))
            pad = rnd.choice([b" ", b"\0"])
            return (lambda k, r, w=width, p=pad: word_text(r, w).encode().ljust(w, p)), width
        if kind == "number" and room >= 3:
            width = rnd.randint(3, min(room, 16))
            decimals = rnd.choice([0, 2]) if width >= 6 else 0
            top = 10 ** rnd.randint(1, max(1, width - decimals - 2))

            def number(k, r, w=width, d=decimals, t=top):
                value = r.uniform(-t / 10, t) if d else r.randint(-t // 10, t - 1)
                return (("%*.*f" % (w, d, value)) if d else "%*d" % (w, value)).encode()[-w:]
            return number, width
        if kind == "zeros" and room >= 2:
            width = rnd.randint(2, min(room, 12))
            return (lambda k, r, w=width: ("%0*d" % (w, r.randrange(10 ** w))).encode()), width
        if kind == "date" and room >= 8:
            return (lambda k, r: (datetime.date(1990, 1, 1) + datetime.timedelta(days=r.randint(0, 12000))).strftime(
                "%Y%m%d").encode()), 8
        if kind == "int1":
            top = rnd.choice([2, 5, 12, 100, 256])
            return (lambda k, r, t=top: bytes([r.randrange(t)])), 1
        if kind == "int2" and room >= 2:
            base = rnd.randint(0, 20000)
            counter = rnd.random() < 0.4
            return (lambda k, r, b=base, c=counter: struct.pack("<H", (b + k) % 65536 if c else r.randint(0, 5000))), 2
        if kind == "int4" and room >= 4:
            base = rnd.randint(0, 10 ** 6)
            mode = rnd.choice(["counter", "small", "signed", "big"])

            def int4(k, r, b=base, m=mode):
                v = {"counter": b + k, "small": r.randint(0, 99999), "signed": r.randint(-30000, 30000),
                     "big": r.randint(0, 2 ** 31 - 1)}[m]
                return struct.pack("<i", v)
            return int4, 4
        if kind == "double" and room >= 8:
            centre, spread = rnd.choice([(50, 40), (1e4, 5e3), (0, 1e6), (3.5, 1)])
            return (lambda k, r, c=centre, s=spread: struct.pack("<d", round(r.gauss(c, s), r.choice([2, 6])))), 8
        if kind == "single" and room >= 4:
            return (lambda k, r: struct.pack("<f", r.gauss(100, 30))), 4
        if kind == "bcd" and room >= 10:
            return (lambda k, r: bcd(r)), 10
        if kind == "const":
            value = rnd.choice([b"\0", b" ", b"\x01", b"*", b"\r\n", b"\0\0\0\0"])[:room]
            return (lambda k, r, v=value: v), len(value)


def header_bytes(rnd, size):
    style = rnd.choice(["random", "text", "padded", "mixed"])
    if style == "random":
        return bytes(rnd.randrange(256) for _ in range(size))
    if style == "text":
        text = b""
        while len(text) < size:
            text += (" ".join(rnd.choice(WORDS) for _ in range(rnd.randint(2, 8))) + "\r\n").encode()
        return text[:size]
    head = struct.pack("<IHH", rnd.randrange(2 ** 32), rnd.randrange(65536), size)
    head += bytes(rnd.randrange(256) for _ in range(rnd.randint(0, size // 2)))
    if style == "mixed":
        head += b"".join((rnd.choice(WORDS).encode() + b"\0").ljust(16, b"\0") for _ in range(size // 40))
    return (head + b"\0" * size)[:size]


def generated_file(rnd, folder, name):
    target = int(round(2 ** rnd.uniform(1, 8.97)))  # 2 .. 500, more short ones than long ones
    makers, length = [], 0
    while length < target:
        maker, width = make_field(rnd, target - length)
        makers.append(maker)
        length += width
    header = header_bytes(rnd, rnd.randint(0, 3000))
    count = max(rnd.randint(20, 1500), -(-2048 // length))
    body = b"".join(b"".join(m(k, rnd) for m in makers) for k in range(count))
    tail = rnd.choice([b"", b"", b"", b"\x1a", bytes(rnd.randrange(256) for _ in range(rnd.randint(1, 7)))])
    path = os.path.join(folder, name)
    with open(path, "wb") as out:
        out.write(header + body + tail)
    return path, len(header), length, None


# ----------------------------------------------------------------------------
# Scoring


def guess(convert, path, work):
    result = subprocess.run([convert, "--guess", "--lang", "en", path], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    if result.returncode != 0:
        return None
    layout = os.path.join(work, "guess.zlayout")
    with open(layout, "wb") as out:
        out.write(result.stdout)
    text = result.stdout.decode()
    start = int(re.search(r"^(\d+) LineBegin", text, re.M).group(1))
    end = int(re.search(r"^(\d+) LineEnd", text, re.M).group(1))
    confidence = int(re.search(r"^# confidence: (\d+)", text, re.M).group(1))
    target = os.path.join(work, "guess.xls")
    explained = subprocess.run([convert, "--layout", layout, "--explain", "--force", path, target],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    columns = [int(m.group(1)) - start for m in re.finditer(r"^Column \d+: rows (\d+)-", explained.stdout.decode(),
                                                              re.M)]
    return {"start": start, "length": end - start + 1, "confidence": confidence, "begins": columns,
            "converted": explained.returncode == 0}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--convert", required=True)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--generated", type=int, default=30)
    parser.add_argument("--keep", help="write the corpus into this folder and keep it")
    parser.add_argument("-v", "--verbose", action="store_true")
    options = parser.parse_args()
    for tool in ("dbfcreate", "shpcreate", "utmpdump"):
        if shutil.which(tool) is None:
            sys.exit("guess_corpus.py: %s is missing (Debian packages shapelib, util-linux)" % tool)

    rnd = random.Random(options.seed)
    folder = options.keep or tempfile.mkdtemp(prefix="zorbik-guess-")
    os.makedirs(folder, exist_ok=True)
    try:
        files = []  # (path, start, length, begins or None)
        for i in range(10):
            files.append(dbf_table(rnd, folder, "table%02d" % i))
        for i in range(4):
            files += shape_files(rnd, folder, "shape%02d" % i)
        for i in range(2):
            files.append(utmp_file(rnd, folder, "wtmp%02d" % i))
        for i in range(options.generated):
            files.append(generated_file(rnd, folder, "gen%02d.bin" % i))
        # Drawn apart, so that the files above stay those of earlier runs.
        rnd_cp = random.Random(options.seed * 1000 + 850)
        for i in range(4):
            codepage = "cp850" if i % 2 == 0 else "cp1252"
            files.append(umlaut_table(rnd_cp, folder, "%s_%d" % (codepage, i), codepage))

        right = fields = field_hits = converted = 0
        confidences = {True: [], False: []}
        for path, start, length, begins in files:
            got = guess(options.convert, path, folder)
            ok = got is not None and got["start"] == start and got["length"] == length
            right += ok
            hits = 0
            if got is not None:
                converted += got["converted"]
                confidences[ok].append(got["confidence"])
            if begins is not None:
                hits = len(set(begins) & set(got["begins"])) if ok else 0
                fields += len(begins)
                field_hits += hits
            if options.verbose or not ok:
                print("%-14s S=%-5d L=%-4d  guess: %s%s" % (
                    os.path.basename(path), start, length,
                    "none" if got is None else "S=%d L=%d conf=%d%%" % (got["start"], got["length"], got["confidence"]),
                    "" if begins is None else "  field begins %d/%d" % (hits, len(begins))))
                if options.verbose and begins is not None and got is not None and hits < len(begins):
                    print("    missed %s; columns begin at %s" % (sorted(set(begins) - set(got["begins"])), got["begins"]))
        print("seed %d: %d files (%d tables, %d generated)" % (options.seed, len(files),
                                                             len(files) - options.generated, options.generated))
        print("  S and L exactly right: %d/%d = %.0f%%" % (right, len(files), 100.0 * right / len(files)))
        print("  table fields that begin a column: %d/%d = %.0f%%" % (field_hits, fields, 100.0 * field_hits / fields))
        print("  guesses that convert with their own layout: %d/%d" % (
            converted, len(confidences[True]) + len(confidences[False])))
        for ok in (True, False):
            if confidences[ok]:
                values = sorted(confidences[ok])
                print("  confidence of %s guesses: min %d%%, median %d%%" % (
                    "right" if ok else "wrong", values[0], values[len(values) // 2]))
    finally:
        if not options.keep:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
