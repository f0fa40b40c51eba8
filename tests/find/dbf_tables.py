#!/usr/bin/python3
"""dBASE III, Clipper, FoxPro and Visual FoxPro tables written by Debian's
python3-dbf, shapelib's dbfcreate/dbfadd and LibreOffice (where installed),
with umlauts in their code pages, deleted records and empty values: --guess
reads each header with confidence 100 % and the fields' names, and the CSV
converted with its layout holds every value dbfread reads.

    dbf_tables.py ZORBIK_CONVERT... FOLDER   (exit code 77: python3-dbf or python3-dbfread missing)"""
import csv
import datetime
import decimal
import os
import shutil
import struct
import subprocess
import sys

try:
    import dbf
    import dbfread
except ImportError as missing:
    print(f'skipped: {missing}')
    sys.exit(77)

*convert, work = sys.argv[1:]
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
english = dict(os.environ, LC_ALL='C', LANG='C')
D, T = datetime.date, datetime.datetime

# The values of each kind of field, a record a row; None is no value. The
# third record is deleted, the fourth is all empty.
VALUES = {
    'C': ['Müller', 'Weiß', 'Größe Ärger', None],
    'N': [68, -3, 999, None],
    'F': [12.625, -0.5, 99999.5, None],
    'D': [D(1958, 3, 1), D(2000, 2, 29), D(1, 1, 1), None],
    'L': [True, False, True, None],
    'I': [7, -150000, 2147483000, None],
    'Y': [decimal.Decimal('12.3456'), decimal.Decimal('-0.0001'), decimal.Decimal('922337203685.4775'), None],
    'T': [T(2024, 2, 29, 11, 16, 9), T(1999, 12, 31, 23, 59, 59), T(1970, 1, 1), None],
    'B': [2.5, -1e-300, 0.1, None],
    'M': ['Notiz über ä', '', 'x' * 600, None],
}
TABLES = [  # (dbf_type, code page, spec)
    ('db3', 'cp850', 'name C(14); city C(1); age N(3,0); amount N(9,2); born D; ok L; notes M'),
    ('clp', 'cp437', 'name C(14); age N(6,0); born D; ok L'),
    ('fp', 'cp1252', 'name C(14); amount N(9,2); rate F(12,3); born D; ok L; notes M'),
    ('vfp', 'cp1250', 'name C(14) null; qty I; price Y; stamp T; rate B; amount N(9,2); born D; ok L; notes M'),
]


def value_of(spec_field, k):
    kind = spec_field.split()[1][0]
    if kind == 'N':
        return VALUES['N' if ',0)' in spec_field else 'F'][k]
    if kind == 'C' and VALUES['C'][k]:
        return VALUES['C'][k][:int(spec_field.split('(')[1].split(')')[0])]
    return VALUES[kind][k]


def python_dbf_table(kind, codepage, spec):
    path = os.path.join(work, f'{kind}.dbf')
    table = dbf.Table(path, spec, dbf_type=kind, codepage=codepage)
    table.open(dbf.READ_WRITE)
    fields = [f.strip() for f in spec.split(';')]
    for k in range(4):
        table.append({f.split()[0]: value_of(f, k) for f in fields if value_of(f, k) is not None})
    dbf.delete(table[2])
    table.close()
    return path


def shapelib_table():
    # dbfcreate writes language driver 57h (1252); a record's flag is set by hand.
    path = os.path.join(work, 'shapelib.dbf')
    subprocess.run(['dbfcreate', path, '-s', 'NAME', '14', '-n', 'AGE', '3', '0', '-n', 'AMOUNT', '9', '2'], check=True)
    for name, age, amount in [('Müller', '68', '12.64'), ('Weiß', '', ''), ('Größe', '7', '-3.5')]:
        subprocess.run([b'dbfadd', path.encode(), name.encode('cp1252'), age.encode(), amount.encode()], check=True)
    data = bytearray(open(path, 'rb').read())
    data[struct.unpack_from('<H', data, 8)[0]] = ord('*')
    open(path, 'wb').write(data)
    return path


def libreoffice_table():
    # Calc's dBASE export names no code page (00h): written in 1252, which
    # the converter assumes then.
    if not shutil.which('soffice'):
        return None
    source = os.path.join(work, 'calc.csv')
    with open(source, 'w', encoding='utf-8') as f:
        f.write('NAME,C,14;AGE,N,5,1;BORN,D\nMüller;12.5;1958-03-01\nWeiß;;\nGröße;-3;2000-02-29\n')
    subprocess.run(['soffice', '--headless', '--infilter=CSV:59,34,76,1', '--convert-to', 'dbf:dBase:ANSI',
                    '--outdir', work, source], capture_output=True, timeout=300)
    path = os.path.join(work, 'calc.dbf')
    return path if os.path.exists(path) else None


def same(kind, want, cell, raw, vfp):
    if kind in 'CVQ':
        return cell == (want or '')
    if kind in 'NFIY' or (kind == 'B' and vfp):
        return cell == '' if want is None else cell != '' and float(cell) == float(want)
    if kind == 'D':
        return cell == ('' if want is None else want.isoformat())
    if kind == 'T':
        return cell == '' if want is None else T.fromisoformat(cell) == want
    if kind == 'L':
        return cell in {True: 'TtYy', False: 'FfNn', None: ['', '?']}[want]
    # Memo fields: the block number, as ten digits or a 4-byte integer.
    block = struct.unpack('<I', raw)[0] if len(raw) == 4 else int(raw.strip(b' \0') or 0)
    return int(cell.strip() or 0) == block


tables = [python_dbf_table(*t) for t in TABLES] + [shapelib_table()]
calc = libreoffice_table()
if calc:
    tables.append(calc)
else:
    print('LibreOffice writes no dBASE here: its table is left out')

failures = 0
for path in tables:
    name = os.path.basename(path)
    data = open(path, 'rb').read()
    guess = subprocess.run([*convert, '--guess', path], capture_output=True, env=english)
    text = guess.stdout.decode()
    if guess.returncode != 0 or '# confidence: 100 %' not in text:
        failures += 1
        print(f'{name}: --guess gave {guess.returncode}\n{text}{guess.stderr.decode()}')
        continue
    layout, target = path + '.zlayout', path + '.csv'
    open(layout, 'w').write(text)
    subprocess.run([*convert, '--force', '--layout', layout, path, target], check=True, env=english)
    with open(target, newline='', encoding='utf-8') as f:
        names, *rows = list(csv.reader(f))
    encoding = None if data[29] else 'cp1252'
    table = dbfread.DBF(path, encoding=encoding, load=True, ignore_missing_memofile=True)
    raw = dbfread.DBF(path, encoding=encoding, load=True, raw=True, ignore_missing_memofile=True)
    fields = [f for f in table.fields if f.type != '0']
    if names != ['deleted'] + [f.name for f in fields]:
        failures += 1
        print(f'{name}: names {names}, dbfread {[f.name for f in fields]}')
    kept, deleted = iter(zip(table.records, raw.records)), iter(zip(table.deleted, raw.deleted))
    if len(rows) != len(table.records) + len(table.deleted):
        failures += 1
        print(f'{name}: {len(rows)} rows, dbfread {len(table.records)} + {len(table.deleted)} deleted')
        continue
    for r, row in enumerate(rows):
        record, raw_record = next(deleted if row[0] == '*' else kept)
        for field, cell in zip(fields, row[1:]):
            want = record[field.name]
            if not same(field.type, want, cell, raw_record[field.name], data[0] in (0x30, 0x31, 0x32)):
                failures += 1
                print(f'{name} row {r} {field.name} ({field.type}): dbfread {want!r}, CSV {cell!r}')
    print(f'{name}: {len(rows)} records of {len(fields)} fields as dbfread reads them')
sys.exit(1 if failures else 0)
