#!/usr/bin/python3
"""dBASE III, Clipper, FoxPro and Visual FoxPro tables written by Debian's
python3-dbf, shapelib's dbfcreate/dbfadd and LibreOffice (where it writes
dBASE), with umlauts in their code pages, deleted records and empty values:
--guess reads each header with confidence 100 % and the fields' names, and
the CSV converted with its layout holds every value dbfread reads.

    dbf_tables.py ZORBIK_CONVERT... FOLDER   (exit code 77: python3-dbf or python3-dbfread missing)"""
import csv, datetime, decimal, os, shutil, struct, subprocess, sys  # noqa: E401

try:
    import dbf
    import dbfread
except ImportError as missing:
    print(f'skipped: {missing}')
    sys.exit(77)

*convert, work = sys.argv[1:]
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
D, T, Y = datetime.date, datetime.datetime, decimal.Decimal
# Each field's values, a record a row; None is no value. The third record
# is deleted, the fourth empty.
VALUES = {
    'name': ['Müller', 'Weiß', 'Größe Ärger', None], 'city': ['M', 'W', 'Ä', None], 'age': [68, -3, 999, None],
    'amount': [12.625, -0.5, 99999.5, None], 'rate': [1.5, -1e-3, 1e7, None],
    'born': [D(1958, 3, 1), D(2000, 2, 29), D(1, 1, 1), None], 'ok': [True, False, True, None],
    'qty': [7, -150000, 2147483000, None], 'price': [Y('12.3456'), Y('-0.0001'), Y('922337203685.4775'), None],
    'stamp': [T(2024, 2, 29, 11, 16, 9), T(1999, 12, 31, 23, 59, 59), T(1970, 1, 1), None],
    'real': [2.5, -1e-300, 0.1, None], 'notes': ['Notiz über ä', '', 'x' * 600, None],
}
TABLES = [('db3', 'cp850', 'name C(14); city C(1); age N(3,0); amount N(9,2); born D; ok L; notes M'),
          ('clp', 'cp437', 'name C(14); age N(6,0); born D; ok L'),
          ('fp', 'cp1252', 'name C(14); amount N(9,2); rate F(12,3); born D; ok L; notes M'),
          ('vfp', 'cp1250', 'name C(14) null; qty I; price Y; stamp T; real B; amount N(9,2); born D; notes M')]


def python_dbf(kind, codepage, fields):
    table = dbf.Table(os.path.join(work, f'{kind}.dbf'), fields, dbf_type=kind, codepage=codepage)
    table.open(dbf.READ_WRITE)
    for k in range(4):
        table.append({f: VALUES[f][k] for f in table.field_names if VALUES[f][k] is not None})
    dbf.delete(table[2])
    table.close()
    return table.filename


def shapelib():
    # dbfcreate names 1252 (57h) and writes a missing number as asterisks;
    # the first record is marked deleted by hand.
    path = os.path.join(work, 'shapelib.dbf')
    subprocess.run(['dbfcreate', path, '-s', 'NAME', '14', '-n', 'AGE', '3', '0', '-n', 'AMOUNT', '9', '2'], check=True)
    for row in [('Müller', '68', '12.64'), ('Weiß', '', ''), ('Größe', '7', '-3.5')]:
        subprocess.run([b'dbfadd', path.encode()] + [v.encode('cp1252') for v in row], check=True)
    data = bytearray(open(path, 'rb').read())
    data[struct.unpack_from('<H', data, 8)[0]] = ord('*')
    open(path, 'wb').write(data)
    return path


def calc():
    # Calc's dBASE names no code page (00h): written in 1252, the default.
    source = os.path.join(work, 'calc.csv')
    open(source, 'w').write('NAME,C,14;AGE,N,5,1;BORN,D\nMüller;12.5;1958-03-01\nWeiß;;\nGröße;-3;2000-02-29\n')
    if shutil.which('soffice'):
        subprocess.run(['soffice', '--headless', '--infilter=CSV:59,34,76,1', '--convert-to', 'dbf:dBase:ANSI',
                        '--outdir', work, source], capture_output=True, timeout=300)
    return [source[:-3] + 'dbf'] if os.path.exists(source[:-3] + 'dbf') else []


def same(kind, want, cell, raw, vfp):
    if kind in 'NFIY' or (kind == 'B' and vfp):
        return cell == '' if want is None else cell != '' and float(cell) == float(want)
    if kind in 'DT':
        return cell == '' if want is None else type(want).fromisoformat(cell) == want
    if kind == 'L':
        return cell in {True: 'TtYy', False: 'FfNn', None: ['', '?']}[want]
    if kind in 'MGPB':  # the memo's block number, as ten digits or a 4-byte integer
        return int(cell.strip() or 0) == (struct.unpack('<I', raw)[0] if len(raw) == 4 else int(raw.strip() or 0))
    return cell == (want or '')


failed = []
tables = [python_dbf(*t) for t in TABLES] + [shapelib()] + calc()
print(f'{len(tables)} tables' + ('' if len(tables) == 6 else ': LibreOffice writes no dBASE here'))
for path in tables:
    data = open(path, 'rb').read()
    guess = subprocess.run([*convert, '--guess', '--lang', 'en', path], capture_output=True, text=True)
    if guess.returncode != 0 or '# confidence: 100 %' not in guess.stdout:
        failed.append(f'{path}: --guess gave {guess.returncode}\n{guess.stdout}{guess.stderr}')
        continue
    open(path + '.zlayout', 'w').write(guess.stdout)
    subprocess.run([*convert, '--force', '--layout', path + '.zlayout', path, path + '.csv'], check=True)
    names, *rows = list(csv.reader(open(path + '.csv', newline='', encoding='utf-8')))
    encoding = None if data[29] else 'cp1252'
    table, raw = (dbfread.DBF(path, encoding=encoding, load=True, raw=r, ignore_missing_memofile=True) for r in (0, 1))
    fields = [f for f in table.fields if f.type != '0']
    kept, deleted = zip(table.records, raw.records), zip(table.deleted, raw.deleted)
    if names != ['deleted'] + [f.name for f in fields] or len(rows) != len(table.records) + len(table.deleted):
        failed.append(f'{path}: {len(rows)} rows named {names}, dbfread {len(table.records)}+{len(table.deleted)}')
        continue
    for r, row in enumerate(rows):
        record, raw_record = next(deleted if row[0] == '*' else kept)
        for f, cell in zip(fields, row[1:]):
            if not same(f.type, record[f.name], cell, raw_record[f.name], data[0] in (0x30, 0x31, 0x32)):
                failed.append(f'{path} row {r} {f.name} ({f.type}): dbfread {record[f.name]!r}, CSV {cell!r}')
print('\n'.join(failed))
sys.exit(1 if failed else 0)
