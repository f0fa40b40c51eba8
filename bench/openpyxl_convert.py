#!/usr/bin/python3
"""The .xlsx conversion with openpyxl's write-only workbook, which streams
its rows to the file as zorbik-convert does: a first row of names A..H,
then one row per record, the cells decoded as in python_csv.py.

    openpyxl_convert.py SOURCE TARGET"""

import sys

from openpyxl import Workbook

from python_csv import rows


def main():
    book = Workbook(write_only=True)
    sheet = book.create_sheet("Sheet1")
    sheet.append(list("ABCDEFGH"))
    for row in rows(sys.argv[1]):
        sheet.append(row)
    book.save(sys.argv[2])


if __name__ == "__main__":
    main()
