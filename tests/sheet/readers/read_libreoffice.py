"""Reads the worksheets of the corpus with LibreOffice Calc, headless: one
soffice run turns every file into CSV, which is parsed here.

    read_libreoffice.py CORPUSDIR WORKDIR OUT.json

The CSV filter is told to quote every text cell and to write numbers as
they are stored, not as shown, so that a text "12" and a number 12 stay
apart. Numbers stay text here ("n" with the CSV token); the checker knows
how LibreOffice writes them. A private profile in WORKDIR keeps parallel
runs from meeting in the user's one."""

import glob
import json
import os
import shutil
import subprocess
import sys

# Field separator ",", text delimiter '"', UTF-8, start at line 1, no column
# formats, language default, quote all text cells, number detection on,
# save cell contents as shown: no, export formulas: no, remove spaces: no.
CSV_FILTER = 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,false,false,false'


def soffice():
    for name in ("soffice", "libreoffice"):
        found = shutil.which(name)
        if found:
            return found
    raise SystemExit("FAIL: LibreOffice (soffice) is not installed")


def parse_csv(text):
    """Rows of fields, each ("s", text) when quoted, ("n", token) when not,
    ("e", "") when empty."""
    rows, row, i, n = [], [], 0, len(text)
    while i < n:
        if text[i] == '"':
            i += 1
            value = []
            while True:
                j = text.index('"', i)
                value.append(text[i:j])
                if j + 1 < n and text[j + 1] == '"':
                    value.append('"')
                    i = j + 2
                else:
                    i = j + 1
                    break
            row.append(["s", "".join(value)])
        else:
            j = i
            while j < n and text[j] not in ",\n":
                j += 1
            token = text[i:j]
            row.append(["n", token] if token else ["e", ""])
            i = j
        if i < n and text[i] == ",":
            i += 1
            if i == n or text[i] == "\n":
                row.append(["e", ""])
        if i < n and text[i] == "\n":
            rows.append(row)
            row = []
            i += 1
    if row:
        rows.append(row)
    return rows


def main():
    corpus, work, out = sys.argv[1], sys.argv[2], sys.argv[3]
    with open(os.path.join(corpus, "expected.json")) as f:
        names = list(json.load(f))
    shutil.rmtree(work, ignore_errors=True)
    csv_dir = os.path.join(work, "csv")
    os.makedirs(csv_dir)
    profile = "file://" + os.path.abspath(os.path.join(work, "profile"))
    command = [soffice(), "-env:UserInstallation=" + profile, "--headless", "--norestore", "--convert-to",
               CSV_FILTER, "--outdir", csv_dir] + [os.path.join(corpus, name + ".xls") for name in names]
    # A first start builds the profile; a hung office must not hang the tests.
    run = subprocess.run(command, capture_output=True, text=True, timeout=600)
    if run.returncode != 0:
        raise SystemExit(f"FAIL: soffice exit {run.returncode}: {run.stderr}")
    result = {}
    for name in names:
        path = os.path.join(csv_dir, name + ".csv")
        if not os.path.exists(path):
            result[name] = {"error": "LibreOffice wrote no CSV: " + run.stdout[-500:] + run.stderr[-500:]}
            continue
        with open(path, encoding="utf-8", newline="") as f:
            rows = parse_csv(f.read())
        result[name] = {"rows": len(rows), "cols": max((len(r) for r in rows), default=0), "cells": rows}
    leftovers = sorted(set(glob.glob(os.path.join(csv_dir, "*"))) - {os.path.join(csv_dir, n + ".csv") for n in names})
    if leftovers:
        result["(unexpected files)"] = {"error": ", ".join(leftovers)}
    with open(out, "w") as f:
        json.dump(result, f)


if __name__ == "__main__":
    main()
