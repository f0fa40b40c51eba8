#!/usr/bin/python3
# Every code page zorbik-convert offers, against Python's codec of the same
# name: two records of every byte and of a text are converted to CSV, which
# Python's csv reads, and for the pages a worksheet cannot declare (EBCDIC,
# UTF-8) to .xls, which xlrd reads in 1252; each text and the note of the
# characters lost must be what the codec makes of the bytes.
#
#     code_pages.py ZORBIK_CONVERT... WORKDIR
#
# (an emulator may come before the program). Exits with 77 (skipped) when
# xlrd is missing.

import csv, importlib.util, os, shutil, subprocess, sys

WIDTH = 600  # longer than a worksheet's text of 255 bytes
TO_1252 = {"037", "273", "500", "1140", "65001"}
SAMPLE = "Müller € Straße ½ Ω ‾ 😀 "


def run(convert, *args):
    done = subprocess.run([*convert, "--lang", "en", "--force", *args], capture_output=True, text=True, timeout=60)
    if done.returncode != 0:
        sys.exit(f"{args}: exit code {done.returncode}: {done.stderr.strip()}")
    return done.stderr


# The note of characters lost, as the command prints it.
def note(lost, page):
    return f"zorbik-convert: {lost} bytes had no character in code page {page}\n" if lost else ""


def main():
    *convert, work = sys.argv[1:]
    if not importlib.util.find_spec("xlrd"):
        print("xlrd is not installed (Debian's python3-xlrd)")
        return 77
    import xlrd
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    refused = subprocess.run([*convert, "--lang", "en", "--layout", "x", "--codepage", "0", "a", "b"],
                             capture_output=True, text=True).stderr
    pages = refused.split("\n")[0].split("one of ")[1].split()
    layout = os.path.join(work, "layout")
    failures = []
    for page in pages:
        codec = "utf-8" if page == "65001" else "cp" + page
        sample = SAMPLE.encode(codec, errors="replace") * 40
        records = [(bytes(range(1, 256)) + sample)[:WIDTH], sample[:WIDTH]]  # a UTF-8 character cut at the end
        texts = [record.decode(codec, errors="replace") for record in records]
        source, base = os.path.join(work, page + ".dat"), os.path.join(work, page)
        open(source, "wb").write(b"".join(records))
        open(layout, "w").write(f"codepage {page}\n0 LineBegin Text\n{WIDTH - 1} LineEnd\n")
        said = run(convert, "--layout", layout, "--codepage", page, "--no-names", source, base + ".csv")
        read = [row[0] for row in csv.reader(open(base + ".csv", encoding="utf-8", newline=""))]
        if read != texts or said != note(sum(text.count("\ufffd") for text in texts), page):
            failures.append(f"{page}: CSV read {read!r:.200}, said {said!r}")
        if page not in TO_1252:
            continue  # the worksheet keeps the bytes (tests/sheet/readers)
        said = run(convert, "--layout", layout, source, base + ".xls")
        sheet = xlrd.open_workbook(base + ".xls").sheet_by_index(0)
        read = [sheet.cell_value(r, 0) for r in range(sheet.nrows)]
        kept = [text[:255].encode("cp1252", errors="replace").decode("cp1252") for text in texts]
        lost = sum(c == "\ufffd" or c != "?" and c.encode("cp1252", errors="replace") == b"?"
                   for text in texts for c in text[:255])
        if read != kept or said != note(lost, 1252):
            failures.append(f"{page}: .xls read {read!r:.200}, said {said!r}")
    print("\n".join(failures) or f"{len(pages)} code pages read back")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
