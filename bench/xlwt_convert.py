#!/usr/bin/python3
"""The conversion as a user would write it without ZORBIK: struct to cut the
records, xlwt to write the worksheet (BIFF8, the only kind xlwt writes),
the same cells as zorbik-convert.

    xlwt_convert.py SHAPE SOURCE TARGET      SHAPE: narrow or wide
"""

import sys

import xlwt

from columns import HEADER_SIZE, narrow_shape, wide_shape, cell_values


def main():
    shape = {"narrow": narrow_shape, "wide": wide_shape}[sys.argv[1]]()
    with open(sys.argv[2], "rb") as f:
        data = f.read()
    book = xlwt.Workbook()
    sheet = book.add_sheet("Sheet1")
    count = min((len(data) - HEADER_SIZE) // shape.length, 65534)
    for r in range(count):
        start = HEADER_SIZE + r * shape.length
        for c, value in enumerate(cell_values(shape, data[start:start + shape.length])):
            sheet.write(r, c, value)
    book.save(sys.argv[3])


if __name__ == "__main__":
    main()
