"""The files the readers are checked on: sources with their layouts, converted
with zorbik-convert, and the cells each worksheet must hold.

    corpus.py ZORBIK_CONVERT OUTDIR

writes OUTDIR/NAME.xls for every case and OUTDIR/expected.json."""

import json
import os
import struct
import subprocess
import sys

import model

# xlrd refuses BIFF2 sheets larger than the old spreadsheet program's own
# limits (an AssertionError), so it reads only the files within them.
XLRD_MAX_ROWS = 16384
XLRD_MAX_COLUMNS = 256


class Case:
    def __init__(self, name, source, layout, columns, begin, length, rows, warning=None):
        self.name = name
        self.source = bytes(source)
        self.layout = layout
        # (type, rows): the rows of the prototype record whose bytes form the
        # field, in order; record k reads them shifted by k * length.
        self.columns = columns
        self.begin = begin
        self.length = length
        self.rows = rows
        self.warning = warning

    def expected(self):
        size = len(self.source)
        table = []
        for k in range(self.rows):
            shift = k * self.length
            row = []
            for type_name, offsets in self.columns:
                present = bytes(self.source[o + shift] for o in offsets if o + shift < size)
                row.append(model.cell(type_name, present))
            table.append(row)
        return table


def span(first, last):
    return list(range(first, last + 1))


def ascii_field(text, size):
    return text.encode("ascii").ljust(size, b"\0")[:size]


def bcd(digits, scale=0, negative=False, size=10):
    out = bytearray(10)
    for i in range(9):
        out[i] = (digits % 10) | (digits // 10 % 10) << 4
        digits //= 100
    out[9] = scale | (0x80 if negative else 0)
    return bytes(out[:size]) if size < 10 else bytes(out)


def every_field_type():
    """Every type at several widths, negative numbers, behind a file header;
    the typed record begin makes the name its own leading column."""
    records = []
    for i in range(600):
        sign = -1 if i % 2 else 1
        rec = (b"Name %04d" % i).ljust(12, b" ")                     # 0-11 leading Text column
        rec += struct.pack("<H", (i * 211) % 65536)                  # 12-13 BinInteger 2
        rec += struct.pack("<i", sign * i * 1000003 + (70000 if sign > 0 else 0))  # 14-17 BinInteger 4
        rec += struct.pack("<I", i * 40009)[:3]                       # 18-20 BinInteger 3
        rec += bytes([0xA0, i % 256, 0xB0])                           # 21-23: byte 22 is a 1-byte BinInteger
        rec += struct.pack("<f", sign * i * 0.375)                   # 24-27 BinReal 4
        rec += struct.pack("<d", sign * i / 7.0)                     # 28-35 BinReal 8
        rec += struct.pack("<d", sign * i * 1e10)[:6]                # 36-41 BinReal 6
        rec += struct.pack("<H", i * 97)                             # 42-43 BinReal 2
        dec = "%s%d%s%02d" % ("-" if sign < 0 else "", i, "," if i % 3 else ".", (i * 7) % 100)
        rec += ascii_field(dec, 10)                                   # 44-53 DecimalNumber 10
        long_dec = "-%018d" % (i * 1234567890123 % 10**18)
        rec += ascii_field(long_dec[:i % 10 + 2] + "." + long_dec[i % 10 + 2:], 20)  # 54-73 DecimalNumber 20
        rec += bcd(i * 987654321, scale=i % 19, negative=sign < 0)   # 74-83 Bcd 10
        rec += bcd(i * 13, scale=1)[:4]                               # 84-87 Bcd 4
        rec += b"\xee"                                                # 88 record end
        records.append(rec)
    header = b"HDR\0" * 8
    b = len(header)
    layout = [f"{b} LineBegin Text",
              f"{b + 12} ColumnBegin BinInteger", f"{b + 13} ColumnEnd",
              f"{b + 14} ColumnBegin BinInteger", f"{b + 17} ColumnEnd",
              f"{b + 18} ColumnBegin BinInteger", f"{b + 20} ColumnEnd",
              f"{b + 21} ColumnBegin", f"{b + 22} ByteMark BinInteger", f"{b + 23} ColumnEnd",
              f"{b + 24} ColumnBegin BinReal", f"{b + 27} ColumnEnd",
              f"{b + 28} ColumnBegin BinReal", f"{b + 35} ColumnEnd",
              f"{b + 36} ColumnBegin BinReal", f"{b + 41} ColumnEnd",
              f"{b + 42} ColumnBegin BinReal", f"{b + 43} ColumnEnd",
              f"{b + 44} ColumnBegin DecimalNumber", f"{b + 53} ColumnEnd",
              f"{b + 54} ColumnBegin DecimalNumber", f"{b + 73} ColumnEnd",
              f"{b + 74} ColumnBegin Bcd", f"{b + 83} ColumnEnd",
              f"{b + 84} ColumnBegin Bcd", f"{b + 87} ColumnEnd",
              f"{b + 88} LineEnd"]
    columns = [("Text", span(b, b + 11)), ("BinInteger", span(b + 12, b + 13)),
               ("BinInteger", span(b + 14, b + 17)), ("BinInteger", span(b + 18, b + 20)),
               ("BinInteger", [b + 22]), ("BinReal", span(b + 24, b + 27)), ("BinReal", span(b + 28, b + 35)),
               ("BinReal", span(b + 36, b + 41)), ("BinReal", span(b + 42, b + 43)),
               ("DecimalNumber", span(b + 44, b + 53)), ("DecimalNumber", span(b + 54, b + 73)),
               ("Bcd", span(b + 74, b + 83)), ("Bcd", span(b + 84, b + 87))]
    return Case("types", header + b"".join(records), layout, columns, b, 89, 600)


def extreme_numbers():
    """NaN, infinities, signed zeros, subnormals, the extremes of every type."""
    singles = [b"\x00\x00\xc0\x7f", b"\x01\x00\x80\x7f", b"\x00\x00\xc0\xff", b"\x00\x00\x80\x7f",
               b"\x00\x00\x80\xff", b"\x00\x00\x00\x80", b"\x01\x00\x00\x00", b"\xff\xff\x7f\x7f",
               b"\x00\x00\x80\x00", b"\x00\x00\x80\x3f"]
    doubles = [struct.pack("<Q", q) for q in (0x7FF8000000000000, 0x7FF0000000000001, 0xFFF8000000000000,
                                               0x7FF0000000000000, 0xFFF0000000000000, 0x8000000000000000,
                                               0x0000000000000001, 0x7FEFFFFFFFFFFFFF, 0x0010000000000000,
                                               0xBFF0000000000000)]
    integers = [struct.pack("<I", v) for v in (0, 1, 65535, 65536, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                                0xFFFF0000, 0x12345678, 0x0000FFFF)]
    # The last text ends at its zero byte: 12.
    decimals = [ascii_field(t, 20) for t in ("", "-", "-0", "12.", "0.609597", "0.1", "11.1993", "12,5",
                                             "-999999999999999999", "12\x0034")]
    packed = [bcd(12345), bcd(12345, negative=True), bcd(12345, 2), bcd(12345, 2, True), bcd(0, 0, True),
              bcd(999999999999999999), bcd(999999999999999999, 18, True), bcd(1, 127), bcd(609597, 6),
              bcd(0)]
    records = [b"<" + s + d + i + t + p + b">" for s, d, i, t, p in zip(singles, doubles, integers, decimals, packed)]
    layout = ["0 LineBegin", "1 ColumnBegin BinReal", "4 ColumnEnd", "5 ColumnBegin BinReal", "12 ColumnEnd",
              "13 ColumnBegin BinInteger", "16 ColumnEnd", "17 ColumnBegin DecimalNumber", "36 ColumnEnd",
              "37 ColumnBegin Bcd", "46 ColumnEnd", "47 LineEnd"]
    columns = [("BinReal", span(1, 4)), ("BinReal", span(5, 12)), ("BinInteger", span(13, 16)),
               ("DecimalNumber", span(17, 36)), ("Bcd", span(37, 46))]
    return Case("extremes", b"".join(records), layout, columns, 0, 48, len(records))


def texts():
    """Texts cut at 255 bytes, every byte value, zero bytes and line breaks
    inside, and columns after the record end that run past the end of the
    source: the last record gets a short and an empty text, and an integer
    of no bytes at all."""
    length = 620
    records = []
    for k in range(40):
        rec = bytearray(length)
        rec[0] = ord("[")
        rec[1:301] = bytes((0x20 + (k + i) % 95) for i in range(300))   # 300-byte column: 255 kept
        rec[301:557] = bytes((0x41 + (k * 3 + i) % 26) for i in range(256))  # 256-byte column: 255 kept
        rec[557:565] = [b"a\0b\"c,\r\n", b" lead  ", b"\t\x01\x7f=1+2", b"\xe4\xf6\xfc\xdf\x80\xa0\xff\x85"][k % 4].ljust(8, b"_")
        rec[565:581] = bytes(range(1 + 16 * (k % 16), 17 + 16 * (k % 16))) if k % 16 < 15 else bytes(range(241, 256)) + b"\x01"
        rec[581:619] = (b"%03d " % k).ljust(38, b".")
        rec[619] = ord("]")
        records.append(bytes(rec))
    tail = b"T!"  # shorter than a record: not converted, but read by the columns after the end
    layout = ["0 LineBegin", "1 ColumnBegin Text", "300 ColumnEnd", "301 ColumnBegin", "556 ColumnEnd",
              "557 ColumnBegin", "564 ColumnEnd", "565 ColumnBegin Text", "580 ColumnEnd",
              "619 LineEnd",
              f"{length + 1} ColumnBegin Text", f"{length + 4} ColumnEnd",
              f"{length + 5} ColumnBegin BinInteger", f"{length + 8} ColumnEnd",
              f"{length + 9} ColumnBegin", f"{length + 12} ColumnEnd"]
    columns = [("Text", span(1, 300)), ("Text", span(301, 556)), ("Text", span(557, 564)),
               ("Text", span(565, 580)), ("Text", span(length + 1, length + 4)),
               ("BinInteger", span(length + 5, length + 8)), ("Text", span(length + 9, length + 12))]
    return Case("texts", b"".join(records) + tail, layout, columns, 0, length, 40)


def byte_marks():
    """Byte marks pick bytes out of columns; a typed column end adds its
    byte; a byte mark between the last column and the record end makes a
    trailing column."""
    records = [bytes((0x61 + (k + i) % 26) for i in range(24)) for k in range(50)]
    layout = ["0 LineBegin", "4 ColumnBegin", "6 ByteMark Text", "8 ByteMark", "10 ColumnEnd Text",
              "11 ColumnBegin BinInteger", "13 ByteMark", "14 ColumnEnd",
              "16 ColumnBegin", "17 ByteMark", "19 ByteMark BinInteger", "20 ColumnEnd",
              "21 ByteMark", "23 LineEnd"]
    columns = [("Text", [6, 8, 10]), ("BinInteger", [11, 13]), ("Text", [17, 19]), ("Text", span(21, 23))]
    return Case("marks", b"".join(records), layout, columns, 0, 24, 50)


def edge_columns():
    """The one-byte leading column (a typed record begin right before the
    first column) and the one-row trailing column (a typed record end right
    after the last column), with byte marks after the record end."""
    records = [bytes([k, 0x41 + k % 26, 0x42, 0x43]) + bcd(k * 7, 1)[:2] + bytes([0x30 + k % 10]) for k in range(200)]
    layout = ["0 LineBegin BinInteger", "1 ColumnBegin Text", "3 ColumnEnd", "4 ColumnBegin Bcd", "5 ColumnEnd",
              "6 LineEnd Text", "8 ByteMark", "12 ByteMark Text"]
    columns = [("BinInteger", [0]), ("Text", span(1, 3)), ("Bcd", span(4, 5)), ("Text", [6])]
    return Case("edges", b"".join(records), layout, columns, 0, 7, 200)


def record_is_the_file():
    """One record from the first to the last byte of the file, marks on both."""
    source = bytearray(b"%" * 300)
    source[1:101] = b"the first column, a text of one hundred bytes ".ljust(100, b"~")
    source[101:103] = struct.pack("<H", 4711)
    source[103:123] = ascii_field("-12345.678", 20)
    layout = ["0 LineBegin", "1 ColumnBegin Text", "100 ColumnEnd", "101 ColumnBegin BinInteger",
              "102 ColumnEnd", "103 Unmarked DecimalNumber", "299 LineEnd DecimalNumber"]
    columns = [("Text", span(1, 100)), ("BinInteger", [101, 102]), ("DecimalNumber", span(103, 299))]
    return Case("whole_file", source, layout, columns, 0, 300, 1)


def whole_record():
    """No column marks: the whole record is one text column; a short tail
    after the last record is not converted."""
    source = b"HEAD!" + b"".join(b"rec%05d" % k for k in range(1000)) + b"xyz"
    layout = ["5 LineBegin", "12 LineEnd"]
    return Case("whole_record", source, layout, [("Text", span(5, 12))], 5, 8, 1000)


def many_records(name, count, warning=None):
    """A worksheet row per record up to the limit of 65534."""
    source = b"".join(struct.pack("<HH", k % 65536, (k * 7) % 65536) + b"r%05d" % (k % 100000) for k in range(count))
    layout = ["0 LineBegin BinInteger", "2 ColumnBegin BinInteger", "3 ColumnEnd", "4 ColumnBegin Text",
              "8 ColumnEnd", "9 LineEnd"]
    columns = [("BinInteger", [0, 1]), ("BinInteger", [2, 3]), ("Text", span(4, 8))]
    return Case(name, source, layout, columns, 0, 10, min(count, 65534), warning)


def wide(n):
    """As many columns as Excel 2.x had (256), or more; the typed record
    begin makes the first two bytes the first column."""
    records = [bytes((0x41 + (k + i) % 26) for i in range(2 * n)) + b"|" for k in range(5)]
    layout = ["0 LineBegin Text"]
    for c in range(1, n):
        layout += [f"{2 * c} ColumnBegin", f"{2 * c + 1} ColumnEnd"]
    layout.append(f"{2 * n} LineEnd")
    columns = [("Text", [2 * c, 2 * c + 1]) for c in range(n)]
    return Case(f"wide{n}", b"".join(records), layout, columns, 0, 2 * n + 1, 5)


def cases():
    return [every_field_type(), extreme_numbers(), texts(), byte_marks(), edge_columns(), record_is_the_file(),
            whole_record(), many_records("rows16384", 16384), many_records("rows65534", 65534),
            many_records("clamped", 70000, "More than 65534 lines;\nmaximum lines is selected!"), wide(256), wide(300)]


def encode(table):
    return [[[kind, value.hex() if kind == "s" else struct.pack("<d", value).hex()] for kind, value in row]
            for row in table]


def main():
    convert, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    expected = {}
    failed = False
    for case in cases():
        base = os.path.join(outdir, case.name)
        with open(base + ".bin", "wb") as f:
            f.write(case.source)
        with open(base + ".layout", "w") as f:
            f.write("\n".join(case.layout) + "\n")
        result = subprocess.run([convert, "--lang", "en", "--force", "--layout", base + ".layout", base + ".bin",
                                 base + ".xls"], capture_output=True, text=True)
        warning_ok = (case.warning or "") in result.stderr and (case.warning or not result.stderr)
        if result.returncode != 0 or not warning_ok:
            print(f"FAIL: {case.name}: zorbik-convert exit {result.returncode}: {result.stderr}")
            failed = True
            continue
        table = case.expected()
        expected[case.name] = {"rows": case.rows, "cols": len(case.columns), "cells": encode(table),
                               "xlrd": case.rows <= XLRD_MAX_ROWS and len(case.columns) <= XLRD_MAX_COLUMNS}
        print(f"{case.name}: {case.rows} rows, {len(case.columns)} columns")
    with open(os.path.join(outdir, "expected.json"), "w") as f:
        json.dump(expected, f)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
