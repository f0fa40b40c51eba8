#!/usr/bin/python3
"""What zorbik-convert writes into an .xlsx, as openpyxl reads it.
cells: texts of code page 1252 with umlauts and an undefined byte, a text
ending at a NUL, texts cut at 32,767 characters (also where an escaped
underscore would pass them), control characters in the format's escapes
(which openpyxl shows as they are), NaN and the infinities as words; under a
German locale, whose decimal comma must not reach the numbers.
sheets: rows past a sheet's last go on in the next sheet under the names row.

    xlsx_cells.py cells|sheets ZORBIK_CONVERT... FOLDER   (an emulator may come before the program)

Exits with 77 (skipped) when openpyxl is not installed."""
import math
import os
import struct
import subprocess
import sys

try:
    import openpyxl
except ImportError:
    sys.exit(77)

what, *convert, work = sys.argv[1:]
os.makedirs(work, exist_ok=True)
path = os.path.join(work, what + '.xlsx')


# Converts the records, each between two line feeds, with a layout of
# `columns` (type, width), and returns what the command says. It runs under
# a German locale where localedef can make one.
def write(records, columns):
    ends = [1 + sum(w for _, w in columns[:i]) for i in range(len(columns) + 1)]
    open(path + '.bin', 'wb').write(b''.join(b'\n' + r + b'\n' for r in records))
    open(path + '.layout', 'w').write('0 LineBegin\n' + ''.join(
        f'{ends[i]} ColumnBegin {t}\n{ends[i + 1] - 1} ColumnEnd\n' for i, (t, _) in enumerate(columns)) +
        f'{ends[-1]} LineEnd\n')
    env = dict(os.environ, LOCPATH=work, LC_ALL='de_DE.UTF-8')
    if subprocess.run(['localedef', '-i', 'de_DE', '-f', 'UTF-8', os.path.join(work, 'de_DE.UTF-8')]).returncode:
        print('no German locale: the decimal point is not checked')
    return subprocess.run(convert + ['--lang', 'en', '--force', '--layout', path + '.layout', path + '.bin', path],
                          capture_output=True, text=True, check=True, env=env).stderr


if what == 'cells':
    # The text's bytes, the integer, the number; then the row openpyxl reads.
    inf = math.inf
    rows = [
        (b'M\xfcller \x81', -1, 1.5, ('Müller \ufffd', -1, 1.5)),
        (b'say "hi"\0 hidden', 2**31 - 1, math.nan, ('say "hi"', 2**31 - 1, 'NaN')),
        (b'', -2**31, inf, (None, -2**31, 'inf')),
        (b'\x01a\tb\nc\rd\x1f', 0, -inf, ('_x0001_a\tb\nc_x000D_d_x001F_', 0, '-inf')),
        (b' _x0041_ x_y _x12_', 7, 1e300, (' _x005F_x0041_ x_y _x12_', 7, 1e300)),
        (b'a' * 40000, 8, 0.1, ('a' * 32767, 8, 0.1)),
        (b'b' * 32761 + b'_x0041_', 9, -2.5, ('b' * 32761, 9, -2.5)),
    ]
    said = write([t.ljust(40001, b'\0') + struct.pack('<id', i, n) for t, i, n, _ in rows],
                 [('Text', 40001), ('BinInteger', 4), ('BinReal', 8)])
    assert said == ('zorbik-convert: 1 bytes had no character in code page 1252\n'
                    'zorbik-convert: 2 texts were longer than 32767 characters and were cut\n'), said
    got = list(openpyxl.load_workbook(path).active.iter_rows(values_only=True))
    assert got[0] == ('A', 'B', 'C'), got[0]
    assert len(got) == len(rows) + 1, len(got)
    for (_, _, _, want), row in zip(rows, got[1:]):
        assert row == want, (str(row)[:80], str(want)[:80])
else:
    # Three sheets: two full ones of the names row and 1,048,575 records, and
    # the last two records.
    per_sheet = 1048575
    write([struct.pack('<i', k) for k in range(2 * per_sheet + 2)], [('BinInteger', 4)])
    book = openpyxl.load_workbook(path, read_only=True)
    assert book.sheetnames == ['Sheet1', 'Sheet2', 'Sheet3'], book.sheetnames
    for n, sheet in enumerate(book):
        assert sheet.max_row == (per_sheet + 1 if n < 2 else 3), (n, sheet.max_row)
        first = list(sheet.iter_rows(max_row=3, values_only=True))
        assert first == [('A',), (n * per_sheet,), (n * per_sheet + 1,)], (n, first)
print(f'xlsx {what}: as written')
