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
the others, then the files of the field types of COBOL, Pascal and
mainframe records: tables written by a GnuCOBOL program (guess_cobol.cob:
packed and zoned numbers, dates written as digits, a big-endian sequence
number) and generated records of Pascal strings, dates in every digit
order, packed and overpunched numbers in both ASCII conventions and
big-endian counters. For every table field whose type is known the score
also counts whether the column beginning there has that type (byte order
and date form included; implied decimals cannot be seen in the bytes).

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

# The type a field is right as: its word, "big" for a big-endian integer, a
# date's form; a little-endian integer may be either integer type, a number
# of digits without a sign either number type.
BE, LE, R, DIGITS = "Integer big", "Integer|BinInteger", "BinReal", "DecimalNumber|Zoned"


def type_key(text):
    word, *options = text.split()
    if word == "BinInteger":
        word = "Integer"
    if word == "Integer" and "big" in options:
        return "Integer big"
    if word == "Date":
        return "Date " + next((o for o in options if o.startswith("format=")), "format=YYYYMMDD")
    return word


def type_right(expected, guessed):
    return guessed is not None and type_key(guessed) in {type_key(e) for e in expected.split("|")}


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
    return path + ".dbf", header, length, begins, ["Text" if kind == "s" else "DecimalNumber" for kind, *_ in fields]


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
    return path + ".dbf", header, length, [1 + sum(widths[:k]) for k in range(4)], ["Text", "Text", "DecimalNumber",
                                                                                   "DecimalNumber"]


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
        shp_types = [BE, BE, LE, R, R, R, R, LE, R, R, R, R]
    else:
        shp_begins = [0, 4, 8, 12, 20] + ([28] if flag else [])
        shp_types = [BE, BE, LE, R, R] + ([R] if flag else [])
    shp_length = shp_begins[-1] + 8
    return [(path + ".shp", 100, shp_length, shp_begins, shp_types), (path + ".shx", 100, 8, [0, 4], [BE, BE])]


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
    return path, 0, 384, [0, 4, 8, 40, 44, 76, 332, 336, 340, 344, 348, 364], [
        LE, LE, "Text", "Text", "Text", "Text", None, None, LE, LE, None, None]


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
    return path, len(header), length, None, None


# ----------------------------------------------------------------------------
# The field types of COBOL, Pascal and mainframe records

COBOL_FIELDS = [(6, DIGITS), (20, "Text"), (5, "Packed"), (5, "Zoned"), (8, "Date"), (4, BE), (12, "Text"),
                (4, "Packed"), (6, "Date format=YYMMDD")]


def cobol_table(rnd, folder, name, program):
    path = os.path.join(folder, name)
    run([program, path, str(rnd.randint(40, 600)), str(rnd.randint(1, 2 ** 30))])
    widths = [w for w, _ in COBOL_FIELDS]
    return path, 0, sum(widths), [sum(widths[:k]) for k in range(len(widths))], [t for _, t in COBOL_FIELDS]


def packed(value, width, signed):
    digits = "%0*d" % (2 * width - 1, abs(value))
    sign = "f" if not signed else "d" if value < 0 else "c"
    return bytes.fromhex(digits[-(2 * width - 1):] + sign)


def zoned(value, width, ibm):
    digits = "%0*d" % (width, abs(value))
    last = int(digits[-1])
    if ibm:
        sign = ("}JKLMNOPQR" if value < 0 else "{ABCDEFGHI")[last]
    else:
        sign = "pqrstuvwxy"[last] if value < 0 else digits[-1]
    return (digits[:-1] + sign).encode()


DATE_FORMS = {"YYYYMMDD": "%Y%m%d", "DDMMYYYY": "%d%m%Y", "MMDDYYYY": "%m%d%Y", "YYYYDDD": "%Y%j", "YYMMDD": "%y%m%d"}


def typed_field(rnd, room):
    """A field maker of a COBOL, Pascal or mainframe type, its width and type."""
    while True:
        kind = rnd.choice(["pascal", "date", "packed", "zoned", "bigcounter", "text", "int4"])
        if kind == "pascal" and room >= 6:
            width = rnd.randint(6, min(room, 41))

            def pascal(k, r, w=width):
                text = word_text(r, w - 1).encode()
                return (bytes([len(text)]) + text).ljust(w, b"\0")
            return pascal, width, "PascalText"
        if kind == "date" and room >= 8:
            form = rnd.choice(sorted(DATE_FORMS))
            first = datetime.date(rnd.randint(1950, 2020), 1, 1)
            span = rnd.choice([60, 400, 8000])
            return ((lambda k, r, f=DATE_FORMS[form], d=first, s=span: (d + datetime.timedelta(days=r.randint(0, s)))
                     .strftime(f).encode()), len(datetime.date(2000, 1, 1).strftime(DATE_FORMS[form])),
                    "Date format=" + form)
        if kind == "packed" and room >= 2:
            width = rnd.randint(2, min(room, 9))
            signed = rnd.random() < 0.7
            top = 10 ** rnd.randint(2, 2 * width - 1)
            return ((lambda k, r, w=width, s=signed, t=top: packed(r.randint(-t + 1 if s else 0, t - 1), w, s)),
                    width, "Packed")
        if kind == "zoned" and room >= 3:
            width = rnd.randint(3, min(room, 12))
            ibm = rnd.random() < 0.5
            top = 10 ** rnd.randint(2, width)
            return (lambda k, r, w=width, i=ibm, t=top: zoned(r.randint(-t + 1, t - 1), w, i)), width, "Zoned"
        if kind == "bigcounter" and room >= 4:
            width = rnd.choice([2, 4]) if room < 8 else rnd.choice([2, 4, 4, 8])
            base, step = rnd.randint(0, 5000), rnd.choice([1, 1, 2, 10])
            return (lambda k, r, w=width, b=base, s=step: (b + s * k).to_bytes(w, "big")), width, BE
        if kind == "text" and room >= 3:
            width = rnd.randint(3, min(room, 30))
            return (lambda k, r, w=width: word_text(r, w).encode().ljust(w, b" ")), width, "Text"
        if kind == "int4" and room >= 4:
            return (lambda k, r: struct.pack("<i", r.randint(-30000, 30000))), 4, LE


def typed_file(rnd, folder, name):
    target = rnd.randint(12, 120)
    makers, widths, types = [], [], []
    while sum(widths) < target:
        maker, width, kind = typed_field(rnd, max(2, target - sum(widths)))
        makers.append(maker)
        widths.append(width)
        types.append(kind)
    header = header_bytes(rnd, rnd.choice([0, 0, rnd.randint(16, 1000)]))
    count = rnd.randint(40, 800)
    body = b"".join(b"".join(m(k, rnd) for m in makers) for k in range(count))
    path = os.path.join(folder, name)
    with open(path, "wb") as out:
        out.write(header + body)
    return path, len(header), sum(widths), [sum(widths[:k]) for k in range(len(widths))], types


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
    columns = {int(m.group(1)) - start: m.group(2) for m in re.finditer(r"^Column \d+: rows (\d+)-\d+, type row \d+, "
                                                                        r"([^,]+),", explained.stdout.decode(), re.M)}
    return {"start": start, "length": end - start + 1, "confidence": confidence, "begins": columns,
            "converted": explained.returncode == 0}


def score(options, files, folder, title):
    right = fields = field_hits = typed = typed_right = converted = 0
    confidences = {True: [], False: []}
    for path, start, length, begins, types in files:
        got = guess(options.convert, path, folder)
        ok = got is not None and got["start"] == start and got["length"] == length
        right += ok
        hits = types_hit = 0
        if got is not None:
            converted += got["converted"]
            confidences[ok].append(got["confidence"])
        if begins is not None:
            hits = len(set(begins) & set(got["begins"])) if ok else 0
            fields += len(begins)
            field_hits += hits
            known = [(b, t) for b, t in zip(begins, types) if t is not None]
            types_hit = sum(type_right(t, got["begins"].get(b)) for b, t in known) if ok else 0
            typed += len(known)
            typed_right += types_hit
        if options.verbose or not ok:
            print("%-14s S=%-5d L=%-4d  guess: %s%s" % (
                os.path.basename(path), start, length,
                "none" if got is None else "S=%d L=%d conf=%d%%" % (got["start"], got["length"], got["confidence"]),
                "" if begins is None else "  field begins %d/%d, types %d/%d" % (
                    hits, len(begins), types_hit, sum(t is not None for t in types))))
            if options.verbose and begins is not None and got is not None and types_hit < len(begins):
                print("    expected %s\n    columns  %s" % (
                    list(zip(begins, types)), sorted(got["begins"].items())))
    print(title)
    print("  S and L exactly right: %d/%d = %.0f%%" % (right, len(files), 100.0 * right / len(files)))
    print("  table fields that begin a column: %d/%d = %.0f%%" % (field_hits, fields, 100.0 * field_hits / fields))
    print("  table fields whose column has their type: %d/%d = %.0f%%" % (
        typed_right, typed, 100.0 * typed_right / typed))
    print("  guesses that convert with their own layout: %d/%d" % (
        converted, len(confidences[True]) + len(confidences[False])))
    for ok in (True, False):
        if confidences[ok]:
            values = sorted(confidences[ok])
            print("  confidence of %s guesses: min %d%%, median %d%%" % (
                "right" if ok else "wrong", values[0], values[len(values) // 2]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--convert", required=True)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--generated", type=int, default=30)
    parser.add_argument("--keep", help="write the corpus into this folder and keep it")
    parser.add_argument("-v", "--verbose", action="store_true")
    options = parser.parse_args()
    for tool in ("dbfcreate", "shpcreate", "utmpdump", "cobc"):
        if shutil.which(tool) is None:
            sys.exit("guess_corpus.py: %s is missing (Debian packages shapelib, util-linux, gnucobol3)" % tool)

    rnd = random.Random(options.seed)
    folder = options.keep or tempfile.mkdtemp(prefix="zorbik-guess-")
    os.makedirs(folder, exist_ok=True)
    try:
        files = []  # (path, start, length, field begins and types or None)
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

        # The files of the field types of COBOL, Pascal and mainframe records,
        # drawn apart and scored on their own.
        rnd_types = random.Random(options.seed * 1000 + 18)
        program = os.path.join(folder, "guess_cobol")
        run(["cobc", "-x", "-free", "-std=default", "-fbinary-size=2-4-8", "-fbinary-byteorder=big-endian",
             "-o" + program, os.path.join(os.path.dirname(os.path.abspath(__file__)), "guess_cobol.cob")])
        typed = [cobol_table(rnd_types, folder, "cobol%02d.dat" % i, program) for i in range(3)]
        typed += [typed_file(rnd_types, folder, "typed%02d.bin" % i) for i in range(8)]

        score(options, files, folder, "seed %d: %d files (%d tables, %d generated)" % (
            options.seed, len(files), len(files) - options.generated, options.generated))
        score(options, typed, folder, "seed %d, the field types of COBOL, Pascal and mainframe records: %d files" % (
            options.seed, len(typed)))
    finally:
        if not options.keep:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
