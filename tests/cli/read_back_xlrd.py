#!/usr/bin/python3
"""Converts generated sources with zorbik-convert and reads the worksheets
back with xlrd, an independent reader of BIFF2 files: every cell must have
the value and the type that the source bytes and the marks call for."""

import math
import os
import struct
import subprocess
import sys
import tempfile

import xlrd

CONVERT = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def convert(workdir, name, source_bytes, layout_lines, extra=()):
    src = os.path.join(workdir, name + ".bin")
    lay = os.path.join(workdir, name + ".layout")
    out = os.path.join(workdir, name + ".xls")
    with open(src, "wb") as f:
        f.write(source_bytes)
    with open(lay, "w") as f:
        f.write("\n".join(layout_lines) + "\n")
    result = subprocess.run([CONVERT, "--layout", lay, *extra, src, out], capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(f"FAIL: {name}: zorbik-convert exit {result.returncode}: {result.stderr}")
    return xlrd.open_workbook(out).sheet_by_index(0)


def cell(sheet, r, c):
    x = sheet.cell(r, c)
    return x.ctype, x.value


def every_field_type(workdir):
    """A header, then 300 records of text, 2- and 4-byte integers, a single,
    a double, a decimal text and a packed BCD number."""
    header = b"HDR\x00" * 8  # 32 bytes
    records = []
    expected = []
    for i in range(300):
        name = (b"Item %03d" % i).ljust(12, b" ")
        small = (i * 211) % 65536
        big = -i * 1000003 if i % 2 else i * 1000003 + 70000
        single = i * 0.25 - 3
        double = i / 7.0
        dec = b"%d.%02d" % (i - 150, i % 100) if i >= 150 else b"-%d.%02d" % (150 - i, i % 100)
        dec_field = dec.ljust(10, b"\x00")
        bcd_digits = i * 12345
        digits = bytearray(10)
        v = bcd_digits
        for k in range(9):
            digits[k] = (v % 10) | ((v // 10 % 10) << 4)
            v //= 100
        digits[9] = 0x80 | 2 if i % 3 == 0 else 0x02
        rec = name + struct.pack("<H", small) + struct.pack("<i", big) + struct.pack("<f", single) + \
            struct.pack("<d", double) + dec_field + bytes(digits)
        records.append(rec)
        bcd_value = bcd_digits / 100.0 * (-1 if i % 3 == 0 else 1)
        expected.append((name.decode(), small, big, single, double, float(dec.decode()), bcd_value))
    reclen = len(records[0])  # 12+2+4+4+8+10+10 = 50
    base = len(header)
    o = base
    layout = [f"{o} LineBegin Text"]
    o += 12
    layout += [f"{o} ColumnBegin BinInteger", f"{o + 1} ColumnEnd"]
    o += 2
    layout += [f"{o} ColumnBegin BinInteger", f"{o + 3} ColumnEnd"]
    o += 4
    layout += [f"{o} ColumnBegin BinReal", f"{o + 3} ColumnEnd"]
    o += 4
    layout += [f"{o} ColumnBegin BinReal", f"{o + 7} ColumnEnd"]
    o += 8
    layout += [f"{o} ColumnBegin DecimalNumber", f"{o + 9} ColumnEnd"]
    o += 10
    layout += [f"{o} ColumnBegin Bcd", f"{o + 9} ColumnEnd"]
    o += 10
    # One filler byte carries the record end, which needs a row of its own.
    layout.append(f"{o} LineEnd")
    records = [r + b"\xee" for r in records]
    sheet = convert(workdir, "types", header + b"".join(records), layout)
    check(sheet.nrows == 300, f"types: {sheet.nrows} rows")
    check(sheet.ncols == 7, f"types: {sheet.ncols} columns")
    for r, (name, small, big, single, double, dec, bcd) in enumerate(expected):
        check(cell(sheet, r, 0) == (xlrd.XL_CELL_TEXT, name), f"types row {r} text {cell(sheet, r, 0)}")
        check(cell(sheet, r, 1) == (xlrd.XL_CELL_NUMBER, float(small)), f"types row {r} small {cell(sheet, r, 1)}")
        big_u = big & 0xFFFFFFFF
        want_big = float(big_u) if big_u <= 0xFFFF else float(big)
        check(cell(sheet, r, 2) == (xlrd.XL_CELL_NUMBER, want_big), f"types row {r} big {cell(sheet, r, 2)}")
        check(cell(sheet, r, 3) == (xlrd.XL_CELL_NUMBER, single), f"types row {r} single {cell(sheet, r, 3)}")
        check(cell(sheet, r, 4) == (xlrd.XL_CELL_NUMBER, double), f"types row {r} double {cell(sheet, r, 4)}")
        t, v = cell(sheet, r, 5)
        check(t == xlrd.XL_CELL_NUMBER and abs(v - dec) <= 1e-12 * max(1, abs(dec)), f"types row {r} decimal {v} != {dec}")
        t, v = cell(sheet, r, 6)
        check(t == xlrd.XL_CELL_NUMBER and abs(v - bcd) <= 1e-9 * max(1, abs(bcd)), f"types row {r} bcd {v} != {bcd}")


def byte_marks_and_edges(workdir):
    """Byte marks pick single bytes; a typed record end becomes a column."""
    rec = b"AxBxCxDxE"  # 9 bytes: a column of marked bytes A, B, C and a typed end
    data = rec * 40
    layout = ["0 LineBegin", "1 ColumnBegin", "2 ByteMark Text", "4 ByteMark", "6 ColumnEnd Text", "8 LineEnd Text"]
    sheet = convert(workdir, "marks", data, layout)
    check(sheet.nrows == 40, f"marks: {sheet.nrows} rows")
    # No leading column (a column begins right after the untyped record begin);
    # the marked bytes B, C and the typed column end D; the trailing column xE.
    row = [sheet.cell_value(0, c) for c in range(sheet.ncols)]
    check(row == ["BCD", "xE"], f"marks: row 0 is {row}")


def many_records(workdir):
    """65534 records and the clamp past them: xlrd reads at most 16384 rows of
    a BIFF2 file, so the check runs on 16384 records here; the full count is
    covered by the byte-level tests."""
    n = 16384
    data = b"".join(struct.pack("<HHB", i, 0xBEEF, 0) for i in range(n))
    sheet = convert(workdir, "many", data, ["0 LineBegin BinInteger", "2 ColumnBegin", "3 ColumnEnd", "4 LineEnd"])
    check(sheet.nrows == n, f"many: {sheet.nrows} rows")
    check(all(sheet.cell_value(i, 0) == float(i) for i in range(0, n, 97)), "many: integers differ")
    check(sheet.cell_value(n - 1, 1) == "\xef\xbe", f"many: last text {sheet.cell_value(n - 1, 1)!r}")


with tempfile.TemporaryDirectory() as workdir:
    every_field_type(workdir)
    byte_marks_and_edges(workdir)
    many_records(workdir)

for f in failures[:30]:
    print("FAIL:", f)
print(f"{3 - len(set(f.split(':')[0] for f in failures))} passed, {len(set(f.split(':')[0] for f in failures))} failed")
sys.exit(1 if failures else 0)
