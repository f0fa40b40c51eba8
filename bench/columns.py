"""The two benchmark record shapes and how their fields read as cell values.

Shared by the generator (which writes sources and layout files from these
shapes), the xlwt conversion and the read-back check, so that all of them
agree on where each field lies and what its cell holds."""

import struct

HEADER_SIZE = 128

# Field kinds: name, bytes a field of the kind takes in the record, field
# type word of the layout file.
TEXT, INT2, INT4, REAL4, REAL8, DECIMAL, BCD, MARKED = range(8)
KIND_WIDTH = {TEXT: 20, INT2: 2, INT4: 4, REAL4: 4, REAL8: 8, DECIMAL: 10, BCD: 10, MARKED: 4}
KIND_NAME = {TEXT: "text", INT2: "int2", INT4: "int4", REAL4: "real4", REAL8: "real8", DECIMAL: "decimal",
             BCD: "bcd", MARKED: "marked"}
KIND_TYPE = {TEXT: "Text", INT2: "BinInteger", INT4: "BinInteger", REAL4: "BinReal", REAL8: "BinReal",
             DECIMAL: "DecimalNumber", BCD: "Bcd"}


class Shape:
    """A record of `length` bytes with columns (kind, offset in the record,
    width). Byte 0 carries the record begin, the last byte the record end;
    neither is typed, so no edge columns are added."""

    def __init__(self, length, columns):
        self.length = length
        self.columns = columns

    def layout_lines(self):
        base = HEADER_SIZE
        lines = ["# ROW MARKER [TYPE]", f"{base} LineBegin"]
        for kind, offset, width in self.columns:
            row = base + offset
            if kind == MARKED:
                # The column's first byte is left out: a byte mark picks the
                # second, and the typed column end adds the fourth.
                lines += [f"{row} ColumnBegin", f"{row + 1} ByteMark Text", f"{row + 3} ColumnEnd Text"]
            else:
                lines += [f"{row} ColumnBegin {KIND_TYPE[kind]}", f"{row + width - 1} ColumnEnd"]
        lines.append(f"{base + self.length - 1} LineEnd")
        return "\n".join(lines) + "\n"

    def description(self):
        """The shape for programs in other languages (the SheetJS script)."""
        return {"header": HEADER_SIZE, "length": self.length,
                "columns": [[KIND_NAME[kind], offset, width] for kind, offset, width in self.columns]}


def narrow_shape():
    """64-byte records with one column of every kind: a 20-byte text, 2- and
    4-byte integers, 4- and 8-byte reals, a 10-character decimal text, a
    10-byte BCD number and a column of byte-marked bytes."""
    columns = []
    offset = 1
    for kind in (TEXT, INT2, INT4, REAL4, REAL8, DECIMAL, BCD, MARKED):
        columns.append((kind, offset, KIND_WIDTH[kind]))
        offset += KIND_WIDTH[kind]
    assert offset == 63
    return Shape(64, columns)


def wide_shape():
    """4096-byte records with 200 columns, one every 20 bytes, the kinds in
    turn; texts are 16 bytes here so that every field fits its slot."""
    columns = []
    for s in range(200):
        kind = s % 8
        width = 16 if kind == TEXT else KIND_WIDTH[kind]
        columns.append((kind, 1 + 20 * s, width))
    return Shape(4096, columns)


def _decimal_text(field):
    text = field.split(b"\0", 1)[0].decode("ascii").replace(",", ".")
    return float(text)


def _bcd(field):
    digits = 0
    for b in reversed(field[:9]):
        digits = digits * 100 + (b >> 4) * 10 + (b & 15)
    value = digits / 10 ** (field[9] & 0x7F)
    return -value if field[9] & 0x80 else value


def cell_values(shape, record):
    """The cell values of one record, as Python str, int and float."""
    values = []
    for kind, offset, width in shape.columns:
        field = record[offset:offset + width]
        if kind == TEXT:
            values.append(field.decode("latin-1"))
        elif kind == INT2:
            values.append(struct.unpack_from("<H", field)[0])
        elif kind == INT4:
            v = struct.unpack_from("<I", field)[0]
            values.append(v if v <= 0xFFFF else struct.unpack_from("<i", field)[0])
        elif kind == REAL4:
            values.append(struct.unpack_from("<f", field)[0])
        elif kind == REAL8:
            values.append(struct.unpack_from("<d", field)[0])
        elif kind == DECIMAL:
            values.append(_decimal_text(field))
        elif kind == BCD:
            values.append(_bcd(field))
        else:
            values.append((field[1:2] + field[3:4]).decode("latin-1"))
    return values
