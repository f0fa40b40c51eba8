#!/usr/bin/python3
# Converts one source of 200,000 records, a column of every field type, to
# .xls, .xlsx, .csv and .sqlite, and reads each back with a program not ours:
# xlrd, openpyxl, Python's csv and sqlite3. Every cell must hold what its
# record's bytes say, as worked out here from the bytes alone.
#
#     check_formats.py xls,xlsx,csv,sqlite ZORBIK_CONVERT... WORKDIR
#
# (the formats this build writes; an emulator may come before the program)
#
# Exits with 77 (skipped) when openpyxl is missing.

import csv, functools, importlib.util, os, random, re, shutil, sqlite3, struct, subprocess, sys

ROWS, XLS_ROWS = 200000, 65534
COLUMNS = [("Text", 20), ("Text", 260), ("BinInteger", 2), ("BinInteger", 4), ("BinReal", 4), ("BinReal", 8),
           ("DecimalNumber", 12), ("Bcd", 10)]
NAMES = tuple(chr(0x41 + i) for i in range(len(COLUMNS)))
NAN = "<NaN>"  # every NaN reads as this, so that NaN equals NaN
# Control bytes and DEL of the long text become the bytes CSV must quote.
QUOTED = bytes(b',"\r\n'[b % 4] if b < 0x20 else 0x2C if b == 0x7F else b for b in range(256))


class Mismatch(Exception):
    pass


# num / den rounded to `bits` significant bits, ties to even, as m * 2**e.
def rounded(num, den, bits):
    e = num.bit_length() - den.bit_length() - bits
    while True:
        n, d = (num << -e, den) if e < 0 else (num, den << e)
        q, r = divmod(n, d)
        if q >> bits == 0:
            return q + (2 * r > d or (2 * r == d and q & 1)), e
        e += 1


# A packed decimal as the x87 computes it: the digits loaded exactly, divided
# by ten `scale` times in 64-bit precision, then rounded once to a double.
@functools.lru_cache(None)
def packed(digits, scale, negative):
    m, e = digits, 0
    for _ in range(scale if digits else 0):
        m, shift = rounded(m, 10, 64)
        e += shift
    value = float(m << e) if e >= 0 else m / (1 << -e)
    return -value if negative else value


def decimal_text(text):
    point = max(text.find(b"."), text.find(b","))
    return packed(int(re.sub(b"[^0-9]", b"", text) or b"0"), len(text) - 1 - point if point >= 0 else 0, b"-" in text)


def real(x):
    return NAN if x != x else x


# The source's bytes and, per record, its two texts' bytes and its numbers.
def source():
    rnd = random.Random(850)
    names = [b"M\x81ller", b"Stra\xe1e", b"\x8erger", b"K\x94nig", b"B\x84r", b"Gr_x00D6_e", b"Gr\x99\xe1e"]
    singles = [0x7FC00000, 0xFFC00000, 0x7F800001, 0x7F800000, 0xFF800000, 0x80000000, 1]
    doubles = [0x7FF8000000000000, 0xFFF8000000000000, 0x7FF0000000000001, 0x7FF0000000000000,
               0xFFF0000000000000, 0x8000000000000000, 1]
    integers = [0, 65535, 65536, -1, -2**31, 2**31 - 1]
    decimals = [b"", b"-", b"-0", b"0.609597", b"-11.50", b"12,5", b"12.", b"0042"] + [
        b"-" * (rnd.random() < .4) + b"%d" % rnd.randrange(10**6) + rnd.choice([b".", b","]) +
        b"%0*d" % (f, rnd.randrange(10**f)) for f in [rnd.randrange(5) for _ in range(989)]]
    bcds = [(rnd.randrange(10**rnd.randrange(1, 19)), rnd.randrange(40), rnd.random() < .4) for _ in range(1009)]
    data, texts, numbers = bytearray(), [], []
    for k in range(ROWS):
        a = (names[k % 7] + b" %d" % k if k % 1000 else b"").ljust(20, b"\0" if k % 2 == 0 else b" ")
        b = (b" " * (k % 3 == 0) + rnd.randbytes(260).translate(QUOTED))[:260]
        d = integers[k % 50] if k % 50 < 6 else rnd.randrange(-2**31, 2**31)
        e = singles[k % 40] if k % 40 < 7 else rnd.getrandbits(32)
        f = doubles[k % 40] if k % 40 < 7 else rnd.getrandbits(64)
        g = decimals[k % len(decimals)]
        digits, scale, negative = bcds[k % len(bcds)]
        h = bytes(p[1] - 48 | (p[0] - 48) << 4 for p in re.findall(b"..", b"%018d" % digits)[::-1])
        data += b"\n" + a + b + struct.pack("<Hi", k * 7 % 65536, d) + struct.pack("<IQ", e, f) + \
            g.ljust(12, b"\0") + h + bytes([negative << 7 | scale]) + b"\n"
        texts.append((a, b))
        numbers.append((k * 7 % 65536, d, real(struct.unpack("<f", struct.pack("<I", e))[0]),
                        real(struct.unpack("<d", struct.pack("<Q", f))[0]), decimal_text(g),
                        packed(digits, scale, negative)))
    return bytes(data), texts, numbers


# Compares the rows read with the records; fails on the first difference.
def compare(format, rows, texts, numbers, whole):
    count = 0
    for k, got in enumerate(rows):
        a, b = texts[k]
        want = ((a, b[:255]) if not whole else (a.split(b"\0")[0], b)) + numbers[k]
        want = (want[0].decode("cp850"), want[1].decode("cp850")) + want[2:]
        got = tuple(NAN if v != v else v for v in got)
        if got != want:
            i = next((i for i, (x, y) in enumerate(zip(got, want)) if x != y), min(len(got), len(want)))
            got, want = (v[i] if i < len(v) else "nothing" for v in (got, want))
            at = 0  # texts from where they part
            if isinstance(got, str) and isinstance(want, str):
                at = next((j for j, (x, y) in enumerate(zip(got, want)) if x != y), min(len(got), len(want)))
            raise Mismatch(f"{format}: record {k + 1}, column {NAMES[i] if i < len(NAMES) else i + 1}"
                           f"{f', from character {at + 1}' if at else ''}: read {got[at:at + 40] if at else got!r}, "
                           f"expected {want[at:at + 40] if at else want!r}")
        count += 1
    return count


# A CSV number as a float when its text is no longer than the fewest digits
# that read back as it, written with an exponent (and NaN, inf, -inf spelled
# so); otherwise the text, which then mismatches.
def csv_number(text):
    try:
        x = float(text)
    except ValueError:
        return text
    if x != x or x in (float("inf"), float("-inf")):
        return NAN if text == "NaN" else x if text in ("inf", "-inf") else text
    digits = len(re.sub("[-.]|e.*", "", repr(x)).strip("0"))
    return x if len(text) <= len("%.*e" % (max(digits, 1) - 1, x)) else text


def read_xls(path, numbers):
    import xlrd.sheet
    # xlrd holds Excel 2.x to its 16,384 rows; the format's row numbers reach 65,535.
    init = xlrd.sheet.Sheet.__init__
    xlrd.sheet.Sheet.__init__ = lambda self, *args: (init(self, *args), setattr(self, "utter_max_rows", 65536))[0]
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    yield from (sheet.row_values(r) for r in range(sheet.nrows))


def read_csv(path, numbers):
    with open(path, "rb") as f:
        if f.readline() != b",".join(n.encode() for n in NAMES) + b"\r\n":
            raise Mismatch("csv: the first line is not the column names, ended by CR LF")
    with open(path, encoding="utf-8", newline="") as f:
        rows = csv.reader(f)
        next(rows)
        for row in rows:
            yield row[:2] + [csv_number(text) for text in row[2:]]


def read_sqlite(path, numbers):
    db = sqlite3.connect(path)
    nans = {n: sum(r[i] is NAN for r in numbers) for i, n in enumerate(NAMES[2:])}
    types = [(name, kind) for _, name, kind, *_ in db.execute("PRAGMA table_info(formats)")]
    want = [(n, {"Text": "TEXT", "BinInteger": "INTEGER"}.get(t, "REAL")) for n, (t, _) in zip(NAMES, COLUMNS)]
    if types != want:
        raise Mismatch(f"sqlite: table formats has the columns {types}, expected {want}")
    for name, (kind, _) in zip(NAMES, COLUMNS):
        got = dict(db.execute(f"SELECT typeof({name}), count(*) FROM formats GROUP BY 1"))
        want = {"text": ROWS} if kind == "Text" else {"integer": ROWS} if kind == "BinInteger" else \
            {k: v for k, v in (("real", ROWS - nans[name]), ("null", nans[name])) if v}
        if got != want:
            raise Mismatch(f"sqlite: column {name} holds the types {got}, expected {want}")
    yield from (tuple(NAN if v is None else v for v in r) for r in db.execute("SELECT * FROM formats ORDER BY rowid"))


# .xlsx writes a control character as the escape _xHHHH_ (and "_" of a text
# that looks like one as _x005F_), an empty text as no cell, NaN and the
# infinities as words.
def xlsx_row(row, escape=re.compile("_x([0-9A-Fa-f]{4})_"), words={"NaN": NAN, "inf": 1e999, "-inf": -1e999}):
    texts = tuple("" if v is None else escape.sub(lambda m: chr(int(m[1], 16)), v) if isinstance(v, str) else v
                  for v in row[:2])
    return texts + tuple(words.get(v, v) if isinstance(v, str) else v for v in row[2:])


def read_xlsx(path, numbers):
    import openpyxl
    book = openpyxl.load_workbook(path, read_only=True)
    if book.sheetnames != ["Sheet1"]:
        raise Mismatch(f"xlsx: the sheets {book.sheetnames}, expected ['Sheet1']")
    rows = book.active.iter_rows(values_only=True)
    if next(rows) != NAMES:
        raise Mismatch("xlsx: the first row is not the column names")
    yield from map(xlsx_row, rows)


def main():
    formats, *convert, work = sys.argv[1:]
    if not importlib.util.find_spec("openpyxl"):
        print("openpyxl is not installed (Debian's python3-openpyxl)")
        return 77
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    data, texts, numbers = source()
    base = os.path.join(work, "formats")
    open(base + ".bin", "wb").write(data)
    layout, row = ["codepage 850", "0 LineBegin"], 1
    for kind, width in COLUMNS:
        layout += [f"{row} ColumnBegin {kind}", f"{row + width - 1} ColumnEnd"]
        row += width
    open(base + ".layout", "w").write("\n".join(layout + [f"{row} LineEnd"]) + "\n")
    for ext in formats.split(","):
        run = subprocess.run([*convert, "--layout", base + ".layout", base + ".bin", base + "." + ext],
                             capture_output=True, text=True, timeout=300)
        # Only the .xls has something to say: that it holds the first 65534 records.
        if run.returncode != 0 or ("65534" not in run.stderr if ext == "xls" else run.stderr):
            raise Mismatch(f"{ext}: zorbik-convert exited with {run.returncode}: {run.stderr.strip()[:300]!r}")
        count = compare(ext, globals()["read_" + ext](base + "." + ext, numbers), texts, numbers, ext != "xls")
        if count != (XLS_ROWS if ext == "xls" else ROWS):
            raise Mismatch(f"{ext}: {count} rows read, expected {XLS_ROWS if ext == 'xls' else ROWS}")
    print(f"formats: {formats} read back, {ROWS} records of {len(NAMES)} columns ({XLS_ROWS} in .xls)")
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Mismatch as failure:
        print(failure)
        sys.exit(1)
