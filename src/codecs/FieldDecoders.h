// The fields written by COBOL, Pascal and C programs and by mainframes, as
// values: integers of any width and byte order, packed and zoned decimals,
// IBM and 48- and 80-bit reals, dates, length-prefixed texts. Each decoder
// reads exactly the bytes it is given and never more; a field whose bytes
// are no value of its type says so instead of giving a made-up number.
#pragma once

#include <cstdint>

#include "marks/FieldOptions.h"

namespace zorbik {

enum class FieldStatus : std::uint8_t {
    Ok,
    Empty,   // no value, and nothing wrong: an all-blank or all-zero date
    Invalid, // bytes that are no value of the type
};

// A day, and the time of day where the value has one.
struct DateValue {
    std::int32_t year = 0; // 1 .. 9999
    std::uint8_t month = 0, day = 0;
    bool hasTime = false;
    std::uint32_t millisecond = 0; // of the day, 0 .. 86399999, with hasTime
    bool operator==(const DateValue&) const = default;
};

// An integer of n = 1..8 bytes in either byte order, as 64 bits: a signed
// one sign-extended (read it as int64), an unsigned one zero-extended (read
// it as uint64).
std::uint64_t DecodeInteger(const std::uint8_t* bytes, std::uint32_t n, bool bigEndian, bool isUnsigned);

// value / 10^scale (scale 0..31), correctly rounded to the nearest double.
// Packed and zoned decimals are scaled the same way. Their negative zero is
// +0, as COBOL compares and shows it.
double ScaledInteger(std::uint64_t bits, bool isUnsigned, int scale);

// A packed decimal (COBOL COMP-3) of n = 1..16 bytes: two digits a byte, the
// last nibble the sign (C, A, E, F plus; D, B minus), so 2n - 1 digits.
// GnuCOBOL writes F for unsigned fields and C or D for signed ones; the
// nibble alone decides the sign. Invalid for a digit nibble above 9, a
// sign nibble below A, and a minus in a field that is `isUnsigned` (a
// PIC 9 COMP-3 holding a negative number is a damaged field, not a value).
FieldStatus DecodePacked(const std::uint8_t* bytes, std::uint32_t n, int scale, bool isUnsigned, double& value);

// A zoned decimal (COBOL DISPLAY numeric) of n = 1..31 bytes, in ASCII or
// (ebcdic) EBCDIC. An overpunched sign in ASCII as GnuCOBOL and Micro Focus
// write it ('p'..'y' for -0..-9) or IBM-style ('{', 'A'..'I' for +0..+9,
// '}', 'J'..'R' for -0..-9); in EBCDIC the zone nibble (F, C, A, E plus; D,
// B minus). A separate sign is '+' or '-' in the field's character set
// (ASCII 2B/2D, EBCDIC 4E/60) and needs n >= 2. Invalid for any byte that
// is no digit where a digit belongs, or no sign where the sign belongs.
FieldStatus DecodeZoned(const std::uint8_t* bytes, std::uint32_t n, int scale, ZonedSign sign, bool ebcdic,
                        double& value);

// An IBM hexadecimal floating-point number (System/360 short and long, n =
// 4 or 8 bytes, big-endian), rounded to the nearest double (ties to
// even); a zero fraction is a zero of the sign bit's sign. NaN for other n.
double DecodeIbmFloat(const std::uint8_t* bytes, std::uint32_t n);

// The 80-bit extended real (x87, Pascal's Extended), little-endian,
// rounded to the nearest double, ties to even; too large for a double is
// an infinity, NaNs stay NaNs.
double DecodeExtended(const std::uint8_t bytes[10]);

// Turbo Pascal's 6-byte real (Real48), little-endian: exact in a double;
// an exponent byte of 0 is the value 0.
double DecodeReal48(const std::uint8_t bytes[6]);

// A date of DateWidth(form) bytes. Digits are ASCII or EBCDIC (F0..F9); a
// two-digit year is 19YY from 50 on and 20YY below (YYMMDD 491231 is
// 2049-12-31, 500101 is 1950-01-01). A field of one byte repeated that is a
// blank (ASCII or EBCDIC), a '0' digit (ASCII or EBCDIC) or zero is Empty,
// in every form; a day that does not exist (month 13, 31 April, 29 February
// 2023, day of the year 366 in 2023, year 0) or a byte that is no digit is
// Invalid. Days1899: a little-endian double of days since 1899-12-30, as
// Delphi's TDateTime: the whole part the day, the magnitude of the fraction
// the time of that day (-1.25 is 1899-12-29 06:00), rounded to the
// millisecond (a time that rounds to 24:00 is midnight of the next day),
// hasTime when the fraction is not zero; NaN, the infinities and days
// outside the years 1..9999 are Invalid.
FieldStatus DecodeDate(const std::uint8_t* bytes, DateForm form, DateValue& value);

// Days from 1899-12-30 to the day (the spreadsheet day number), plus the
// time as a fraction of a day. Excel's serial numbers are the same from
// 1900-03-01 on (before, Excel counts a 29 February 1900 that never was).
// Before 1899-12-30 the time counts on from the day as in a spreadsheet:
// 1899-12-29 06:00 is -0.75 here and -1.25 as a TDateTime.
double SerialDay(const DateValue& value);

// The length of a Pascal string[N] field of n = 2..256 bytes: the first
// byte, clipped to the n - 1 bytes that follow it (`clipped` then true).
std::uint32_t PascalTextLength(const std::uint8_t* bytes, std::uint32_t n, bool& clipped);

} // namespace zorbik
