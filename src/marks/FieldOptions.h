// What a column's type needs to know beyond its name: byte order, sign,
// implied decimals, the layout of a zoned sign, a date's form, a text's own
// code page. Written in layout files as words after the type
// ("Packed scale=2", "Integer big unsigned"); the design's five types take
// only the ones named for them and convert as they always did without any.
#pragma once

#include <cstdint>

namespace zorbik {

// Where a zoned (COBOL DISPLAY) number keeps its sign: overpunched on the
// last or first digit, or as a sign character of its own after or before
// the digits.
enum class ZonedSign : std::uint8_t { Trailing, Leading, SeparateTrailing, SeparateLeading };

// How a date is written: digits in one of these orders (YYYYDDD is the
// year and the day of the year), an 8-byte double of days since
// 1899-12-30 (Delphi's TDateTime, OLE dates), or a Julian day number and the
// milliseconds of that day, two 4-byte little-endian integers (FoxPro's
// date-time fields).
enum class DateForm : std::uint8_t { YYYYMMDD, YYMMDD, DDMMYYYY, MMDDYYYY, YYYYDDD, Days1899, Julian };

// The bytes a date of the given form takes.
constexpr std::uint32_t DateWidth(DateForm form)
{
    switch (form) {
    case DateForm::YYMMDD:
        return 6;
    case DateForm::YYYYDDD:
        return 7;
    default:
        return 8;
    }
}

// The most implied decimal places a column can have.
inline constexpr int kMaxScale = 31;

struct FieldOptions {
    bool bigEndian = false;   // Integer, BinReal
    bool isUnsigned = false;  // Integer, Packed
    std::uint8_t scale = 0;   // Integer, Packed, Zoned, DecimalNumber: value / 10^scale
    ZonedSign sign = ZonedSign::Trailing; // Zoned
    bool ebcdic = false;      // Zoned: EBCDIC digits and zones
    bool ibm = false;         // BinReal: IBM hexadecimal floating point
    DateForm date = DateForm::YYYYMMDD; // Date
    std::uint16_t codePage = 0; // Text: the text's own page; 0 for the source's
    // DecimalNumber: a field of only blanks, asterisks and zero bytes is no
    // value (an empty cell), as dBASE writes an empty or overflowing number.
    bool blankEmpty = false;

    bool operator==(const FieldOptions&) const = default;
};

} // namespace zorbik
