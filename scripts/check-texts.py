#!/usr/bin/env python3
"""Every word a user reads comes from the catalogue (src/messages/Catalogue.cpp).

Scans the C++ sources of src/ and cli/ for string literals that read like
words for people: two words of letters side by side, or letters beyond
ASCII. Literals of the layout file's format and the program's own names are
listed below. Prints each offending literal with its place; exit code 1 when
there is one.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CATALOGUE = ROOT / 'src/messages/Catalogue.cpp'
# Literals that are no words for people: the layout file's own syntax and
# the names of things, the same in every language.
# The words of file formats and of SQL, which no user reads as a message.
ALLOWED = {
    'CREATE TABLE ',
    'INSERT INTO ',
    'PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE',
    '# ZORBIK layout: ROW MARKER [TYPE]\\n',
    'LineBegin, ColumnBegin, ByteMark, ColumnEnd, LineEnd, Unmarked',
    # The layout file's own words, which messages quote as they are.
    'Text, BinInteger, BinReal, DecimalNumber, Bcd, Integer, Packed, Zoned, Extended, Real48, Date, PascalText',
    'big, unsigned, scale=N',
    'scale=N, sign=trailing|leading|separate-trailing|separate-leading, ebcdic',
    'big, ibm',
    'scale=N, blank-empty',
    'format=YYYYMMDD|YYMMDD|DDMMYYYY|MMDDYYYY|YYYYDDD, days1899, julian',
    # A spreadsheet's number format.
    'yyyy-mm-dd hh:mm:ss',
    '        ZORBIK',
}
LITERAL = re.compile(r'(?<![\w\'])(?:u8|u|U|L)?"((?:\\.|[^"\\])*)"')
WORDS = re.compile(r'[A-Za-z]{2,}[,;:!?.)]?\s+\(?[A-Za-z]{2,}')


def strip_comments(text):
    # Keeps string literals intact; blanks out // and /* */ comments.
    out, i, n = [], 0, len(text)
    while i < n:
        if text.startswith('//', i):
            j = text.find('\n', i)
            i = n if j < 0 else j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            i = n if j < 0 else j + 2
        elif text[i] in '"\'':  # a string or character literal, kept whole
            j = i + 1
            while j < n and text[j] != text[i]:
                j += 2 if text[j] == '\\' else 1
            out.append(text[i:j + 1])
            i = j + 1
        else:
            out.append(text[i])
            i += 1
    return ''.join(out)


def offending(path):
    text = strip_comments(path.read_text(encoding='utf-8'))
    for number, line in enumerate(text.split('\n'), 1):
        if line.lstrip().startswith('#include'):
            continue
        for match in LITERAL.finditer(line):
            literal = match.group(1)
            if literal in ALLOWED:
                continue
            if WORDS.search(literal) or any(ord(c) > 127 for c in literal):
                yield number, literal


def main():
    found = 0
    for path in sorted(list((ROOT / 'src').rglob('*.[ch]pp')) + list((ROOT / 'src').rglob('*.h')) +
                       list((ROOT / 'cli').rglob('*.[ch]pp')) + list((ROOT / 'cli').rglob('*.h'))):
        if path == CATALOGUE:
            continue
        for number, literal in offending(path):
            print(f'{path.relative_to(ROOT)}:{number}: "{literal}" is not in the catalogue')
            found += 1
    print(f'{found} texts outside the catalogue')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
