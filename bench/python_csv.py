#!/usr/bin/python3
"""The CSV conversion as a user would write it without ZORBIK: one struct
cuts the narrow record, the csv module writes the rows, the same cells as
zorbik-convert (a names line A..H, then one line per record).

    python_csv.py SOURCE TARGET

How the fields are decoded: the text as code page 1252, the integers
little-endian (the 2-byte one unsigned, the 4-byte one signed), the IEEE
reals as they are, the decimal text by float(), the BCD's nine digit
bytes through their hex digits, its tenth byte the scale and sign, the
marked column its second and fourth byte. The csv module writes floats
by repr(), so a whole float reads "12.0" where zorbik-convert writes
"12": the same value."""

import csv
import struct
import sys

from columns import HEADER_SIZE, narrow_shape

# Byte 0 and 63 are the record's begin and end; the eight fields between.
RECORD = struct.Struct("<x20sHIfd10s10s4sx")
assert RECORD.size == narrow_shape().length


def rows(path):
    """The cells of every record of the source at `path`."""
    with open(path, "rb") as f:
        f.seek(HEADER_SIZE)
        data = f.read()
    data = memoryview(data)[:len(data) - len(data) % RECORD.size]
    for text, int2, int4, real4, real8, decimal, bcd, marked in RECORD.iter_unpack(data):
        if int4 >= 0x80000000:
            int4 -= 1 << 32
        value = int(bcd[8::-1].hex()) / 10 ** (bcd[9] & 0x7F)
        yield (text.decode("cp1252"), int2, int4, real4, real8, float(decimal), -value if bcd[9] & 0x80 else value,
               (marked[1:2] + marked[3:4]).decode("cp1252"))


def main():
    with open(sys.argv[2], "w", newline="", encoding="utf-8") as out:
        writer = csv.writer(out)
        writer.writerow("ABCDEFGH")
        writer.writerows(rows(sys.argv[1]))


if __name__ == "__main__":
    main()
