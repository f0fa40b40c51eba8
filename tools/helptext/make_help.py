#!/usr/bin/python3
"""Builds the two help texts of ZORBIK from their UTF-8 masters.

    /usr/bin/python3 tools/helptext/make_help.py [de] [en]

A master is plain UTF-8 text with LF line ends. A line "@picture NNN" stands
for the run of empty lines on which the help window draws bitmap NNN; the
script expands it, checks every rule the help window relies on and writes
resources/help/help_de.txt and help_en.txt in Windows-1252 with CR LF line
ends: 457 lines, the last one empty, no tabs, no zero byte, no ampersand,
no line longer than 109 characters.
"""
import os
import sys

# Bitmap id -> (first, last) 0-based text line of its empty run.
PICTURE_RUNS = {
    105: (23, 29), 115: (65, 75), 101: (82, 87), 100: (105, 112), 119: (133, 142),
    118: (191, 203), 120: (227, 236), 116: (310, 327), 121: (391, 394), 122: (425, 431),
}
LINE_COUNT = 457
MAX_LINE = 109

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def expand(master_path):
    lines = []
    errors = []
    with open(master_path, encoding="utf-8") as master:
        for number, raw in enumerate(master.read().split("\n"), 1):
            if raw.startswith("@picture "):
                bitmap = int(raw.split()[1])
                first, last = PICTURE_RUNS[bitmap]
                if len(lines) != first:
                    errors.append(f"{master_path}:{number}: picture {bitmap} lands on line {len(lines)}, "
                                  f"must be {first} ({first - len(lines):+d} lines before it)")
                lines.extend([""] * (last - first + 1))
            else:
                lines.append(raw.rstrip())
    while lines and lines[-1] == "":
        lines.pop()
    return lines, errors


def check(lines, name):
    errors = []
    if len(lines) != LINE_COUNT - 1:
        errors.append(f"{name}: {len(lines)} text lines, must be {LINE_COUNT - 1} "
                      f"({LINE_COUNT - 1 - len(lines):+d})")
    for index, line in enumerate(lines):
        if len(line) > MAX_LINE:
            errors.append(f"{name}: line {index} has {len(line)} characters")
        for bad, what in (("\t", "a tab"), ("\0", "a zero byte"), ("&", "an ampersand")):
            if bad in line:
                errors.append(f"{name}: line {index} holds {what}")
    padded = lines + [""] * max(0, LINE_COUNT - len(lines))
    runs = set()
    for bitmap, (first, last) in PICTURE_RUNS.items():
        runs.update(range(first, last + 1))
        for index in range(first, last + 1):
            if padded[index] != "":
                errors.append(f"{name}: line {index} must be empty for picture {bitmap}")
        for index in (first - 1, last + 1):
            if padded[index] == "":
                errors.append(f"{name}: line {index} next to picture {bitmap} must not be empty")
    for index in range(1, len(lines)):
        if lines[index] == "" and lines[index - 1] == "" and index not in runs:
            errors.append(f"{name}: lines {index - 1} and {index} are both empty")
    return errors


def main():
    failed = False
    for language in sys.argv[1:] or ("de", "en"):
        lines, errors = expand(os.path.join(HERE, f"help_{language}.utf8.txt"))
        if not errors:
            errors = check(lines, f"help_{language}")
        try:
            data = "".join(line + "\r\n" for line in lines).encode("cp1252")
        except UnicodeEncodeError as error:
            errors.append(f"help_{language}: not Windows-1252: {error}")
        if errors:
            failed = True
            print("\n".join(errors), file=sys.stderr)
            continue
        target = os.path.join(ROOT, "resources", "help", f"help_{language}.txt")
        with open(target, "wb") as out:
            out.write(data)
        print(f"{target}: {len(lines) + 1} lines, {len(data)} bytes")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
