#!/usr/bin/python3
"""A dBASE table written by shapelib's dbfcreate and dbfadd converts with
the layout read from its own header, every cell as dbfdump prints it; the
preview shows the cells the worksheet holds; the texts of a code page 850
target read back as their characters.

    dbf_table.py ZORBIK_CONVERT... FOLDER   (an emulator may come before the program)"""
import os
import struct
import subprocess
import sys

import xlrd

*convert, work = sys.argv[1:]
os.makedirs(work, exist_ok=True)
table = os.path.join(work, 'people.dbf')
if os.path.exists(table):
    os.unlink(table)
rows = [('Mueller', 'Koeln', '68', '12.64'), ('Smith', 'Leeds', '7', '-3.5'), ('X', '', '123', '0'),
        ('Weiss', 'Bremen', '5', '1000.25'), ('Lee', 'Hull', '42', '0.1')]
subprocess.run(['dbfcreate', table, '-s', 'NAME', '20', '-s', 'CITY', '15', '-n', 'AGE', '3', '0',
                '-n', 'AMOUNT', '7', '2'], check=True)
for row in rows:
    subprocess.run(['dbfadd', table] + list(row), check=True)

# The layout from the header: counts and lengths at 4, 8 and 10, then one
# 32-byte descriptor per field up to the 0Dh that ends them.
data = open(table, 'rb').read()
count, header, length = struct.unpack_from('<IHH', data, 4)
marks, at, types = [f'{header} LineBegin'], header + 1, []
for offset in range(32, header - 1, 32):
    kind, width = chr(data[offset + 11]), data[offset + 16]
    types.append(kind)
    word = 'Text' if kind == 'C' else 'DecimalNumber'
    if at + width - 1 == header + length - 1:  # the record's last field: a trailing column
        marks += [f'{at} Unmarked {word}', f'{at + width - 1} LineEnd {word}']
    else:
        marks += [f'{at} ColumnBegin {word}', f'{at + width - 1} ColumnEnd']
    at += width
layout = os.path.join(work, 'people.zlayout')
with open(layout, 'w') as f:
    f.write('trim\n' + '\n'.join(marks) + '\n')
target = os.path.join(work, 'people.xls')
subprocess.run([*convert, '--force', '--layout', layout, table, target], check=True)

# dbfdump -m prints "NAME: value" lines, a record after each "Record: k".
records = []
for line in subprocess.run(['dbfdump', '-m', table], capture_output=True, text=True, check=True).stdout.splitlines():
    if line.startswith('Record:'):
        records.append([])
    elif ':' in line and records:
        records[-1].append(line.split(':', 1)[1][1:])
sheet = xlrd.open_workbook(target).sheet_by_index(0)
failures = 0
assert sheet.nrows == count == len(records), (sheet.nrows, count, len(records))
for r, values in enumerate(records):
    for c, (kind, value) in enumerate(zip(types, values)):
        cell = sheet.cell_value(r, c)
        # Text cells are trimmed; dbfdump shows a field of blanks as (NULL),
        # which is an empty text or the number 0.
        value = '' if value.strip() == '(NULL)' else value
        want = value.rstrip() if kind == 'C' else float(value.strip() or 0)
        if cell != want:
            failures += 1
            print(f'row {r} column {c}: dbfdump {want!r}, worksheet {cell!r}')

# The preview prints what xlrd reads: texts, and numbers as the shortest
# text that reads back to the same double.
preview = subprocess.run([*convert, '--layout', layout, '--preview', '20', table], capture_output=True, text=True,
                         check=True).stdout.splitlines()[1:]
for r, line in enumerate(preview):
    want = [v if isinstance(v, str) else repr(int(v)) if v == int(v) else repr(v) for v in sheet.row_values(r)]
    if line.split('\t') != want:
        failures += 1
        print(f'preview row {r}: {line!r}, worksheet {want!r}')

# Code page 850: the bytes of ü, ä, ö and ß read back as those characters.
source = os.path.join(work, 'umlauts.bin')
open(source, 'wb').write(b'\x81\x84\x94\xe1')
with open(os.path.join(work, 'umlauts.zlayout'), 'w') as f:
    f.write('0 LineBegin Text\n3 LineEnd\n')
umlauts = os.path.join(work, 'umlauts.xls')
subprocess.run([*convert, '--force', '--codepage', '850', '--layout', os.path.join(work, 'umlauts.zlayout'),
                source, umlauts], check=True)
text = xlrd.open_workbook(umlauts).sheet_by_index(0).cell_value(0, 0)
if text != 'üäöß':
    failures += 1
    print(f'code page 850: {text!r}')
print(f'{count * len(types) + len(preview) + 1 - failures} passed, {failures} failed')
sys.exit(1 if failures else 0)
