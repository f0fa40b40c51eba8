#!/usr/bin/python3
# Converts a few sources with zorbik-convert and reads the worksheets back
# with another program: xlrd, LibreOffice Calc or SheetJS; the latter two
# also read the .xlsx and CSV of two of them. Every cell must read
# as its record in the file says: the same text, or the same number bit for
# bit, but for the few things a reader is known to do its own way (below).
#
#     check_readers.py xlrd|libreoffice|sheetjs ZORBIK_CONVERT... WORKDIR
#
# (an emulator may come before the program)
#
# Exits with 77 (skipped) when the reader is not installed: scripts/test.sh
# installs them, a plain ctest never does.

import csv, importlib.util, json, math, os, random, re, shutil, struct, subprocess, sys

HERE = os.path.dirname(os.path.abspath(__file__))
UNDEFINED_1252 = {0x81, 0x8D, 0x8F, 0x90, 0x9D}
SINGLES = [0x7FC00000, 0x7F800001, 0xFFC00000, 0x7F800000, 0xFF800000, 0x80000000, 1, 0x7F7FFFFF, 0x00800000]
DOUBLES = [0x7FF8000000000000, 0x7FF0000000000001, 0x7FF0000000000000, 0xFFF0000000000000, 0x8000000000000000, 1,
           0x7FEFFFFFFFFFFFFF, 0x0010000000000000, 0xBFF0000000000000]


# (name, source, layout lines). Random bytes for every type at several
# widths, the extremes of the reals, texts of every byte; many rows; many
# columns.
def cases():
    rnd = random.Random(7)
    columns = [("Text", 300), ("BinInteger", 2), ("BinInteger", 3), ("BinInteger", 4), ("BinReal", 4),
               ("BinReal", 6), ("BinReal", 8), ("DecimalNumber", 12), ("Bcd", 10), ("Bcd", 4), ("Text", 16)]
    starts = [1 + sum(width for _, width in columns[:i]) for i in range(len(columns) + 1)]
    records = []
    for k in range(600):
        rec = bytearray(rnd.randrange(256) for _ in range(starts[-1] + 1))
        decimal_text = bytes(rnd.choice(b"0123456789.,-") for _ in range(12))
        for i, value in ((4, struct.pack("<I", SINGLES[k % 9])), (6, struct.pack("<Q", DOUBLES[k % 9])),
                         (7, b"%d.%d\0" % (k - 300, k) if k % 2 else decimal_text)):
            rec[starts[i]:starts[i] + len(value)] = value
        records.append(bytes(rec))
    layout, row = ["0 LineBegin"], 1
    for type_name, width in columns:
        layout += [f"{row} ColumnBegin {type_name}", f"{row + width - 1} ColumnEnd"]
        row += width
    yield "types", b"".join(records), layout + [f"{row} LineEnd"]
    rows = b"".join(struct.pack("<H", k % 65536) + b"r%05d" % k for k in range(65534))
    yield "rows65534", rows, ["0 LineBegin BinInteger", "2 ColumnBegin Text", "6 ColumnEnd", "7 LineEnd"]
    yield "rows16384", rows[:8 * 16384], ["0 LineBegin BinInteger", "2 ColumnBegin Text", "6 ColumnEnd", "7 LineEnd"]
    # Texts of a DOS table: the worksheet names code page 850, so that ü, ä, ö and ß read as such.
    dos = b"M\x81ller \x84 \x94 Stra\xe1e"
    yield "cp850", dos * 3, ["codepage 850", "0 LineBegin Text", f"{len(dos) - 1} LineEnd"]
    wide = bytes(0x41 + i % 26 for i in range(5 * 601))
    yield "wide300", wide, ["0 LineBegin Text"] + [f"{2 * c} ColumnBegin\n{2 * c + 1} ColumnEnd" for c in range(1, 300)] + ["600 LineEnd"]


# The cells as the file's records hold them: {(row, column): ("s", bytes) or ("n", float)}.
def records(path):
    data, pos, cells = open(path, "rb").read(), 0, {}
    while pos < len(data):
        kind, length = struct.unpack_from("<HH", data, pos)
        body, pos = data[pos + 4:pos + 4 + length], pos + 4 + length
        if kind == 4:
            cells[struct.unpack_from("<HH", body)] = ("s", body[8:8 + body[7]])
        elif kind in (2, 3):
            cells[struct.unpack_from("<HH", body)] = ("n", float(struct.unpack_from("<H" if kind == 2 else "<d", body, 7)[0]))
    return cells


# The text a reader shows for LABEL bytes. xlrd is told that they are
# Latin-1, so that it shows every byte as it is. The others read code page
# 1252, with the five bytes it leaves undefined as U+FFFD (SheetJS) or
# U+F100 + byte (LibreOffice, which also ends a text at a zero byte and makes
# every line break, CR, CR LF or LF CR, one line feed).
def text_as(reader, data, page):
    if page != 1252:
        return data.decode(f"cp{page}")
    if reader == "xlrd":
        return data.decode("latin-1")
    if reader == "libreoffice":
        data = data.split(b"\0", 1)[0]
    undefined = {"sheetjs": lambda b: "\ufffd", "libreoffice": lambda b: chr(0xF100 + b)}[reader]
    text = "".join(undefined(b) if b in UNDEFINED_1252 else bytes([b]).decode("cp1252") for b in data)
    return re.sub("\r\n|\n\r|\r", "\n", text) if reader == "libreoffice" else text


# NaNs mean nothing beyond being NaN. LibreOffice's CSV writes -0 as 0 and
# at most 15 significant digits and 20 decimal places.
def same_number(reader, want, got):
    if math.isnan(want) or math.isnan(got):
        return math.isnan(want) and math.isnan(got)
    if reader != "libreoffice":
        return struct.pack("<d", want) == struct.pack("<d", got)
    return math.isclose(got, want, rel_tol=5e-15, abs_tol=5e-21)


def read_xlrd(paths, work):
    import xlrd
    for path in paths:
        dos = os.path.basename(path) == "cp850.xls"  # read as the file's code page says
        sheet = xlrd.open_workbook(path, encoding_override=None if dos else "latin-1").sheet_by_index(0)
        yield {(r, c): ("s" if cell.ctype == xlrd.XL_CELL_TEXT else "n", cell.value)
               for r in range(sheet.nrows) for c, cell in enumerate(sheet.row(r)) if cell.ctype != xlrd.XL_CELL_EMPTY}


def read_sheetjs(paths, work):
    run = subprocess.run(["node", os.path.join(HERE, "read_sheetjs.js")] + paths, capture_output=True, text=True,
                         check=True)
    for sheet in json.loads(run.stdout):
        yield {(r, c): (kind, value if kind == "s" else struct.unpack("<d", bytes.fromhex(value))[0])
               for r, row in enumerate(sheet) for c, (kind, value) in enumerate(row) if kind != "e"}


# Quoted texts, numbers as stored, UTF-8; a private profile for parallel runs.
# Our CSV is read as UTF-8 with its quotes, a text like "=1" as text.
def read_libreoffice(paths, work):
    for csv_in in (False, True):
        subprocess.run(["soffice", "-env:UserInstallation=file://" + work + "/profile", "--headless", "--norestore",
                        *["--infilter=CSV:44,34,76,1,,0,false,false,false,false,false,0,false"] * csv_in,
                        "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,false,false,false",
                        "--outdir", work + "/out"] + [p for p in paths if p.endswith(".csv") == csv_in],
                       capture_output=True, check=True, timeout=600)
    for path in paths:
        with open(os.path.join(work, "out", os.path.splitext(os.path.basename(path))[0] + ".csv"), encoding="utf-8",
                  newline="") as f:
            yield {(r, c): ("?", value) for r, row in enumerate(csv.reader(f)) for c, value in enumerate(row) if value}


def main():
    reader, *convert, work = sys.argv[1:]
    if not {"xlrd": importlib.util.find_spec("xlrd"), "libreoffice": shutil.which("soffice"),
            "sheetjs": shutil.which("node") and os.path.isdir(os.path.join(HERE, "node_modules/xlsx"))}[reader]:
        print(f"{reader} is not installed (scripts/test.sh installs it)")
        return 77
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    paths = []
    for name, source, layout in cases():
        if reader == "xlrd" and name in ("rows65534", "wide300"):
            continue  # past the limits of its BIFF2 reading (16384 rows, 256 columns)
        base = os.path.join(work, name)
        open(base + ".bin", "wb").write(source)
        open(base + ".layout", "w").write("\n".join(layout) + "\n")
        # The .xlsx and CSV of two must read as the CSV does with Python's csv
        # (the formats test holds that to the records); the CSV's byte order
        # mark tells SheetJS that it is UTF-8.
        for ext in ["xls"] + ["xlsx", "csv"] * (reader != "xlrd" and name in ("types", "cp850")):
            paths.append(base + ("." if ext == "xls" else f"-{ext}.") + ext)
            subprocess.run([*convert, "--force", *["--bom"] * (ext == "csv"), "--layout", base + ".layout",
                            base + ".bin", paths[-1]], check=True, stderr=subprocess.DEVNULL, timeout=60)
    failures = []
    for path, got in zip(paths, globals()["read_" + reader](paths, work)):
        want = records(path) if path.endswith(".xls") else {(r, c): ("u", v) for r, row in enumerate(csv.reader(
            open(path[:path.rindex("-")] + "-csv.csv", encoding="utf-8-sig", newline=""))) for c, v in enumerate(row) if v}
        if set(got) != set(want) and not (reader == "libreoffice" and set(got) <= set(want)):
            failures.append(f"{path}: {len(got)} cells read, {len(want)} written")
        for where, (kind, value) in want.items():
            got_kind, got_value = got.get(where, ("?", ""))
            try:
                page = 850 if path.endswith("cp850.xls") else 1252
                if kind == "u":  # our CSV's text: the same text, or a number that reads as it
                    if reader == "libreoffice" and (path.endswith(".csv") or "\n" in value):
                        value = re.sub("\r\n|\n\r|\r", "\n", value)  # a cell of lines, as in text_as
                    elif path.endswith(".csv"):  # SheetJS's CSV makes CR LF one LF
                        value = value.replace("\r\n", "\n")
                    # .xlsx holds a number in 16 digits, the largest kept below infinity
                    ok = value == got_value or got_kind != "s" and same_number(reader, float(
                        value if not path.endswith(".xlsx") else
                        "%.16G" % max(-1.797693134862315e308, min(1.797693134862315e308, float(value)))), float(got_value))
                else:
                    ok = (text_as(reader, value, page) == got_value and got_kind in "s?" if kind == "s" else
                          got_kind in "n?" and same_number(reader, value, float(got_value)))
            except ValueError:
                ok = False
            if not ok:
                failures.append(f"{path} {where}: read {got_kind} {got_value!r}, written {kind} {value!r}")
    print("\n".join(failures[:30]) or f"{reader}: {len(paths)} files read back")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
