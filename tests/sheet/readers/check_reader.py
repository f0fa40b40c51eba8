"""Checks what one reader read from the corpus against the cells the source
bytes call for (expected.json, written by corpus.py).

    check_reader.py READER CORPUSDIR READ.json -- ADAPTER...

runs the reader's adapter (read_*.py, read_sheetjs.js), which writes
READ.json, then compares. READER is xlrd, libreoffice or sheetjs. Every reader must open every file
given to it and read every cell: the same number, bit for bit, or the same
text. Where a reader cannot hold a value the way the file has it, the rule
below says which reader, what it does and why; the check then expects
exactly that, and the summary counts how often each rule was needed."""

import collections
import decimal
import json
import math
import os
import struct
import subprocess
import sys

# Bytes that code page 1252 leaves undefined. Windows turns them into the
# control characters U+0081 etc.
UNDEFINED_1252 = {0x81, 0x8D, 0x8F, 0x90, 0x9D}


def text_as(reader, data, used):
    """The text a reader shows for the LABEL bytes `data`."""
    if reader == "libreoffice" and b"\0" in data:
        used["libreoffice ends a text at its first zero byte"] += 1
        data = data.split(b"\0", 1)[0]
    chars = []
    for b in data:
        if b in UNDEFINED_1252:
            if reader == "sheetjs":
                used["sheetjs shows the five bytes 1252 leaves undefined as U+FFFD"] += 1
                chars.append("\ufffd")
            elif reader == "libreoffice":
                used["libreoffice maps the five bytes 1252 leaves undefined to U+F100 + byte"] += 1
                chars.append(chr(0xF100 + b))
            else:
                used["xlrd needs a codec that maps the five bytes 1252 leaves undefined as Windows does"] += 1
                chars.append(chr(b))
        else:
            chars.append(bytes([b]).decode("cp1252"))
    text = "".join(chars)
    if reader == "libreoffice" and "\r" in text:
        used["libreoffice turns a carriage return inside a text into a line feed"] += 1
        text = text.replace("\r", "\n")
    return text


def number_matches(reader, value, got, used):
    """Whether the number a reader read (double bits as hex, or LibreOffice's
    CSV token) is `value`."""
    if reader != "libreoffice":
        read = struct.unpack("<d", bytes.fromhex(got))[0]
        if math.isnan(value):
            # The bits of a NaN (sign, quiet bit, payload) mean nothing to a
            # spreadsheet, and JavaScript does not promise to keep them.
            used[f"{reader} reads a NaN as NaN; its sign and payload are not compared"] += 1
            return math.isnan(read)
        return struct.pack("<d", read) == struct.pack("<d", value)
    if math.isnan(value):
        used["libreoffice writes every NaN as the text NaN in CSV"] += 1
        return got == "NaN"
    if math.isinf(value):
        return got == ("INF" if value > 0 else "-INF")
    try:
        read = float(got)
    except ValueError:
        return False
    if value == 0 and math.copysign(1, value) < 0:
        used["libreoffice writes -0 as 0 in CSV"] += 1
        return got == "0"
    if read == value:
        return True
    # LibreOffice writes a stored number with at most 15 significant digits
    # (unless 15 would not give back a finite number), rounding either the
    # exact value or its shortest decimal form, half away from zero.
    with decimal.localcontext() as context:
        context.prec, context.rounding = 15, decimal.ROUND_HALF_UP
        shortest = float(+decimal.Decimal(repr(value)))
    if read in (float("%.15g" % value), shortest):
        used["libreoffice writes numbers with 15 significant digits in CSV"] += 1
        return True
    return False


def check_file(reader, name, expected, got, used, failures):
    before = len(failures)
    if "error" in got:
        failures.append(f"{name}: {reader} could not read it: {got['error']}")
        return
    if (got["rows"], got["cols"]) != (expected["rows"], expected["cols"]):
        failures.append(f"{name}: {got['rows']} rows x {got['cols']} columns, want {expected['rows']} x {expected['cols']}")
    for r, row in enumerate(expected["cells"]):
        got_row = got["cells"][r] if r < len(got["cells"]) else []
        for c, (kind, value) in enumerate(row):
            got_kind, got_value = got_row[c] if c < len(got_row) else ("e", "")
            where = f"{name} row {r} column {c}"
            if kind == "s":
                want = text_as(reader, bytes.fromhex(value), used)
                if reader == "libreoffice" and want == "" and got_kind == "e":
                    used["libreoffice's CSV shows an empty text as an empty field"] += 1
                    continue
                if (got_kind, got_value) != ("s", want):
                    failures.append(f"{where}: {got_kind} {got_value!r}, want text {want!r}")
            else:
                number = struct.unpack("<d", bytes.fromhex(value))[0]
                if got_kind != "n" or not number_matches(reader, number, got_value, used):
                    failures.append(f"{where}: {got_kind} {got_value!r}, want number {number!r}")
            if len(failures) - before > 20:
                failures.append(f"{name}: more cells differ")
                return


def main():
    reader, corpus, read_path = sys.argv[1], sys.argv[2], sys.argv[3]
    adapter = sys.argv[sys.argv.index("--") + 1:]
    if os.path.exists(read_path):
        os.remove(read_path)
    run = subprocess.run(adapter)
    if run.returncode != 0:
        print(f"FAIL: the {reader} adapter exited with {run.returncode}")
        return 1
    with open(os.path.join(corpus, "expected.json")) as f:
        expected = json.load(f)
    with open(read_path) as f:
        read = json.load(f)
    used = collections.Counter()
    failures = []
    passed, failed = 0, 0
    for name, want in expected.items():
        if reader == "xlrd" and not want["xlrd"]:
            print(f"{name}: not given to xlrd: {want['rows']} rows x {want['cols']} columns is past its BIFF2 limits")
            continue
        before = len(failures)
        if name in read:
            check_file(reader, name, want, read[name], used, failures)
        else:
            failures.append(f"{name}: {reader} gave nothing for it")
        ok = len(failures) == before
        passed, failed = passed + ok, failed + (not ok)
        print(f"{name}: {want['rows']} rows x {want['cols']} columns {'ok' if ok else 'DIFFER'}")
    for name in sorted(set(read) - set(expected)):
        failures.append(f"{name}: {read[name].get('error', 'unexpected')}")
        failed += 1
    for rule, count in sorted(used.items()):
        print(f"known difference, {count} cells: {rule}")
    for failure in failures:
        print("FAIL:", failure)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
