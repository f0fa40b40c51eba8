#!/usr/bin/env python3
"""Writes the hand-made seeds of the fuzzer's corpus (fuzz/corpus/seed-*).
Beside them, under the names libFuzzer gives (the SHA-1 of the content),
sit the inputs that ten minutes of fuzzing found to reach further, merged
with -merge=1. The byte format is described in FuzzInput.h."""

import os
import struct
import sys

TEXT_LAYOUT, FAIL_WRITES, SHORT_SOURCE, GERMAN, STOP_EARLY = 1, 2, 4, 8, 16
MARKERS = {"Unmarked": 0, "LineBegin": 1, "ColumnBegin": 2, "ByteMark": 3, "ColumnEnd": 4, "LineEnd": 5}
TYPES = {None: 0, "Text": 1, "BinInteger": 2, "BinReal": 3, "DecimalNumber": 4, "Bcd": 5}


def marks_input(marks, source, options=0, fail_after=None, readable=None):
    out = bytes([options]) + bytes([len(marks)])
    for row, marker, *rest in marks:
        out += struct.pack("<HBB", row, MARKERS[marker], TYPES[rest[0] if rest else None])
    return out + options_tail(options, fail_after, readable) + source


def text_input(text, source, options=0, fail_after=None, readable=None):
    data = text.encode("latin-1")
    options |= TEXT_LAYOUT
    return bytes([options]) + struct.pack("<H", len(data)) + data + options_tail(options, fail_after, readable) + source


def options_tail(options, fail_after, readable):
    tail = b""
    if options & FAIL_WRITES:
        tail += struct.pack("<H", fail_after)
    if options & SHORT_SOURCE:
        tail += struct.pack("<H", readable)
    return tail


def records(count, length, seed=7):
    return bytes((seed * 31 + i * 17 + i // length * 5) % 256 for i in range(count * length))


SEEDS = {
    "plain-columns": marks_input([(0, "LineBegin"), (1, "ColumnBegin", "Text"), (3, "ColumnEnd"),
                                  (4, "ColumnBegin", "BinInteger"), (7, "ColumnEnd"), (9, "LineEnd")],
                                 records(12, 10)),
    "every-type": text_input("4 LineBegin Text\n6 ColumnBegin BinInteger\n9 ColumnEnd\n10 ColumnBegin BinReal\n"
                             "13 ColumnEnd\n14 ColumnBegin BinReal\n21 ColumnEnd\n22 ColumnBegin DecimalNumber\n"
                             "31 ColumnEnd\n32 ColumnBegin Bcd\n41 ColumnEnd\n43 LineEnd\n",
                             b"HEAD" + (b"ab\x10\x27\x00\x00\x00\x00\x80\x3f" + struct.pack("<d", -2.5) +
                                        b"-12,50\x00\x00\x00\x00" + bytes.fromhex("45230100000000000082") + b"..") * 6),
    "edge-columns": marks_input([(0, "LineBegin", "BinInteger"), (1, "ColumnBegin", "Text"), (3, "ColumnEnd"),
                                 (4, "ColumnBegin"), (5, "ColumnEnd"), (6, "LineEnd", "Text"), (8, "ByteMark"),
                                 (12, "ByteMark", "Text")], records(20, 7)),
    "byte-marks": marks_input([(0, "LineBegin"), (4, "ColumnBegin"), (6, "ByteMark", "Text"), (8, "ByteMark"),
                               (10, "ColumnEnd", "Text"), (11, "ColumnBegin", "BinInteger"), (13, "ByteMark"),
                               (14, "ColumnEnd"), (16, "ColumnBegin"), (17, "ByteMark"),
                               (19, "ByteMark", "BinInteger"), (20, "ColumnEnd"), (21, "ByteMark"),
                               (23, "LineEnd")], records(9, 24)),
    "after-line-end": marks_input([(2, "LineBegin"), (3, "ColumnBegin"), (4, "ColumnEnd"), (7, "LineEnd"),
                                   (9, "ColumnBegin", "BinReal"), (16, "ColumnEnd"), (40, "ColumnBegin", "Text"),
                                   (47, "ColumnEnd")], records(8, 6)),
    "whole-record": marks_input([(3, "LineBegin"), (11, "LineEnd")], records(30, 9)),
    "typed-line-end": marks_input([(0, "LineBegin"), (1, "ColumnBegin"), (2, "ColumnEnd"), (3, "Unmarked", "Bcd"),
                                   (12, "LineEnd", "Text")], records(10, 13)),
    "crlf-no-final-newline": text_input("# made by hand\r\n0 LineBegin\r\n\r\n1 ColumnBegin BinInteger\r\n"
                                        "2 ColumnEnd\r\n5 LineEnd", records(10, 6)),
    "garbage-layout": text_input("\x00\xff LineBegin\n-3 ColumnEnd\n99999999999999999999 LineEnd\n", records(4, 4)),
    "faults": marks_input([(5, "LineEnd"), (9, "LineBegin")], records(4, 4)),
    "column-fault": marks_input([(0, "LineBegin"), (2, "ColumnBegin"), (5, "ColumnBegin"), (7, "ColumnEnd"),
                                 (9, "LineEnd")], records(3, 10)),
    "disk-full": marks_input([(0, "LineBegin", "Text"), (3, "LineEnd")], records(400, 4), FAIL_WRITES,
                             fail_after=2000),
    "source-cut": marks_input([(0, "LineBegin", "BinReal"), (5, "LineEnd")], records(90, 6), SHORT_SOURCE,
                              readable=200),
    "stopped": marks_input([(0, "LineBegin", "BinInteger"), (1, "LineEnd")], records(300, 2), STOP_EARLY),
    "german": marks_input([(0, "LineBegin", "DecimalNumber"), (8, "ColumnBegin", "Bcd"),
                           (17, "ColumnEnd"), (18, "LineEnd")], (b"-0,5\x00\x00\x00\x00" + bytes(10) + b"|") * 5,
                          GERMAN),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, "seed-" + name), "wb") as f:
            f.write(data)
    print(f"{len(SEEDS)} seeds written to {folder}")


if __name__ == "__main__":
    main()
