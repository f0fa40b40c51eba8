#!/usr/bin/python3
"""What XlsxTarget writes, as openpyxl reads it.
cells: texts of code page 1252 with umlauts and an undefined byte, a text
ending at a NUL, texts cut at 32,767 characters (also where an escaped
underscore would pass them), control characters in the format's escapes
(which openpyxl shows as they are), NaN and the infinities as words.
sheets: rows past a sheet's last go on in the next sheet under the names row.

    xlsx_cells.py cells|sheets XLSX_DRIVER... FOLDER   (an emulator may come before the program)

Exits with 77 (skipped) when openpyxl is not installed."""
import os
import subprocess
import sys

try:
    import openpyxl
except ImportError:
    sys.exit(77)

what, *driver, work = sys.argv[1:]
os.makedirs(work, exist_ok=True)
path = os.path.join(work, what + '.xlsx')


# Writes the cells (see xlsx_driver.cpp) and returns the notes. The driver
# runs under a German locale, whose decimal comma must not reach the numbers,
# where localedef can make one.
def write(cells):
    env = dict(os.environ, LOCPATH=work, LC_ALL='de_DE.UTF-8')
    if subprocess.run(['localedef', '-i', 'de_DE', '-f', 'UTF-8', os.path.join(work, 'de_DE.UTF-8')]).returncode:
        print('no German locale: the decimal point is not checked')
    return subprocess.run(driver + [path, '1252'], input=cells, capture_output=True, text=True, check=True,
                          env=env).stdout


if what == 'cells':
    # The cells given (text bytes, integer, number as from_chars reads it), then
    # the row openpyxl reads.
    rows = [
        (b'M\xfcller \xe4\xf6 Stra\xdfe \x81', -1, '1.5', ('Müller äö Straße \ufffd', -1, 1.5)),
        (b'say "hi"\0 hidden', 2**40 + 1, 'nan', ('say "hi"', 2**40 + 1, 'NaN')),
        (b'', -2**62, 'inf', (None, -2**62, 'inf')),
        (b'\x01a\tb\nc\rd\x1f', 0, '-inf', ('_x0001_a\tb\nc_x000D_d_x001F_', 0, '-inf')),
        (b' _x0041_ x_y _x12_', 7, '1e300', (' _x005F_x0041_ x_y _x12_', 7, 1e300)),
        (b'a' * 40000, 8, '0.1', ('a' * 32767, 8, 0.1)),
        (b'b' * 32761 + b'_x0041_', 9, '-2.5', ('b' * 32761, 9, -2.5)),
    ]
    notes = write('Name:t Count:i Value:n\n' + ''.join(f't:{t.hex()} i:{i} n:{n}\n' for t, i, n, _ in rows))
    assert notes.split() == ['1', '2'], notes  # undefined bytes, texts cut
    got = list(openpyxl.load_workbook(path).active.iter_rows(values_only=True))
    assert got[0] == ('Name', 'Count', 'Value'), got[0]
    assert len(got) == len(rows) + 1, len(got)
    for (_, _, _, want), row in zip(rows, got[1:]):
        assert row == want, (str(row)[:80], str(want)[:80])
else:
    # Three sheets: two full ones of the names row and 1,048,575 records, and
    # the last two records.
    per_sheet = 1048575
    write('k:i\n' + ''.join(f'i:{k}\n' for k in range(2 * per_sheet + 2)))
    book = openpyxl.load_workbook(path, read_only=True)
    assert book.sheetnames == ['Sheet1', 'Sheet2', 'Sheet3'], book.sheetnames
    for n, sheet in enumerate(book):
        assert sheet.max_row == (per_sheet + 1 if n < 2 else 3), (n, sheet.max_row)
        first = list(sheet.iter_rows(max_row=3, values_only=True))
        assert first == [('k',), (n * per_sheet,), (n * per_sheet + 1,)], (n, first)
print(f'xlsx {what}: as written')
