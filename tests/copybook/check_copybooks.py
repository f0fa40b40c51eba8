#!/usr/bin/python3
# Records written by GnuCOBOL programs through the copybooks of cobol/: for
# each copybook a program is made here that COPYs it as its file's record,
# writes records with a value in every named field and DISPLAYs each value.
# zorbik-convert --copybook must give a CSV whose first line is the COBOL
# names and whose cells are the values displayed; the layout --emit-layout
# prints must convert to the same bytes.
#
#     check_copybooks.py ZORBIK_CONVERT... WORKDIR
#
# Exits with 77 (skipped) when cobc is missing.

import csv, decimal, os, shutil, subprocess, sys

HERE, RECORDS = os.path.dirname(os.path.abspath(__file__)), 40
# COMP and BINARY as on the mainframe: big-endian, 2, 4 or 8 bytes by digits.
COBOL_FLAGS = ["-std=default", "-fbinary-size=2-4-8", "-fbinary-byteorder=big-endian"]

# Per copybook, its record's name and length and its fields in order as the CSV names them: the
# COBOL reference where it differs ("O-QTY(1, 2)") and how the program fills
# it: t text, n number, e edited number (its text), f floating point, or a
# constant (an OCCURS DEPENDING ON counter at its maximum).
COPYBOOKS = {
    "customer": ("CUSTOMER-RECORD", 114, "CUST-ID:n CUST-NAME:t CUST-INITIAL:t CUST-BALANCE:n CUST-CREDIT:n CUST-DEBIT:n CUST-OVERDRAWN:n "
                "CUST-SHOWN:e CUST-RATE:n CUST-CITY:t CUST-VISITS:n CUST-STATUS:t CUST-REMARK:t"),
    "binary": ("BINARY-RECORD", 58, "B-COMP:n B-COMP-4:n B-BINARY:n B-SCALED:n B-NATIVE:n B-NATIVE-SHORT:n B-PACKED:n B-PACKED-EVEN:n "
              "B-PACKED-PLAIN:n B-SINGLE:f B-DOUBLE:f B-INNER:n B-INNER-LONG:n"),
    "tables": ("ORDER-RECORD", 68, "O-COUNT:4 " + " ".join(f"O-ITEM-{i}=O-ITEM({i}):t O-QTY-{i}-1=O-QTY({i},1):n O-QTY-{i}-2=O-QTY({i},2):n"
                                     for i in (1, 2, 3)) +
              " O-WHEN:n O-TOTAL:n O-CITY=O-CITY(OF)O-ADDRESS:t O-CITY_2=O-CITY(OF)O-SHIPPING:t " +
              " ".join(f"O-NOTE-{i}=O-NOTE({i}):t" for i in (1, 2, 3, 4))),
}


# The program: fixed format from column 8, which reads as free format too,
# as a free-format copybook leaves the rest of the program. The record is
# written through one of its length, as GnuCOBOL writes a record with OCCURS
# DEPENDING ON with a length in front.
def program(name, record, length, fields):
    fill = []
    for i, (ref, kind) in enumerate(fields):
        fill += [f"COMPUTE W-N = FUNCTION MOD((W-K + 1) * 48271 * {i + 3}, 2147483647)",
                 "COMPUTE W-N = W-N * (1 - 2 * FUNCTION MOD(W-K, 2))",
                 "COMPUTE W-D = W-N / 1000"]
        if kind == "t":
            fill += ["MOVE SPACES TO W-TEXT", f'STRING "T" W-K "-" "{i}" DELIMITED BY SIZE INTO W-TEXT', f"MOVE W-TEXT TO {ref}",
                     f"DISPLAY W-TAB {ref} WITH NO ADVANCING"]
        elif kind == "e":
            fill += [f"MOVE W-D TO {ref}", f"DISPLAY W-TAB {ref} WITH NO ADVANCING"]
        elif kind == "f":
            fill += [f"COMPUTE {ref} = FUNCTION MOD(W-N, 1000000) / 8", f"MOVE {ref} TO W-DOUBLE",
                     "DISPLAY W-TAB W-DOUBLE WITH NO ADVANCING"]
        else:
            fill += [f"MOVE {'W-D' if kind == 'n' else kind} TO {ref}", f"MOVE {ref} TO W-PRINT",
                     "DISPLAY W-TAB W-PRINT WITH NO ADVANCING"]
    lines = ["IDENTIFICATION DIVISION.", "PROGRAM-ID. copybook-records.", "ENVIRONMENT DIVISION.",
             "INPUT-OUTPUT SECTION.", "FILE-CONTROL.", "SELECT RECORDS-FILE ASSIGN TO W-FILE-NAME",
             "ORGANIZATION IS SEQUENTIAL.", "DATA DIVISION.", "FILE SECTION.", "FD RECORDS-FILE.",
             f"01 W-OUT PIC X({length}).", "WORKING-STORAGE SECTION.", f'COPY "{name}.cpy".', "01 W-FILE-NAME PIC X(1024).", "01 W-K PIC 9(4).",
             "01 W-N PIC S9(12).", "01 W-D PIC S9(9)V9(3).", "01 W-TEXT PIC X(8).", "01 W-DOUBLE COMP-2.",
             "01 W-PRINT PIC -9(18).9(6).", '01 W-TAB PIC X VALUE X"09".', "PROCEDURE DIVISION.",
             "ACCEPT W-FILE-NAME FROM ARGUMENT-VALUE", "OPEN OUTPUT RECORDS-FILE",
             f"PERFORM VARYING W-K FROM 0 BY 1 UNTIL W-K = {RECORDS}", "DISPLAY W-K WITH NO ADVANCING",
             *fill, "DISPLAY W-TAB", f"WRITE W-OUT FROM {record}", "END-PERFORM", "CLOSE RECORDS-FILE", "STOP RUN."]
    return "".join(" " * 7 + line.replace("(OF)", " OF ") + "\n" for line in lines)


def check(name, record, length, columns, convert, work):
    fields = [(item.split(":")[0].split("=")[0], item.split(":")[0].split("=")[-1], item.split(":")[1])
              for item in columns.split()]
    source, exe, data = (os.path.join(work, name + ext) for ext in (".cob", "", ".dat"))
    open(source, "w").write(program(name, record, length, [(ref, kind) for _, ref, kind in fields]))
    subprocess.run(["cobc", "-x", *COBOL_FLAGS, "-I", os.path.join(HERE, "cobol"), "-o", exe, source], check=True)
    run = subprocess.run([exe, data], capture_output=True, check=True)
    printed = [line.split("\t")[1:-1] for line in run.stdout.decode("latin-1").split("\n")[:-1]]
    copybook, failures = os.path.join(HERE, "cobol", name + ".cpy"), []
    layout = subprocess.run([*convert, "--copybook", copybook, "--emit-layout"], capture_output=True, text=True)
    open(data + ".zlayout", "w").write(layout.stdout)
    for how, csv_path in [(["--copybook", copybook], data + ".csv"), (["--layout", data + ".zlayout"], data + ".2.csv")]:
        result = subprocess.run([*convert, "--force", *how, data, csv_path], capture_output=True, text=True)
        if result.returncode != 0:
            return [f"{name}: zorbik-convert {' '.join(how)}: exit code {result.returncode}: {result.stderr}"]
    if open(data + ".csv", "rb").read() != open(data + ".2.csv", "rb").read():
        failures.append(f"{name}: the layout --emit-layout printed converts to other bytes:\n{layout.stdout}")
    header, *rows = list(csv.reader(open(data + ".csv", encoding="utf-8", newline="")))
    if header != [csv_name for csv_name, _, _ in fields]:
        failures.append(f"{name}: names {header}")
    for k, (row, values) in enumerate(zip(rows, printed)):
        for (csv_name, _, kind), cell, value in zip(fields, row, values):
            same = cell == value if kind in "te" else float(cell) == float(value) if kind == "f" else \
                cell != "" and decimal.Decimal(cell) == decimal.Decimal(value)
            if not same:
                failures.append(f"{name} record {k} {csv_name}: displayed {value!r}, converted {cell!r}")
    if len(rows) != RECORDS or len(printed) != RECORDS:
        failures.append(f"{name}: {len(rows)} rows converted, {len(printed)} displayed")
    return failures


*convert, work = sys.argv[1:]
if not shutil.which("cobc"):
    sys.exit(print("cobc is not installed (Debian's gnucobol3)") or 77)
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
failures = [failure for name, (record, length, columns) in COPYBOOKS.items()
            for failure in check(name, record, length, columns, convert, work)]
print("\n".join(failures[:40]) or f"copybooks: {', '.join(COPYBOOKS)} read back as GnuCOBOL displayed them")
sys.exit(1 if failures else shutil.rmtree(work))
