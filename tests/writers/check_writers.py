#!/usr/bin/python3
# Record files as the programs of old databases write them: a GnuCOBOL and
# a Free Pascal program (cobol_records.cob, pascal_records.pas) are compiled
# into WORKDIR and write a few hundred records of every kind of field their
# language stores, printing the value of each field. Each file is converted
# with the layout made from its table below and read back (Python's csv,
# sqlite3, openpyxl, xlrd); every cell must be the value the program printed.
#
#     check_writers.py xls,xlsx,csv,sqlite ZORBIK_CONVERT... WORKDIR
#
# (the formats this build writes; an emulator may come before the program)
# Exits with 77 (skipped) when cobc, fpc or openpyxl is missing.

import csv, datetime, decimal, importlib.util, os, re, shutil, sqlite3, subprocess, sys
import xlrd

HERE, RECORDS, LARGEST = os.path.dirname(os.path.abspath(__file__)), 300, 1.797693134862315e308  # 16 digits


# How a printed value reads: the cell's value, None for an empty cell. A
# hexadecimal float (0x<mantissa>p<exponent>) rounds to the nearest double,
# ties to even; dates are YYYYMMDD, YYYYDDD or ISO 8601, zeros no date.
def number(text):
    try:
        return float.fromhex(text) if "x" in text else float(decimal.Decimal(text))
    except OverflowError:
        return float(text[:text.index("0")] + "inf")


READ = {"text": str, "integer": lambda text: int(decimal.Decimal(text)), "number": number,
        "date": lambda text: None if not text.strip("0") else datetime.datetime.fromisoformat(text) if "-" in text
        else datetime.datetime.strptime(text, "%Y%m%d" if len(text) == 8 else "%Y%j")}

# One row per field of the record, in its order: the program's declaration,
# its bytes, its type and options in the layout, the type of the .xls layout
# where one of the five types .xls had from the start reads the bytes alike,
# and how the printed value reads.
#
# GnuCOBOL 3.1, cobc -std=default with COMP, COMP-4 and BINARY as on the
# mainframe: big-endian, 2, 4 or 8 bytes by their digits. It overpunches a
# negative zoned number's sign digit 0..9 as 'p'..'y' (a positive one stays a
# digit), ends an unsigned COMP-3 with the sign nibble F, a signed one with C
# or D; COMP-1, COMP-2 and COMP-5 are the machine's own little-endian.
COBOL_FLAGS = ["-std=default", "-fbinary-size=2-4-8", "-fbinary-byteorder=big-endian"]
COBOL = [
    ("R-NAME", "PIC X(16)", 16, "Text", "Text", "text"),
    ("R-COUNT", "PIC 9(6)", 6, "Zoned", "DecimalNumber", "number"),
    ("R-AMOUNT", "PIC S9(5)V99", 7, "Zoned scale=2", None, "number"),
    ("R-LEADING", "PIC S9(5) SIGN LEADING", 5, "Zoned sign=leading", None, "number"),
    ("R-TRAIL-SEP", "PIC S9(5)V9 SIGN TRAILING SEPARATE", 7, "Zoned scale=1 sign=separate-trailing", None, "number"),
    ("R-LEAD-SEP", "PIC S9(7) SIGN LEADING SEPARATE", 8, "Zoned sign=separate-leading", "DecimalNumber", "number"),
    ("R-COMP", "PIC S9(4) COMP", 2, "Integer big", None, "integer"),
    ("R-COMP-4", "PIC 9(9) COMP-4", 4, "Integer big unsigned", None, "integer"),
    ("R-BINARY", "PIC S9(18) BINARY", 8, "Integer big", None, "integer"),
    ("R-COMP-SCALED", "PIC S9(7)V99 COMP", 4, "Integer big scale=2", None, "number"),
    ("R-COMP-5-UNSIGNED", "PIC 9(4) COMP-5", 2, "Integer unsigned", "BinInteger", "integer"),
    ("R-COMP-5", "PIC S9(9) COMP-5", 4, "Integer", "BinInteger", "integer"),
    ("R-COMP-5-LONG", "PIC S9(18) COMP-5", 8, "Integer", None, "integer"),
    ("R-PACKED-ODD", "PIC S9(5) COMP-3", 3, "Packed", None, "number"),
    ("R-PACKED-EVEN", "PIC S9(6) COMP-3", 4, "Packed", None, "number"),
    ("R-PACKED-SCALED", "PIC S9(7)V99 COMP-3", 5, "Packed scale=2", None, "number"),
    ("R-PACKED-UNSIGNED-ODD", "PIC 9(5) COMP-3", 3, "Packed unsigned", None, "number"),
    ("R-PACKED-UNSIGNED-EVEN", "PIC 9(3)V9(3) COMP-3", 4, "Packed scale=3 unsigned", None, "number"),
    ("R-PACKED-LONGEST", "PIC S9(25)V9(6) COMP-3", 16, "Packed scale=6", None, "number"),
    ("R-EDITED", "PIC -9(5).99", 9, "DecimalNumber", "DecimalNumber", "number"),
    ("R-SINGLE", "COMP-1", 4, "BinReal", "BinReal", "number"),
    ("R-DOUBLE", "COMP-2", 8, "BinReal", "BinReal", "number"),
    ("R-DATE", "PIC 9(8)", 8, "Date", None, "date"),
    ("R-ORDINAL-DATE", "PIC 9(7)", 7, "Date format=YYYYDDD", None, "date"),
]

# Free Pascal 3.2 on x86-64, a packed record: Extended is the x87's 10 bytes.
# A one-byte field can be marked only at the record's edges (a column inside
# needs a begin and an end row), so Byte leads and Boolean ends.
PASCAL = [
    ("Flag", "Byte", 1, "Integer unsigned", "BinInteger", "integer"),
    ("Name", "string[20]", 21, "PascalText", None, "text"),
    ("Initial", "string[1]", 2, "PascalText", None, "text"),
    ("Remark", "string[255]", 256, "PascalText", None, "text"),
    ("Count", "Word", 2, "Integer unsigned", "BinInteger", "integer"),
    ("Delta", "SmallInt", 2, "Integer", None, "integer"),
    ("Total", "LongInt", 4, "Integer", "BinInteger", "integer"),
    ("Serial", "Int64", 8, "Integer", None, "integer"),
    ("Hash", "QWord", 8, "Integer unsigned", None, "integer"),
    ("Old", "Real48", 6, "Real48", None, "number"),
    ("Ratio", "Single", 4, "BinReal", "BinReal", "number"),
    ("Value", "Double", 8, "BinReal", "BinReal", "number"),
    ("Precise", "Extended", 10, "Extended", None, "number"),
    ("Price", "Currency", 8, "Integer scale=4", None, "number"),
    ("Stamp", "TDateTime", 8, "Date days1899", None, "date"),
    ("Done", "Boolean", 1, "Integer unsigned", "BinInteger", "integer"),
]


# The layout of the record: the first field typed on the record's begin (its
# column reaches the next ColumnBegin), the last one on the bytes after the
# last ColumnEnd and on the record's end.
def layout(path, kinds, widths):
    lines = ["codepage 1252"]
    for i, (kind, width) in enumerate(zip(kinds, widths)):
        at, end = sum(widths[:i]), sum(widths[:i + 1]) - 1
        lines += ([f"{at} LineBegin {kind}"] if i == 0 else
                  [f"{at} Unmarked {kind}"] * (width > 1) + [f"{end} LineEnd {kind}"] if i == len(kinds) - 1 else
                  [f"{at} ColumnBegin {kind}", f"{end} ColumnEnd"])
    open(path, "w").write("\n".join(lines) + "\n")
    return lines


# The rows of a target as its reader gives them, the names row left out.
READERS = {
    "csv": lambda p: list(csv.reader(open(p, encoding="utf-8", newline="")))[1:],
    "sqlite": lambda p: list(sqlite3.connect(p).execute(f"SELECT * FROM {os.path.basename(p)[:-7]} ORDER BY rowid")),
    "xlsx": lambda p: list(__import__("openpyxl").load_workbook(p, read_only=True).active.values)[1:],
    "xls": lambda p: [s.row_values(r) for s in xlrd.open_workbook(p).sheets()[:1] for r in range(s.nrows)],
}


# Whether a cell read back is the value printed. CSV and SQLite write dates
# as text, with the time where there is one, and so does .xlsx before 1900,
# where its date cells begin (openpyxl reads the times of day 0, 1899-12-30,
# as times); .xlsx numbers carry the 16 digits libxlsxwriter writes (the
# largest doubles kept below infinity) and the infinities as words, an empty
# text is no cell there. SQLite holds unsigned integers past 2^63 as REAL.
def same(ext, value, cell):
    cell = datetime.datetime.combine(datetime.date(1899, 12, 30), cell) if isinstance(cell, datetime.time) else cell
    if isinstance(value, datetime.datetime) and (ext != "xlsx" or value.year < 1900):
        unit = "milliseconds" if value.microsecond else "seconds" if value.time() != datetime.time() else None
        value = value.isoformat(timespec=unit) if unit else value.date().isoformat()
    if ext == "csv":  # a number as Python's float reads it, spelled as the converter spells it
        return float(cell) == value if isinstance(value, float) and re.fullmatch(r"-?(inf|[\d.]+(e[-+]\d+)?)", cell) \
            else cell == ("" if value is None else str(value))
    if ext == "sqlite":
        value = float(value) if isinstance(value, int) and value >= 2**63 else value
        return type(cell) is type(value) and cell == value
    if ext == "xlsx" and isinstance(value, (int, float)) and abs(value) != float("inf"):
        value = float("%.16G" % max(-LARGEST, min(LARGEST, value)))
    return {"inf": float("inf"), "-inf": -float("inf")}.get(cell, cell) == (value if value != "" else None)


# Compiles and runs a writer, converts its file to every format and compares
# the cells with what it printed; returns the fields that differ, each with
# its first wrong record's bytes, the value printed and the cell read.
def check(name, source, table, formats, convert, work):
    names, items, widths, kinds, xls_kinds, reads = zip(*table)
    # The program's record fields as (name, declaration), in order.
    text, failures = open(source).read(), []
    fields = re.findall(r"^ +05 (R-[\w-]+) (.+)\.$", text, re.M) if name == "cobol" else \
        re.findall(r"^ +(\w+): (.+);$", text.split("= packed record")[1].split("end;")[0], re.M)
    assert fields == list(zip(names, items)), f"{name}: the fields of {source} are not those of its table: {fields}"
    exe, data, length = os.path.join(work, name), os.path.join(work, name + ".dat"), sum(widths)
    compiler = ["cobc", "-x", "-free", *COBOL_FLAGS] if name == "cobol" else ["fpc", "-v0", "-l-", "-FU" + work]
    subprocess.run([*compiler, "-o" + exe, source], check=True)
    run = subprocess.run([exe, data, str(RECORDS)], capture_output=True)
    printed = [line.split("\t") for line in run.stdout.decode("cp1252").split("\n")[:-1]]
    assert run.returncode == 0 and [int(p[0]) for p in printed] == list(range(RECORDS)) and os.path.getsize(data) == \
        RECORDS * length and {len(p) for p in printed} == {len(table) + 1}, f"{name}: {run.returncode} {run.stderr}"
    values = [[READ[read](text) for read, text in zip(reads, p[1:])] for p in printed]
    for ext in formats:
        # In .xls the fields of later types are Bcd columns (numbers, whatever their bytes) and not read.
        marks = layout(exe + ".zlayout", [xls or "Bcd" for xls in xls_kinds] if ext == "xls" else kinds, widths)
        run = subprocess.run([*convert, "--force", "--layout", exe + ".zlayout", data, f"{exe}.{ext}"],
                             capture_output=True, text=True, timeout=120)
        rows = READERS[ext](f"{exe}.{ext}") if run.returncode == 0 else []
        if run.stderr or len(rows) != RECORDS:
            failures.append(f"{name} .{ext}: zorbik-convert exit code {run.returncode}, {len(rows)} rows: {run.stderr}")
        for c in (c for c, xls in enumerate(xls_kinds) if (xls or ext != "xls") and len(rows) == RECORDS):
            wrong, at = [k for k in range(RECORDS) if not same(ext, values[k][c], rows[k][c])], sum(widths[:c])
            failures += [f"{name} .{ext} {names[c]} {items[c]} ('{next(m for m in marks if m.startswith(f'{at} '))}'): "
                         f"{len(wrong)} of {RECORDS} records, the first {k}: bytes "
                         f"{open(data, 'rb').read()[k * length + at:][:widths[c]].hex(' ')}, printed "
                         f"{printed[k][c + 1]!r}, expected {values[k][c]!r}, read {rows[k][c]!r}" for k in wrong[:1]]
    return failures


formats, *convert, work = sys.argv[1:]
if not (shutil.which("cobc") and shutil.which("fpc") and importlib.util.find_spec("openpyxl")):
    sys.exit(print("cobc, fpc or openpyxl is not installed (Debian's gnucobol3, fp-compiler, python3-openpyxl)") or 77)
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
failures = [failure for name, ext, table in [("cobol", "cob", COBOL), ("pascal", "pas", PASCAL)] for failure in
            check(name, os.path.join(HERE, f"{name}_records.{ext}"), table, formats.split(","), convert, work)]
print("\n".join(failures) or f"writers: the records of GnuCOBOL and Free Pascal read back from {formats}")
sys.exit(1 if failures else shutil.rmtree(work))
