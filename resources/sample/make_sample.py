#!/usr/bin/env python3
"""Writes customers.dat, a small table as an old DOS database program kept it,
and customers.zlayout, the marks that convert it.

customers.dat: a 64-byte header (a title, the record count and length as
little-endian numbers, blanks), then 40 records of 52 bytes, each:
  1 byte   deletion flag (a blank, or '*' for a deleted record)
  20 bytes name, code page 850, padded with blanks
  12 bytes city, padded with blanks
  8 bytes  balance, a number written as text, right-aligned with blanks
  2 bytes  orders, a little-endian binary integer
  8 bytes  date of the first order, digits YYYYMMDD
  1 byte   a line feed that ends the record

    python3 resources/sample/make_sample.py
"""
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER, LENGTH, COUNT = 64, 52, 40

names = ['Müller, Jürgen', 'Schäfer, Anna', 'Groß, Peter', 'Weiß, Käthe', 'Böhm, Lutz', 'Köhler, Maria',
         'Dupont, Léa', 'García, José', 'Nørgaard, Søren', 'Smith, John']
cities = ['München', 'Köln', 'Düsseldorf', 'Lübeck', 'Zürich', 'Göttingen', 'Paris', 'Sevilla', 'Århus', 'Leeds']


def field(text, width):
    data = text.encode('cp850')[:width]
    return data + b' ' * (width - len(data))


def main():
    rnd = random.Random(1987)
    header = field('KUNDEN.DAT  ZORBIK sample', 40) + struct.pack('<HH', COUNT, LENGTH)
    header += b' ' * (HEADER - len(header))
    records = []
    for i in range(COUNT):
        balance = '%.2f' % (rnd.randint(-50000, 990000) / 100)
        date = '19%02d%02d%02d' % (rnd.randint(80, 99), rnd.randint(1, 12), rnd.randint(1, 28))
        record = (b'*' if i % 13 == 12 else b' ') + field(names[i % len(names)], 20) + \
            field(cities[rnd.randrange(len(cities))], 12) + balance.rjust(8).encode() + \
            struct.pack('<H', rnd.randint(0, 400)) + date.encode() + b'\n'
        assert len(record) == LENGTH
        records.append(record)
    with open(os.path.join(HERE, 'customers.dat'), 'wb') as out:
        out.write(header + b''.join(records))

    begin = HEADER
    marks = ['# customers.dat: a 64-byte header, then records of 52 bytes',
             'codepage 850', 'trim',
             '%d LineBegin' % begin]
    at = begin + 1
    for width, kind in ((20, 'Text'), (12, 'Text'), (8, 'DecimalNumber'), (2, 'BinInteger'), (8, 'DecimalNumber')):
        marks.append('%d ColumnBegin %s' % (at, kind))
        marks.append('%d ColumnEnd' % (at + width - 1))
        at += width
    marks.append('%d LineEnd' % (begin + LENGTH - 1))
    with open(os.path.join(HERE, 'customers.zlayout'), 'w') as out:
        out.write('\n'.join(marks) + '\n')


if __name__ == '__main__':
    main()
