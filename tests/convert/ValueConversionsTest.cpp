#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "convert/ValueConversions.h"
#include "support/ExtendedDivision.h"

namespace zorbik {
namespace {

std::string Hex(const std::uint8_t* bytes, int n)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            out += ' ';
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

std::string DecimalText(const char* text)
{
    std::uint8_t field[20] = {};
    std::memcpy(field, text, std::min<std::size_t>(std::strlen(text), 20));
    std::uint8_t result[8];
    ConvertDecimal(kDecimalText, field, result);
    return Hex(result, 8);
}

std::string Packed(std::initializer_list<std::uint8_t> bytes)
{
    std::uint8_t field[10] = {};
    std::copy(bytes.begin(), bytes.end(), field);
    std::uint8_t result[8];
    ConvertDecimal(kPackedDecimal, field, result);
    return Hex(result, 8);
}

std::string DoubleBytes(double d)
{
    std::uint8_t b[8];
    std::memcpy(b, &d, 8);
    return Hex(b, 8);
}

TEST(WidenInteger, SignedPatterns)
{
    const std::pair<std::uint32_t, double> rows[] = {
        {0x00010000, 65536.0}, {0x7fffffff, 2147483647.0}, {0x80000000, -2147483648.0}, {0xffffffff, -1.0},
        {0x00ffffff, 16777215.0},
    };
    for (const auto& [value, expected] : rows) {
        std::uint8_t result[8];
        WidenInteger(value, result);
        EXPECT_EQ(Hex(result, 8), DoubleBytes(expected)) << value;
    }
}

TEST(WidenSingle, ExactWideningOfEveryClass)
{
    const struct {
        std::uint8_t in[4];
        const char* out;
    } rows[] = {
        {{0x00, 0x00, 0x80, 0x3f}, "00 00 00 00 00 00 f0 3f"}, // 1.0
        {{0x00, 0x00, 0x80, 0x7f}, "00 00 00 00 00 00 f0 7f"}, // +infinity
        {{0x00, 0x00, 0x80, 0xff}, "00 00 00 00 00 00 f0 ff"}, // -infinity
        {{0x00, 0x00, 0x00, 0x80}, "00 00 00 00 00 00 00 80"}, // -0
        {{0x01, 0x00, 0x00, 0x00}, "00 00 00 00 00 00 a0 36"}, // 2^-149, now a normal double
        {{0x00, 0x00, 0xc0, 0x7f}, "00 00 00 00 00 00 f8 7f"}, // quiet NaN
        {{0x01, 0x00, 0x80, 0x7f}, "00 00 00 20 00 00 f8 7f"}, // signalling NaN comes out quiet, payload kept
    };
    for (const auto& row : rows) {
        std::uint8_t buffer[8] = {row.in[0], row.in[1], row.in[2], row.in[3], 0xAA, 0xAA, 0xAA, 0xAA};
        WidenSingle(buffer);
        EXPECT_EQ(Hex(buffer, 8), row.out) << Hex(row.in, 4);
    }
}

TEST(WidenSingle, AgreesWithTheHardwareForEveryNonNaNPattern)
{
    // Every 4099th pattern plus the subnormal edge: the hardware widening is
    // exact for all of them, so the two must agree bit for bit.
    for (std::uint64_t p = 0; p <= 0xffffffffu; p += 4099) {
        const auto bits = static_cast<std::uint32_t>(p);
        float f;
        std::memcpy(&f, &bits, 4);
        if (std::isnan(f))
            continue;
        std::uint8_t buffer[8];
        std::memcpy(buffer, &bits, 4);
        WidenSingle(buffer);
        EXPECT_EQ(Hex(buffer, 8), DoubleBytes(static_cast<double>(f))) << bits;
    }
}

TEST(ConvertDecimal, TextExamples)
{
    const std::pair<const char*, const char*> rows[] = {
        {"11.1993", "83 2f 4c a6 0a 66 26 40"},
        {"12,5", "00 00 00 00 00 00 29 40"},
        {"-12.5", "00 00 00 00 00 00 29 c0"},
        {"0.1", "9a 99 99 99 99 99 b9 3f"},
        {"0.609597", "b8 ab 57 91 d1 81 e3 3f"}, // one below the nearest double: extended division
        {"-11.50", "00 00 00 00 00 00 27 c0"},
        {"0042", "00 00 00 00 00 00 45 40"},
        {"", "00 00 00 00 00 00 00 00"},
        {"-", "00 00 00 00 00 00 00 80"},
        {"-0", "00 00 00 00 00 00 00 80"},
        {"12.", "00 00 00 00 00 00 28 40"},
        {"999999999999999999", "00 c8 4e 67 6d c1 ab 43"}, // 18 digits fit; the double rounds
    };
    for (const auto& [text, bytes] : rows)
        EXPECT_EQ(DecimalText(text), bytes) << '"' << text << '"';
}

TEST(ConvertDecimal, TextEndsAtTheFirstZeroByte)
{
    const std::uint8_t field[20] = {'1', '2', 0, '3'};
    std::uint8_t result[8];
    ConvertDecimal(kDecimalText, field, result);
    EXPECT_EQ(Hex(result, 8), DoubleBytes(12.0));
}

TEST(ConvertDecimal, PackingAText)
{
    const std::pair<const char*, const char*> rows[] = {
        {"-11.50", "50 11 00 00 00 00 00 00 00 82"},
        {"11.1993", "93 19 11 00 00 00 00 00 00 04"},
        {"0042", "42 00 00 00 00 00 00 00 00 00"},
        {"123", "23 01 00 00 00 00 00 00 00 00"},
    };
    for (const auto& [text, bytes] : rows) {
        std::uint8_t field[20] = {};
        std::memcpy(field, text, std::strlen(text));
        std::uint8_t packed[10];
        PackDecimalText(field, packed);
        EXPECT_EQ(Hex(packed, 10), bytes) << text;
    }
}

TEST(ConvertDecimal, NothingCarriesOverFromTheTextBefore)
{
    EXPECT_EQ(DecimalText("12345"), DoubleBytes(12345.0));
    EXPECT_EQ(DecimalText("7"), DoubleBytes(7.0));
    EXPECT_EQ(DecimalText("-5"), DoubleBytes(-5.0));
    EXPECT_EQ(DecimalText("5"), DoubleBytes(5.0));
}

TEST(ConvertDecimal, PackedExamples)
{
    EXPECT_EQ(Packed({0x45, 0x23, 0x01}), DoubleBytes(12345.0));
    EXPECT_EQ(Packed({0x45, 0x23, 0x01, 0, 0, 0, 0, 0, 0, 0x80}), DoubleBytes(-12345.0));
    EXPECT_EQ(Packed({0x45, 0x23, 0x01, 0, 0, 0, 0, 0, 0, 0x02}), DoubleBytes(123.45));
    EXPECT_EQ(Packed({0x45, 0x23, 0x01, 0, 0, 0, 0, 0, 0, 0x82}), DoubleBytes(-123.45));
    EXPECT_EQ(Packed({}), DoubleBytes(0.0));
    // 127 decimal places of the largest number still give a normal double.
    const std::uint8_t tiny[10] = {0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x7f};
    const std::uint64_t bits = PackedDecimalToDouble(tiny);
    double value;
    std::memcpy(&value, &bits, 8);
    EXPECT_NEAR(value / 1e-109, 1.0, 1e-15);
}

#ifdef ZORBIK_EXTENDED_HARDWARE
using zorbik::testing::ByExtendedHardware;

TEST(ConvertDecimal, AgreesWithExtendedPrecisionHardware)
{
    std::mt19937_64 random(20261206);
    const int kRuns = 2'000'000;
    int mismatches = 0;
    for (int run = 0; run < kRuns; ++run) {
        // Mix digit counts so that short and long numbers are both common.
        const int length = 1 + static_cast<int>(random() % 18);
        std::uint64_t digits = 0;
        std::uint8_t packed[10] = {};
        for (int d = 0; d < length; ++d) {
            const auto digit = static_cast<std::uint8_t>(random() % 10);
            digits = digits * 10 + digit;
        }
        std::uint64_t v = digits;
        for (int i = 0; i < 9; ++i) {
            packed[i] = static_cast<std::uint8_t>((v % 10) | ((v / 10 % 10) << 4));
            v /= 100;
        }
        const int scale = run % 4 == 0 ? static_cast<int>(random() % 128) : static_cast<int>(random() % 20);
        const bool negative = (random() & 1) != 0;
        packed[9] = static_cast<std::uint8_t>(scale | (negative ? 0x80 : 0));
        if (PackedDecimalToDouble(packed) != ByExtendedHardware(digits, scale, negative) && ++mismatches < 10)
            ADD_FAILURE() << digits << " scale " << scale << (negative ? " negative" : "");
    }
    EXPECT_EQ(mismatches, 0);
}
#endif

} // namespace
} // namespace zorbik
