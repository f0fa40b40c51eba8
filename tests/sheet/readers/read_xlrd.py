"""Reads the worksheets of the corpus with xlrd (Debian's python3-xlrd).

    read_xlrd.py CORPUSDIR OUT.json

xlrd decodes LABEL bytes with Python's strict cp1252 codec, which leaves the
five bytes 81 8d 8f 90 9d undefined and then refuses the whole file. Windows
itself maps them to U+0081 and so on; the files are opened with a codec that
does the same (xlrd's own encoding_override), so that xlrd reads every file."""

import codecs
import json
import math
import os
import struct
import sys

import xlrd

_TABLE = "".join(bytes([b]).decode("cp1252", errors="ignore") or chr(b) for b in range(256))


def _find_codec(name):
    if name != "cp1252_as_windows":
        return None
    return codecs.CodecInfo(name=name, encode=codecs.lookup("cp1252").encode,
                            decode=lambda data, errors="strict": codecs.charmap_decode(data, errors, _TABLE))


codecs.register(_find_codec)


def read(path):
    sheet = xlrd.open_workbook(path, encoding_override="cp1252_as_windows").sheet_by_index(0)
    rows = []
    for r in range(sheet.nrows):
        row = []
        for c in sheet.row(r):
            if c.ctype == xlrd.XL_CELL_TEXT:
                row.append(["s", c.value])
            elif c.ctype == xlrd.XL_CELL_NUMBER:
                row.append(["n", struct.pack("<d", c.value).hex()])
            elif c.ctype == xlrd.XL_CELL_EMPTY:
                row.append(["e", ""])
            else:
                row.append(["?", f"xlrd cell type {c.ctype}: {c.value!r}"])
        rows.append(row)
    return {"rows": sheet.nrows, "cols": sheet.ncols, "cells": rows}


def main():
    corpus, out = sys.argv[1], sys.argv[2]
    with open(os.path.join(corpus, "expected.json")) as f:
        names = [name for name, e in json.load(f).items() if e["xlrd"]]
    result = {}
    for name in names:
        try:
            result[name] = read(os.path.join(corpus, name + ".xls"))
        except Exception as error:  # a reader that cannot open a file is a finding, not a crash
            result[name] = {"error": f"{type(error).__name__}: {error}"}
    with open(out, "w") as f:
        json.dump(result, f)


if __name__ == "__main__":
    main()
