#include "codecs/FieldDecoders.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "codecs/DecimalShortcuts.h"
#include "codecs/LittleEndian.h"

namespace zorbik {
namespace {

// digits / 10^scale, positive, through the hardware where one division of
// two exact doubles gives the correctly rounded quotient: the digits below
// 2^53 and 10^scale at most 10^22 (the last power of ten a double holds).
// Where the processor's double arithmetic is not plain binary64 (x87
// without SSE), every quotient goes through the text.
bool QuickScaled([[maybe_unused]] std::uint64_t digits, [[maybe_unused]] int scale, [[maybe_unused]] double& value)
{
#if FLT_EVAL_METHOD == 0
    if (digits < std::uint64_t{1} << 53 && scale <= 22) {
        value = static_cast<double>(digits) / kTenPowers[scale];
        return true;
    }
#endif
    return false;
}

// The decimal digits (ASCII, at most 31 of them) / 10^scale, correctly
// rounded by from_chars, which unlike strtod ignores the locale.
double ScaledText(const char* digits, std::size_t count, int scale)
{
    char text[48];
    std::memcpy(text, digits, count);
    char* end = text + count;
    *end++ = 'e';
    *end++ = '-';
    end = std::to_chars(end, text + sizeof text, scale).ptr;
    double value = 0;
    std::from_chars(text, end, value);
    return value;
}

// A decimal of up to 31 ASCII digits (leading zeros allowed) / 10^scale.
// A negative zero is zero: COBOL compares it equal to zero and shows it so.
double ScaledDigits(const char* digits, std::size_t count, int scale, bool negative)
{
    scale = std::clamp(scale, 0, kMaxScale);
    while (count > 0 && *digits == '0') {
        ++digits;
        --count;
    }
    if (count == 0)
        return 0.0;
    double value = 0;
    bool quick = false;
    if (count <= 19) { // 19 digits always fit 64 bits
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < count; ++i)
            v = v * 10 + static_cast<unsigned>(digits[i] - '0');
        quick = QuickScaled(v, scale, value);
    }
    if (!quick)
        value = ScaledText(digits, count, scale);
    return negative ? -value : value;
}

// A decimal already a 64-bit number / 10^scale; zero without a sign, as
// ScaledDigits gives it.
double ScaledValue(std::uint64_t digits, int scale, bool negative)
{
    if (digits == 0)
        return 0.0;
    scale = std::clamp(scale, 0, kMaxScale);
    double value = 0;
    if (!QuickScaled(digits, scale, value)) {
        char text[20];
        const char* end = std::to_chars(text, text + sizeof text, digits).ptr;
        value = ScaledText(text, static_cast<std::size_t>(end - text), scale);
    }
    return negative ? -value : value;
}

// Digits a 64-bit integer always holds.
constexpr std::uint32_t kWholeDigits = 19;

// The digit of a zoned byte that carries no sign, or -1.
int PlainDigit(std::uint8_t b, bool ebcdic)
{
    const std::uint8_t zero = ebcdic ? 0xF0 : 0x30;
    return b >= zero && b <= zero + 9 ? b - zero : -1;
}

// The digit of a byte with an overpunched sign, or -1. GnuCOBOL 3.1 writes
// a trailing or leading sign the Micro Focus way by default: a positive
// digit stays a plain '0'..'9', a negative one becomes 'p'..'y' (0x70 +
// digit). With -fsign=EBCDIC it writes the IBM letters instead: '{' and
// 'A'..'I' for +0..+9, '}' and 'J'..'R' for -0..-9. The two sets do not
// overlap, so a field is read whichever convention wrote it.
int OverpunchedDigit(std::uint8_t b, bool ebcdic, bool& negative)
{
    if (ebcdic) {
        const int digit = b & 0x0F;
        const int zone = b >> 4;
        if (digit > 9)
            return -1;
        negative = zone == 0xD || zone == 0xB;
        return negative || zone == 0xF || zone == 0xC || zone == 0xA || zone == 0xE ? digit : -1;
    }
    negative = false;
    if (b >= '0' && b <= '9')
        return b - '0';
    if (b == '{')
        return 0;
    if (b >= 'A' && b <= 'I')
        return b - 'A' + 1;
    negative = true;
    if (b >= 'p' && b <= 'y')
        return b - 'p';
    if (b == '}')
        return 0;
    if (b >= 'J' && b <= 'R')
        return b - 'J' + 1;
    return -1;
}

// The double nearest to significand * 2^exponent, ties to even, with the
// sign bit given; the subnormal range and overflow to infinity included.
double RoundToDouble(std::uint64_t significand, int exponent, std::uint64_t sign)
{
    if (significand == 0)
        return std::bit_cast<double>(sign);
    const int lead = std::countl_zero(significand);
    significand <<= lead;
    // The value lies in [2^top, 2^(top + 1)).
    const int top = exponent - lead + 63;
    if (top > 1023)
        return std::bit_cast<double>(sign | 0x7FF0000000000000ull);
    // Bits cut off below the double's last place: 11 for a normal double,
    // more as the value sinks into the subnormal range.
    const int cut = top >= -1022 ? 11 : 11 + (-1022 - top);
    // Below the smallest subnormal: that one above half of it, else zero
    // (a tie goes to zero, the even one).
    if (cut >= 64)
        return std::bit_cast<double>(sign | (cut == 64 && significand > std::uint64_t{1} << 63 ? 1 : 0));
    const std::uint64_t kept = significand >> cut;
    const std::uint64_t rest = significand & ((std::uint64_t{1} << cut) - 1);
    const std::uint64_t half = std::uint64_t{1} << (cut - 1);
    // A normal double's implicit bit is dropped and its biased exponent put
    // above the fraction; a carry out of the fraction then raises the
    // exponent by itself, up to infinity, and a subnormal's carry makes the
    // smallest normal double.
    std::uint64_t bits = top >= -1022
                             ? static_cast<std::uint64_t>(top + 1023) << 52 | (kept & ((std::uint64_t{1} << 52) - 1))
                             : kept;
    if (rest > half || (rest == half && (kept & 1) != 0))
        ++bits;
    return std::bit_cast<double>(sign | bits);
}

// Days from 1970-01-01 to a day of the proleptic Gregorian calendar, and
// back (the eras of 400 years that repeat it).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, DateValue& date)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    date.year = static_cast<std::int32_t>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    date.month = static_cast<std::uint8_t>(m);
    date.day = static_cast<std::uint8_t>(doy - (153 * mp + 2) / 5 + 1);
}

bool IsLeapYear(int y)
{
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

// The days of month m = 1..12: 31 and 30 alternate, from January and again
// from August; defined for any m, so that no month reads outside a table.
int DaysInMonth(int y, int m)
{
    if (m == 2)
        return IsLeapYear(y) ? 29 : 28;
    return 30 + ((m + m / 8) & 1);
}

// 1899-12-30, the day 0 of spreadsheets and TDateTime, from 1970-01-01.
constexpr std::int64_t kDay1899 = -25569;
constexpr std::int64_t kMsPerDay = 86400000;

FieldStatus DecodeDays1899(const std::uint8_t* bytes, DateValue& value)
{
    const double days = std::bit_cast<double>(LoadLe64(bytes));
    // The first and last days of the years 1..9999; NaN fails both tests.
    if (!(days > -693594.0 && days < 2958466.0))
        return FieldStatus::Invalid;
    // TDateTime's whole part is the day and its fraction's magnitude the
    // time of that day, on either side of day 0: -1.25 is 1899-12-29 06:00.
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    auto day = static_cast<std::int64_t>(whole);
    auto ms = static_cast<std::int64_t>(std::nearbyint(fraction * static_cast<double>(kMsPerDay)));
    if (ms == kMsPerDay) { // a time that rounds to midnight starts the next day
        ms = 0;
        ++day;
    }
    CivilFromDays(day + kDay1899, value);
    if (value.year > 9999)
        return FieldStatus::Invalid;
    value.hasTime = fraction != 0;
    value.millisecond = static_cast<std::uint32_t>(ms);
    return FieldStatus::Ok;
}

// Julian day 2440588 is 1970-01-01; days 1721426 and 5373484 are the first
// and last days of the years 1..9999.
constexpr std::int64_t kJulian1970 = 2440588;
constexpr std::uint32_t kFirstJulian = 1721426, kLastJulian = 5373484;

FieldStatus DecodeJulian(const std::uint8_t* bytes, DateValue& value)
{
    const std::uint32_t day = LoadLe32(bytes);
    const std::uint32_t ms = LoadLe32(bytes + 4);
    // FoxPro leaves day 0 for no value, at times with a few milliseconds.
    if (day == 0)
        return FieldStatus::Empty;
    if (day < kFirstJulian || day > kLastJulian || ms >= kMsPerDay)
        return FieldStatus::Invalid;
    CivilFromDays(static_cast<std::int64_t>(day) - kJulian1970, value);
    value.hasTime = true;
    value.millisecond = ms;
    return FieldStatus::Ok;
}

} // namespace

std::uint64_t DecodeInteger(const std::uint8_t* bytes, std::uint32_t n, bool bigEndian, bool isUnsigned)
{
    n = std::min<std::uint32_t>(n, 8);
    if (n == 0)
        return 0;
    std::uint64_t v = 0;
    for (std::uint32_t i = 0; i < n; ++i)
        v = v << 8 | bytes[bigEndian ? i : n - 1 - i];
    if (!isUnsigned && n < 8) {
        const unsigned unused = 64 - 8 * n;
        v = static_cast<std::uint64_t>(static_cast<std::int64_t>(v << unused) >> unused);
    }
    return v;
}

double ScaledInteger(std::uint64_t bits, bool isUnsigned, int scale)
{
    const bool negative = !isUnsigned && static_cast<std::int64_t>(bits) < 0;
    return ScaledValue(negative ? 0 - bits : bits, scale, negative);
}

FieldStatus DecodePacked(const std::uint8_t* bytes, std::uint32_t n, int scale, bool isUnsigned, double& value)
{
    if (n == 0 || n > 16)
        return FieldStatus::Invalid;
    const unsigned sign = bytes[n - 1] & 0x0F;
    if (sign < 0xA)
        return FieldStatus::Invalid;
    const bool negative = sign == 0xB || sign == 0xD;
    if (negative && isUnsigned)
        return FieldStatus::Invalid;
    if (2 * n - 1 <= kWholeDigits) {
        // The usual widths: the digits straight into an integer.
        std::uint64_t digits = 0;
        for (std::uint32_t i = 0; i + 1 < n; ++i) {
            const unsigned high = bytes[i] >> 4;
            const unsigned low = bytes[i] & 0x0F;
            if (high > 9 || low > 9)
                return FieldStatus::Invalid;
            digits = digits * 100 + high * 10 + low;
        }
        const unsigned last = bytes[n - 1] >> 4;
        if (last > 9)
            return FieldStatus::Invalid;
        value = ScaledValue(digits * 10 + last, scale, negative);
        return FieldStatus::Ok;
    }
    char digits[32];
    std::size_t count = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const unsigned high = bytes[i] >> 4;
        const unsigned low = bytes[i] & 0x0F;
        if (high > 9 || (i + 1 < n && low > 9))
            return FieldStatus::Invalid;
        digits[count++] = static_cast<char>('0' + high);
        if (i + 1 < n)
            digits[count++] = static_cast<char>('0' + low);
    }
    value = ScaledDigits(digits, count, scale, negative);
    return FieldStatus::Ok;
}

FieldStatus DecodeZoned(const std::uint8_t* bytes, std::uint32_t n, int scale, ZonedSign sign, bool ebcdic,
                        double& value)
{
    const bool separate = sign == ZonedSign::SeparateTrailing || sign == ZonedSign::SeparateLeading;
    const bool leading = sign == ZonedSign::Leading || sign == ZonedSign::SeparateLeading;
    if (n == 0 || n > 31 || (separate && n < 2))
        return FieldStatus::Invalid;
    const std::uint32_t signAt = leading ? 0 : n - 1;
    bool negative = false;
    if (separate) {
        const std::uint8_t b = bytes[signAt];
        negative = b == (ebcdic ? 0x60 : '-');
        if (!negative && b != (ebcdic ? 0x4E : '+'))
            return FieldStatus::Invalid;
    }
    // The sign byte's digit first, then the plain digits around it.
    int signDigit = 0;
    if (!separate) {
        signDigit = OverpunchedDigit(bytes[signAt], ebcdic, negative);
        if (signDigit < 0)
            return FieldStatus::Invalid;
    }
    const std::uint32_t first = leading ? 1 : 0;
    const std::uint32_t last = leading ? n : n - 1; // the plain digits: [first, last)
    const std::uint32_t count = last - first + (separate ? 0 : 1);
    if (count <= kWholeDigits) {
        std::uint64_t whole = leading ? static_cast<unsigned>(signDigit) : 0;
        for (std::uint32_t i = first; i < last; ++i) {
            const int d = PlainDigit(bytes[i], ebcdic);
            if (d < 0)
                return FieldStatus::Invalid;
            whole = whole * 10 + static_cast<unsigned>(d);
        }
        if (!leading && !separate)
            whole = whole * 10 + static_cast<unsigned>(signDigit);
        value = ScaledValue(whole, scale, negative);
        return FieldStatus::Ok;
    }
    char digits[31];
    std::size_t at = 0;
    if (leading && !separate)
        digits[at++] = static_cast<char>('0' + signDigit);
    for (std::uint32_t i = first; i < last; ++i) {
        const int d = PlainDigit(bytes[i], ebcdic);
        if (d < 0)
            return FieldStatus::Invalid;
        digits[at++] = static_cast<char>('0' + d);
    }
    if (!leading && !separate)
        digits[at++] = static_cast<char>('0' + signDigit);
    value = ScaledDigits(digits, at, scale, negative);
    return FieldStatus::Ok;
}

double DecodeIbmFloat(const std::uint8_t* bytes, std::uint32_t n)
{
    if (n != 4 && n != 8)
        return std::numeric_limits<double>::quiet_NaN();
    std::uint64_t fraction = 0;
    for (std::uint32_t i = 1; i < n; ++i)
        fraction = fraction << 8 | bytes[i];
    const int exponent = 4 * ((bytes[0] & 0x7F) - 64) - 8 * static_cast<int>(n - 1);
    // Every IBM value lies between 16^-65 and 16^63, well inside the normal
    // doubles: only the 56-bit long fraction needs rounding.
    return RoundToDouble(fraction, exponent, static_cast<std::uint64_t>(bytes[0] >> 7) << 63);
}

double DecodeExtended(const std::uint8_t bytes[10])
{
    const std::uint64_t significand = LoadLe64(bytes);
    const unsigned top = bytes[8] | bytes[9] << 8;
    const std::uint64_t sign = static_cast<std::uint64_t>(top >> 15) << 63;
    const int exponent = static_cast<int>(top & 0x7FFF);
    if (exponent == 0x7FFF) {
        const std::uint64_t fraction = significand & 0x7FFFFFFFFFFFFFFFull;
        if (fraction == 0)
            return std::bit_cast<double>(sign | 0x7FF0000000000000ull);
        // A NaN comes out quiet and keeps the top of its payload.
        return std::bit_cast<double>(sign | 0x7FF8000000000000ull | fraction >> 11);
    }
    // The integer bit is explicit: denormals (exponent 0) sit at the
    // exponent of 1, and unnormals take their face value.
    return RoundToDouble(significand, std::max(exponent, 1) - 16383 - 63, sign);
}

double DecodeReal48(const std::uint8_t bytes[6])
{
    if (bytes[0] == 0)
        return 0.0;
    const std::uint64_t fraction = static_cast<std::uint64_t>(bytes[5] & 0x7F) << 32 | LoadLe32(bytes + 1);
    const double magnitude = std::ldexp(static_cast<double>(fraction | std::uint64_t{1} << 39), bytes[0] - 129 - 39);
    return (bytes[5] & 0x80) != 0 ? -magnitude : magnitude;
}

FieldStatus DecodeDate(const std::uint8_t* bytes, DateForm form, DateValue& value)
{
    value = {};
    const std::uint32_t n = DateWidth(form);
    const std::uint8_t first = bytes[0];
    const bool filler = first == 0x00 || first == 0x20 || first == 0x40 || first == 0x30 || first == 0xF0;
    if (filler && std::all_of(bytes, bytes + n, [first](std::uint8_t b) { return b == first; }))
        return FieldStatus::Empty;
    if (form == DateForm::Days1899)
        return DecodeDays1899(bytes, value);
    if (form == DateForm::Julian)
        return DecodeJulian(bytes, value);
    int digit[8];
    for (std::uint32_t i = 0; i < n; ++i) {
        digit[i] = PlainDigit(bytes[i], bytes[i] >= 0xF0);
        if (digit[i] < 0)
            return FieldStatus::Invalid;
    }
    // The number the `count` digits from `at` make.
    const auto number = [&digit](int at, int count) {
        int v = 0;
        for (int i = at; i < at + count; ++i)
            v = v * 10 + digit[i];
        return v;
    };
    int year = 0, month = 0, day = 0;
    switch (form) {
    case DateForm::YYYYMMDD:
        year = number(0, 4), month = number(4, 2), day = number(6, 2);
        break;
    case DateForm::YYMMDD:
        year = number(0, 2), month = number(2, 2), day = number(4, 2);
        year += year >= 50 ? 1900 : 2000;
        break;
    case DateForm::DDMMYYYY:
        day = number(0, 2), month = number(2, 2), year = number(4, 4);
        break;
    case DateForm::MMDDYYYY:
        month = number(0, 2), day = number(2, 2), year = number(4, 4);
        break;
    default: { // YYYYDDD
        year = number(0, 4);
        const int dayOfYear = number(4, 3);
        if (year < 1 || dayOfYear < 1 || dayOfYear > (IsLeapYear(year) ? 366 : 365))
            return FieldStatus::Invalid;
        CivilFromDays(DaysFromCivil(year, 1, 1) + dayOfYear - 1, value);
        return FieldStatus::Ok;
    }
    }
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return FieldStatus::Invalid;
    value.year = year;
    value.month = static_cast<std::uint8_t>(month);
    value.day = static_cast<std::uint8_t>(day);
    return FieldStatus::Ok;
}

double SerialDay(const DateValue& value)
{
    const std::int64_t day = DaysFromCivil(value.year, value.month, value.day) - kDay1899;
    const std::int64_t ms = value.hasTime ? value.millisecond : 0;
    // One division of an exact count of milliseconds: correctly rounded.
    return static_cast<double>(day * kMsPerDay + ms) / static_cast<double>(kMsPerDay);
}

std::uint32_t PascalTextLength(const std::uint8_t* bytes, std::uint32_t n, bool& clipped)
{
    clipped = false;
    if (n == 0)
        return 0;
    clipped = bytes[0] > n - 1;
    return clipped ? n - 1 : bytes[0];
}

} // namespace zorbik
