#!/usr/bin/python3
# Converts one source of 200,000 records, a column of every field type, to
# .xls, .xlsx, .csv and .sqlite, and reads each back with a program not ours:
# xlrd, openpyxl, Python's csv and sqlite3. Every cell must hold what its
# record's bytes say, as worked out here from the bytes alone.
#
#     check_formats.py xls,xlsx,csv,sqlite ZORBIK_CONVERT... WORKDIR
#
# (the formats this build writes; an emulator may come before the program)
# Exits with 77 (skipped) when openpyxl is missing.

import csv, functools, importlib.util, os, random, re, shutil, sqlite3, struct, subprocess, sys

ROWS, XLS_ROWS = 200000, 65534
COLUMNS = [("Text", 20), ("Text", 260), ("BinInteger", 2), ("BinInteger", 4), ("BinReal", 4), ("BinReal", 8),
           ("DecimalNumber", 12), ("Bcd", 10)]
# Named columns, and letters that give way to a name taken ("d" is column A's).
NAMED = ("d", None, "count-2", None, "Real_4", None, "Decimal", "BCD")
NAMES = ("d", "B", "count-2", "D_", "Real_4", "F", "Decimal", "BCD")
NAN = "<NaN>"  # every NaN reads as this, so that NaN equals NaN
# Control bytes and DEL of the long text become the bytes CSV must quote.
QUOTED = bytes(b',"\r\n'[b % 4] if b < 0x20 else 0x2C if b == 0x7F else b for b in range(256))


# A packed decimal as the x87 computes it: the digits loaded exactly, divided
# by ten `scale` times, each quotient rounded to 64 bits (ties to even), then
# rounded once to a double. m * 2**e is the quotient so far.
@functools.lru_cache(None)
def packed(digits, scale, negative):
    m, e = digits, 0
    for _ in range(scale if digits else 0):
        s = m.bit_length() - 68
        s += (m << max(-s, 0)) // (10 << max(s, 0)) >> 64  # a 65-bit quotient: one bit less
        d = 10 << max(s, 0)
        q, r = divmod(m << max(-s, 0), d)
        m, e = q + (2 * r > d or 2 * r == d and q & 1), e + s
    return (-1.0) ** negative * (float(m << e) if e >= 0 else m / (1 << -e))


def decimal_text(text):
    point = max(text.find(b"."), text.find(b","))
    return packed(int(re.sub(b"[^0-9]", b"", text) or b"0"), len(text) - 1 - point if point >= 0 else 0, b"-" in text)


# The source's bytes and, per record, its two texts' bytes and its numbers.
def source():
    rnd, real = random.Random(850), lambda x: NAN if x != x else x
    names = [b"M\x81ller", b"Stra\xe1e", b"\x8erger", b"K\x94nig", b"B\x84r", b"Gr_x00D6_e", b"Gr\x99\xe1e"]
    integers = [0, 65535, 65536, -1, -2**31, 2**31 - 1]
    singles = [0x7FC00000, 0xFFC00000, 0x7F800001, 0x7F800000, 0xFF800000, 0x80000000, 1]
    doubles = [0x7FF8 << 48, 0xFFF8 << 48, (0x7FF0 << 48) + 1, 0x7FF0 << 48, 0xFFF0 << 48, 1 << 63, 1,
               0x7FEF_FFFF_FFFF_FFFF]
    decimals = [b"", b"-", b"-0", b"0.609597", b"-11.50", b"12,5", b"12.", b"0042"] + [
        b"-" * (rnd.random() < .4) + b"%d" % rnd.randrange(10**6) + rnd.choice([b".", b","]) +
        b"%0*d" % (f, rnd.randrange(10**f)) for f in [rnd.randrange(5) for _ in range(989)]]
    bcds = [(rnd.randrange(10**rnd.randrange(1, 19)), rnd.randrange(40), rnd.random() < .4) for _ in range(1009)]
    data, texts, numbers = bytearray(), [], []
    for k in range(ROWS):
        a = (names[k % 7] + b" %d" % k if k % 1000 else b"").ljust(20, b" " if k % 2 else b"\0")
        b = (b" " * (k % 3 == 0) + rnd.randbytes(260).translate(QUOTED))[:260]
        d = integers[k % 50] if k % 50 < len(integers) else rnd.randrange(-2**31, 2**31)
        e = singles[k % 40] if k % 40 < len(singles) else rnd.getrandbits(32)
        f = doubles[k % 40] if k % 40 < len(doubles) else rnd.getrandbits(64)
        g, (digits, scale, negative) = decimals[k % len(decimals)], bcds[k % len(bcds)]
        h = bytes(p[1] - 48 | (p[0] - 48) << 4 for p in re.findall(b"..", b"%018d" % digits)[::-1])
        data += b"\n%s%s%s%s%s%s\n" % (a, b, struct.pack("<HiIQ", k * 7 % 65536, d, e, f), g.ljust(12, b"\0"), h,
                                       bytes([negative << 7 | scale]))
        texts.append((a, b))
        numbers.append((k * 7 % 65536, d, real(struct.unpack("<f", struct.pack("<I", e))[0]),
                        real(struct.unpack("<d", struct.pack("<Q", f))[0]), decimal_text(g),
                        packed(digits, scale, negative)))
    return bytes(data), texts, numbers


# A number as .xlsx holds it: libxlsxwriter writes 16 significant digits,
# the largest doubles kept below infinity.
def sixteen(x, largest=1.797693134862315e308):
    return float("%.16G" % max(-largest, min(largest, x))) if isinstance(x, float) and abs(x) < 1e999 else x


# Compares the rows read with the records, stops at the first difference;
# returns the rows read. A text of .xls keeps its zero bytes and 255 bytes.
def compare(ext, rows, texts, numbers):
    count = 0
    for k, got in enumerate(rows):
        a, b = (texts[k][0], texts[k][1][:255]) if ext == "xls" else (texts[k][0].split(b"\0")[0], texts[k][1])
        want = numbers[k] if ext != "xlsx" else tuple(sixteen(x) for x in numbers[k])
        want, got = (a.decode("cp850"), b.decode("cp850")) + want, tuple(NAN if v != v else v for v in got)
        if got != want:
            i = next((i for i, (x, y) in enumerate(zip(got, want)) if x != y), min(len(got), len(want)))
            x, y = (v[i] if i < len(v) else None for v in (got, want))
            at = len(os.path.commonprefix([x, y])) if isinstance(x, str) and isinstance(y, str) else 0
            sys.exit(f"{ext}: record {k + 1}, column {chr(0x41 + i)}{f', from character {at + 1}' if at else ''}: "
                     f"read {x[at:] if at else x!r:.200}, expected {y[at:] if at else y!r:.200}")
        count += 1
    return count


def read_xls(path, numbers):
    import xlrd.sheet
    init = xlrd.sheet.Sheet.__init__  # xlrd holds Excel 2.x to 16,384 rows; the format counts to 65,535
    xlrd.sheet.Sheet.__init__ = lambda self, *args: (init(self, *args), setattr(self, "utter_max_rows", 65536))[0]
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    if tuple(sheet.row_values(0)) != NAMES:  # with --names
        sys.exit(f"xls: the first row is {sheet.row_values(0)}, not the column names")
    return (sheet.row_values(r) for r in range(1, sheet.nrows))


# A CSV number as a float when its text is no longer than the fewest digits
# that read back as it, written with an exponent (and NaN, inf, -inf spelled
# so); otherwise the text, which then mismatches.
def csv_number(text):
    try:
        x = float(text)
    except ValueError:
        return text
    if x != x or abs(x) == 1e999:
        return {"NaN": NAN, "inf": x, "-inf": x}.get(text, text)
    digits = len(re.sub("[-.]|e.*", "", repr(x)).strip("0"))
    return x if len(text) <= len("%.*e" % (max(digits, 1) - 1, x)) else text


def read_csv(path, numbers):
    if open(path, "rb").readline() != ",".join(NAMES).encode() + b"\r\n":
        sys.exit("csv: the first line is not the column names, ended by CR LF")
    rows = csv.reader(open(path, encoding="utf-8", newline=""))
    return (row[:2] + [csv_number(text) for text in row[2:]] for row in rows if rows.line_num > 1)


# Columns of SQLite's type for their kind; NaN is NULL.
def read_sqlite(path, numbers):
    db = sqlite3.connect(path)
    kinds = [{"Text": "text", "BinInteger": "integer"}.get(kind, "real") for kind, _ in COLUMNS]
    columns = [(name, kind) for _, name, kind, *_ in db.execute("PRAGMA table_info(formats)")]
    if columns != [(name, kind.upper()) for name, kind in zip(NAMES, kinds)]:
        sys.exit(f"sqlite: the table formats has the columns {columns}")
    for i, (name, kind) in enumerate(zip(NAMES, kinds)):
        nulls = sum(r[i - 2] is NAN for r in numbers) if i >= 2 else 0
        types = dict(db.execute(f'SELECT typeof("{name}"), count(*) FROM formats GROUP BY 1'))
        if types != {t: n for t, n in ((kind, ROWS - nulls), ("null", nulls)) if n}:
            sys.exit(f"sqlite: column {name} holds {types}, {nulls} NaN among {ROWS}")
    return (tuple(NAN if v is None else v for v in r) for r in db.execute("SELECT * FROM formats ORDER BY rowid"))


# .xlsx writes a control character as the escape _xHHHH_ (and "_" of a text
# that looks like one as _x005F_), an empty text as no cell, NaN and the
# infinities as words.
def read_xlsx(path, numbers, escape=re.compile("_x([0-9A-Fa-f]{4})_")):
    import openpyxl
    book = openpyxl.load_workbook(path, read_only=True)
    rows = book.active.iter_rows(values_only=True)
    if book.sheetnames != ["Sheet1"] or next(rows) != NAMES:
        sys.exit(f"xlsx: the sheets {book.sheetnames}, not one whose first row is the column names")
    words = {"NaN": NAN, "inf": 1e999, "-inf": -1e999}
    for row in rows:
        yield tuple("" if v is None else escape.sub(lambda m: chr(int(m[1], 16)), v) if isinstance(v, str) else v
                    for v in row[:2]) + tuple(words.get(v, v) if isinstance(v, str) else v for v in row[2:])


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
    ends = [1 + sum(width for _, width in COLUMNS[:i]) for i in range(len(COLUMNS) + 1)]
    open(base + ".layout", "w").write("codepage 850\n0 LineBegin\n" + "".join(
        f"{ends[i]} ColumnBegin {kind}{f' name={NAMED[i]}' if NAMED[i] else ''}\n{ends[i + 1] - 1} ColumnEnd\n"
        for i, (kind, _) in enumerate(COLUMNS)) +
        f"{ends[-1]} LineEnd\n")
    for ext in formats.split(","):
        names = ["--names"] if ext == "xls" else []
        run = subprocess.run([*convert, "--layout", base + ".layout", *names, base + ".bin", base + "." + ext],
                             capture_output=True, text=True, timeout=300)
        # Only the .xls has something to say: that it holds the first 65534 records.
        if run.returncode != 0 or ("65534" not in run.stderr if ext == "xls" else run.stderr):
            sys.exit(f"{ext}: zorbik-convert exited with {run.returncode}: {run.stderr.strip()!r:.300}")
        count = compare(ext, globals()["read_" + ext](base + "." + ext, numbers), texts, numbers)
        if count != (XLS_ROWS if ext == "xls" else ROWS):
            sys.exit(f"{ext}: {count} rows read, expected {XLS_ROWS if ext == 'xls' else ROWS}")
    print(f"formats: {formats} read back, {ROWS} records of {len(NAMES)} columns ({XLS_ROWS} in .xls)")
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
