#!/usr/bin/python3
"""Writes the benchmark sources and their layout files into a folder:

  narrow.bin / narrow.layout        65534 records of 64 bytes, 8 columns
  narrow16k.bin                     its first 16384 records (same layout)
  narrow.json                       where the fields lie, for the SheetJS script
  wide.bin / wide.layout            65534 records of 4096 bytes, 200 columns

Every source starts with a 128-byte header. The data is pseudo-random but
the same on every run."""

import json
import os
import random
import struct
import sys

from columns import (BCD, DECIMAL, HEADER_SIZE, INT2, INT4, MARKED, REAL4, REAL8, TEXT, narrow_shape,
                     wide_shape)

RECORDS = 65534
RECORDS_SMALL = 16384
WORDS = [b"Mueller", b"Schmidt", b"Meier", b"Schulz", b"Becker", b"Hoffmann", b"Koch", b"Wagner"]


def field_bytes(kind, width, rnd, k):
    if kind == TEXT:
        text = b"%s %07d" % (rnd.choice(WORDS), k)
        return text[:width].ljust(width, b" ")
    if kind == INT2:
        return struct.pack("<H", rnd.getrandbits(16))
    if kind == INT4:
        # Half small (INTEGER cells), half any pattern (NUMBER cells).
        return struct.pack("<I", rnd.getrandbits(16) if rnd.random() < 0.5 else rnd.getrandbits(32))
    if kind == REAL4:
        return struct.pack("<f", rnd.uniform(-1e6, 1e6))
    if kind == REAL8:
        return struct.pack("<d", rnd.uniform(-1e9, 1e9))
    if kind == DECIMAL:
        return b"%010.2f" % rnd.uniform(-999999, 999999)
    if kind == BCD:
        digits = rnd.randrange(10 ** 12)
        packed = bytearray(10)
        for i in range(9):
            packed[i] = (digits % 10) | (digits // 10 % 10) << 4
            digits //= 100
        packed[9] = rnd.randrange(5) | (0x80 if rnd.random() < 0.3 else 0)
        return bytes(packed)
    assert kind == MARKED
    return bytes([0x7C, rnd.randrange(65, 91), 0x7C, rnd.randrange(97, 123)])


def make_record(shape, rnd, k):
    record = bytearray(b"\xee" * shape.length)
    record[0] = 0x1E
    record[-1] = 0x0A
    for kind, offset, width in shape.columns:
        record[offset:offset + width] = field_bytes(kind, width, rnd, k)
    return bytes(record)


def header():
    return b"ZORBIK benchmark source\x1a".ljust(HEADER_SIZE, b"\0")


def write_source(path, shape, distinct, count):
    """`distinct` different records, repeated until `count` are written."""
    rnd = random.Random(20240601 + shape.length)
    records = [make_record(shape, rnd, k) for k in range(distinct)]
    with open(path, "wb") as f:
        f.write(header())
        block = b"".join(records)
        left = count
        while left >= distinct:
            f.write(block)
            left -= distinct
        f.write(b"".join(records[:left]))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    narrow = narrow_shape()
    write_source(os.path.join(folder, "narrow.bin"), narrow, RECORDS, RECORDS)
    with open(os.path.join(folder, "narrow.bin"), "rb") as f:
        small = f.read(HEADER_SIZE + RECORDS_SMALL * narrow.length)
    with open(os.path.join(folder, "narrow16k.bin"), "wb") as f:
        f.write(small)
    with open(os.path.join(folder, "narrow.layout"), "w") as f:
        f.write(narrow.layout_lines())
    with open(os.path.join(folder, "narrow.json"), "w") as f:
        json.dump(narrow.description(), f)

    wide = wide_shape()
    # 1024 different records repeated: enough variety for the value paths
    # without minutes of generating.
    write_source(os.path.join(folder, "wide.bin"), wide, 1024, RECORDS)
    with open(os.path.join(folder, "wide.layout"), "w") as f:
        f.write(wide.layout_lines())


if __name__ == "__main__":
    main()
