#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "codecs/ValueConversions.h"

namespace zorbik {
namespace {

using namespace std::string_literals;

std::uint64_t Bits(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    return bits;
}

// The double a field's bytes become: 's' a single, 't' a decimal text, 'p' a
// packed decimal. (The reference sheet widens integers and singles the
// processor's way, so every conversion checks those on all its fields.)
std::uint64_t Value(char kind, const std::string& bytes)
{
    std::uint8_t field[20] = {};
    std::memcpy(field, bytes.data(), std::min<std::size_t>(bytes.size(), 20));
    std::uint8_t result[8];
    if (kind == 's') {
        std::memset(field + 4, 0xAA, 4); // what lies behind the single is overwritten
        WidenSingle(field);
        std::memcpy(result, field, 8);
    }
    if (kind == 't' || kind == 'p')
        ConvertDecimal(kind == 't' ? DecimalSource::Text : DecimalSource::Packed, field, result);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | result[i];
    return bits;
}

TEST(ValueConversions, FieldBytesGiveTheBitsOfTheirDouble)
{
    const struct {
        char kind;
        std::string bytes;
        std::uint64_t bits;
    } rows[] = {
        {'s', "\0\0\x80\x7f"s, 0x7ff0000000000000}, // infinity
        {'s', "\0\0\0\x80"s, 0x8000000000000000}, // -0
        {'s', "\1\0\0\0"s, 0x36a0000000000000},   // 2^-149, now a normal double
        {'s', "\0\0\xc0\x7f"s, 0x7ff8000000000000},   // a quiet NaN
        {'s', "\1\0\x80\x7f"s, 0x7ff8000020000000},   // a signalling NaN comes out quiet, payload kept
        {'t', "11.1993", 0x4026660aa64c2f83},
        {'t', "12,5", Bits(12.5)},
        {'t', " 68", Bits(68)}, {'t', "     12.64", Bits(12.64)}, {'t', "12.5  ", Bits(12.5)}, // blanks and
        {'t', "+7", Bits(7)},   {'t', "   ", 0},                   {'t', " -3.5", Bits(-3.5)},  // plus signs go
        {'t', std::string(20, ' '), 0},
        {'t', "-3.5", Bits(-3.5)}, {'t', "-12,25", Bits(-12.25)},
        {'t', " 1 2+3 4 5 6 7 8 9 0 1 2", Bits(1234567890)}, // a text ends after 20 bytes, blanks or not
        {'t', "-11.50", Bits(-11.5)},
        {'t', "0.1", 0x3fb999999999999a},
        {'t', "0.609597", 0x3fe381d19157abb8}, // one below the nearest double: the extended division
        {'t', "0042", Bits(42)},
        {'t', "12.", Bits(12)},
        {'t', "", 0},
        {'t', "-", 0x8000000000000000},
        {'t', "-0", 0x8000000000000000},
        {'t', "12\0" "3"s, Bits(12)}, // the text ends at its first zero byte
        {'t', "999999999999999999", 0x43abc16d674ec800},
        {'t', ".999999999999999999", Bits(1)}, // rounds up to the next power of two
        {'t', "1.2.3", Bits(0.123)},            // the last point counts
        {'t', "1-2", Bits(-12)},
        {'p', "\x45\x23\x01"s, Bits(12345)},
        {'p', "\x45\x23\x01\0\0\0\0\0\0\x80"s, Bits(-12345)},
        {'p', "\x45\x23\x01\0\0\0\0\0\0\x02"s, Bits(123.45)},
        {'p', "\x45\x23\x01\0\0\0\0\0\0\x82"s, Bits(-123.45)},
        {'p', "\x99\x99\x99\x99\x99\x99\x99\x99\x99\x12", Bits(1)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Value(row.kind, row.bytes), row.bits) << row.kind << " \"" << row.bytes << '"';
    // 127 decimal places of the largest number still give a normal double.
    double tiny;
    const std::uint64_t tinyBits = Value('p', "\x99\x99\x99\x99\x99\x99\x99\x99\x99\x7f");
    std::memcpy(&tiny, &tinyBits, 8);
    EXPECT_NEAR(tiny / 1e-109, 1.0, 1e-15);
}

// The decimals whose double is the one nearest to them and whose digits
// are few enough to be its shortest text, and the double ConvertDecimal
// gives them: the nearest, through one correctly rounded division.
TEST(ValueConversions, ShortDecimalsAreTheDecimalsOfTheNearestDouble)
{
    const struct {
        char kind;
        std::string bytes;
        bool read;
        ShortDecimal decimal;
    } rows[] = {
        {'t', "0968315.45", true, {96831545, 2, false}},
        {'t', " -3,5", true, {35, 1, true}},
        {'t', "+7", true, {7, 0, false}},
        {'t', "-0", true, {0, 0, true}},
        {'t', "999999999999999", true, {999999999999999, 0, false}},
        {'t', "1000000000000000", false, {}}, // 16 digits
        {'t', "0.001", true, {1, 3, false}},
        {'t', "0.0001", false, {}}, // a fourth decimal: the extended division
        {'t', "1.2.3", false, {}},  // packed
        {'p', "\x45\x23\x01\0\0\0\0\0\0\x82"s, true, {12345, 2, true}},
        {'p', "\x45\x23\x01\0\0\0\0\0\0\x04"s, false, {}},
        {'p', "\x99\x99\x99\x99\x99\x99\x99\x09\0\x03"s, true, {999999999999999, 3, false}},
        {'p', "\0\0\0\0\0\0\0\x10\0\0"s, false, {}}, // 10^15
    };
    for (const auto& row : rows) {
        std::uint8_t field[20] = {};
        std::memcpy(field, row.bytes.data(), row.bytes.size());
        const DecimalSource kind = row.kind == 't' ? DecimalSource::Text : DecimalSource::Packed;
        ShortDecimal decimal;
        ASSERT_EQ(ReadShortDecimal(kind, field, decimal), row.read) << row.bytes;
        if (!row.read)
            continue;
        EXPECT_EQ(decimal.digits, row.decimal.digits) << row.bytes;
        EXPECT_EQ(decimal.scale, row.decimal.scale) << row.bytes;
        EXPECT_EQ(decimal.negative, row.decimal.negative) << row.bytes;
        const double nearest = static_cast<double>(decimal.digits) / std::pow(10.0, decimal.scale);
        EXPECT_EQ(Value(row.kind, row.bytes), Bits(decimal.negative ? -nearest : nearest)) << row.bytes;
    }
}

#if LDBL_MANT_DIG == 64
// On processors whose long double is the 80-bit extended format (x87), the
// arithmetic that defines decimal values runs in hardware: divided by ten
// step by step, each quotient rounded to a 64-bit significand.
std::uint64_t ByExtendedHardware(std::uint64_t digits, int scale, bool negative)
{
    volatile long double x = static_cast<long double>(digits);
    for (int i = 0; i < scale; ++i)
        x = x / 10.0L;
    return Bits(static_cast<double>(negative ? -x : x));
}

std::uint64_t Packed(std::uint64_t digits, int scale, bool negative)
{
    std::string packed;
    for (int i = 0; i < 9; ++i, digits /= 100)
        packed += static_cast<char>(digits % 10 | (digits / 10 % 10) << 4);
    return Value('p', packed + static_cast<char>(scale | (negative ? 0x80 : 0)));
}

// Random packed decimals of up to 18 digits (above and below 2^53, where the
// quick routes end) and any scale, and the integers next to m * 10^scale for
// points m halfway between two doubles: the quick route's hardware division
// must agree even there.
TEST(ValueConversions, PackedDecimalsMatchTheExtendedHardware)
{
    std::mt19937_64 random(4242);
    for (int run = 0; run < 200'000; ++run) {
        const std::uint64_t digits = random() % (run % 2 ? 1'000'000'000'000'000'000ull : 10'000'000ull);
        const int scale = static_cast<int>(random() % (run % 4 == 0 ? 128 : 31));
        ASSERT_EQ(Packed(digits, scale, run & 2), ByExtendedHardware(digits, scale, run & 2)) << digits << "/" << scale;
    }
    for (int run = 0; run < 100'000; ++run) {
        const int scale = 1 + static_cast<int>(random() % 22);
        long double power = 1;
        for (int i = 0; i < scale; ++i)
            power *= 10; // exact up to 10^27
        const double f = std::ldexp(static_cast<double>(random() >> 11), -53) * 0x1p53 / static_cast<double>(power);
        const long double near = (f + static_cast<long double>(std::nextafter(f, 1e300))) / 2 * power;
        for (std::uint64_t digits = static_cast<std::uint64_t>(near) - 1; near > 2 && near < 0x1p53L && digits <= near + 2;
             ++digits)
            ASSERT_EQ(Packed(digits, scale, digits & 1), ByExtendedHardware(digits, scale, digits & 1))
                << digits << "/" << scale;
    }
}
#endif

} // namespace
} // namespace zorbik
