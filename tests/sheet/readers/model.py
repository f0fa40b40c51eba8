"""What a worksheet cell must hold for the bytes of a field, worked out here
in Python apart from the C++ code, so that the readers are checked against
values nobody took from the program itself.

A cell is ("s", bytes) for a text or ("n", float) for a number; readers do
not tell INTEGER from NUMBER cells, so both are numbers here."""

import struct
from fractions import Fraction

FIELD_SIZE = {"Text": 255, "BinInteger": 4, "DecimalNumber": 20, "BinReal": 8, "Bcd": 10}


def _round_bits(x, bits):
    """x rounded to `bits` significant bits, ties to even (no exponent limits:
    the values here stay far inside the range of a double)."""
    if x == 0:
        return Fraction(0)
    sign = -1 if x < 0 else 1
    m = abs(x)
    e = m.numerator.bit_length() - m.denominator.bit_length()
    if m < Fraction(2) ** e:
        e -= 1
    scaled = m / Fraction(2) ** (e - bits + 1)
    q, r = divmod(scaled.numerator, scaled.denominator)
    if 2 * r > scaled.denominator or (2 * r == scaled.denominator and q % 2 == 1):
        q += 1
    return sign * q * Fraction(2) ** (e - bits + 1)


def _packed_value(digits, scale, negative):
    """The x87 way: the digits exactly, `scale` divisions by ten each rounded
    to a 64-bit significand, one final rounding to a double."""
    x = Fraction(digits)
    for _ in range(scale):
        x = _round_bits(x / 10, 64)
    value = float(_round_bits(x, 53))
    return -value if negative else value  # -0.0 for a negative zero


def decimal_text(field):
    """A decimal number written as text: digits, one point ('.' or ','), a
    minus sign; the text ends at the first zero byte."""
    text = field.split(b"\0", 1)[0][:20]
    digits = "".join(chr(c) for c in text if 0x30 <= c <= 0x39)
    scale = 0
    for i, c in enumerate(text):
        if c in b".,":
            scale = len(text) - i - 1
            break
    return _packed_value(int(digits or "0"), scale, b"-" in text)


def packed_bcd(field):
    """80-bit packed BCD: 18 digits low first, sign in bit 7 and the count of
    decimal places in bits 0-6 of the last byte."""
    field = field.ljust(10, b"\0")
    digits = 0
    for byte in reversed(field[:9]):
        digits = digits * 100 + (byte >> 4) * 10 + (byte & 15)
    return _packed_value(digits, field[9] & 0x7F, bool(field[9] & 0x80))


def cell(type_name, present):
    """The cell of a field of `type_name` whose bytes in the source are
    `present` (fewer than the column has where the source ends)."""
    size = FIELD_SIZE[type_name]
    field = present[:size]
    padded = field.ljust(size, b"\0")
    if type_name == "Text":
        return ("s", bytes(field))
    if type_name == "BinInteger":
        v = struct.unpack("<I", padded)[0]
        return ("n", float(v if v <= 0xFFFF else struct.unpack("<i", padded)[0]))
    if type_name == "BinReal":
        if len(field) <= 4:
            return ("n", struct.unpack("<f", padded[:4])[0])
        return ("n", struct.unpack("<d", padded)[0])
    if type_name == "DecimalNumber":
        return ("n", decimal_text(padded))
    return ("n", packed_bcd(padded))


def _self_check():
    # The worked values of the design, so that the model itself is known good.
    assert struct.pack("<d", decimal_text(b"0.609597")).hex() == "b8ab5791d181e33f"
    assert struct.pack("<d", decimal_text(b"0.1")).hex() == "9a9999999999b93f"
    assert decimal_text(b"-11.50") == -11.5 and decimal_text(b"12,5") == 12.5
    assert decimal_text(b"12\x003") == 12.0 and str(decimal_text(b"-")) == "-0.0"
    assert packed_bcd(bytes.fromhex("45230100000000000082")) == -123.45
    assert cell("BinInteger", b"\xff\xff\xff")[1] == 16777215.0
    assert cell("BinInteger", b"\xff\xff\xff\xff")[1] == -1.0
    assert cell("BinReal", b"\x00\x00\x80\x3f")[1] == 1.0


_self_check()
