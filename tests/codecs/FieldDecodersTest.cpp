#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>
#include <vector>

#include "codecs/FieldDecoders.h"
#include "codecs/LittleEndian.h"

namespace zorbik {
namespace {

using Bytes = std::vector<std::uint8_t>;
using enum ZonedSign;
constexpr FieldStatus kOk = FieldStatus::Ok, kBad = FieldStatus::Invalid, kEmpty = FieldStatus::Empty;
constexpr double kInf = std::numeric_limits<double>::infinity(), kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInvalid = -1e300; // expected of bytes that are no value; no row's value

Bytes H(const char* hex) // "12345c"
{
    Bytes b;
    for (; *hex != 0; hex += 2)
        b.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex, 2), nullptr, 16)));
    return b;
}
Bytes A(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes D(double d) { Bytes b(8); StoreLe64(b.data(), std::bit_cast<std::uint64_t>(d)); return b; }

// kind: 'i'/'u' a signed/unsigned little-endian integer, 'I'/'U' big-endian, 'p'/'P' packed signed/unsigned, 'z'/'e' zoned in
// ASCII/EBCDIC, 'h' IBM float, 'x' Extended, 'r' Real48.
struct NumberRow { char kind; Bytes bytes; double expected; int scale = 0; ZonedSign sign = Trailing; };

FieldStatus Decode(const NumberRow& r, double& v)
{
    const auto n = static_cast<std::uint32_t>(r.bytes.size());
    const std::uint8_t* b = r.bytes.data();
    const bool isUnsigned = r.kind == 'u' || r.kind == 'U', big = r.kind == 'I' || r.kind == 'U';
    if (r.kind == 'p' || r.kind == 'P')
        return DecodePacked(b, n, r.scale, r.kind == 'P', v);
    if (r.kind == 'z' || r.kind == 'e')
        return DecodeZoned(b, n, r.scale, r.sign, r.kind == 'e', v);
    v = r.kind == 'h' ? DecodeIbmFloat(b, n) : r.kind == 'x' ? DecodeExtended(b) : r.kind == 'r' ? DecodeReal48(b)
      : ScaledInteger(DecodeInteger(b, n, big, isUnsigned), isUnsigned, r.scale);
    return kOk;
}

TEST(FieldDecoders, NumbersFromTheirBytes)
{
    const NumberRow rows[] = {
        {'i', H("3930"), 123.45, 2}, {'I', H("3039"), 12345}, {'i', H("ffffff"), -0.1, 1}, {'i', H("01"), 1e-23, 23},
        {'u', H("ffffff"), 16777215}, {'I', H("8000000000000000"), -0x1p63}, {'i', H("0100000000002000"), 0x1p53},
        {'U', H("ffffffffffffffff"), 1844674407370955.1615, 4},
        // GnuCOBOL 3.1: S9(5)V99 COMP-3 signed and unsigned, S9(4)V99 (a leading zero nibble), S9(21)V9(10)
        {'p', H("1234500c"), 12345.00, 2}, {'p', H("1234500d"), -12345.00, 2}, {'p', H("1234500f"), 12345.00, 2},
        {'p', H("0234500c"), 2345.00, 2},
        {'p', H("1234567890123456789012345678901d"), -123456789012345678901.2345678901, 10},
        {'p', H("9999999999999999999999999999999c"), 1e21, 10}, {'p', H("12345678901234567c"), 12345678901234567.0},
        {'p', H("5a"), 5}, {'p', H("5b"), -5}, {'p', H("1c"), 1e-31, 31}, {'p', H("1a0c"), kInvalid},
        {'p', H("a10c"), kInvalid}, {'P', H("123f"), 123}, {'P', H("123c"), 123}, {'P', H("123d"), kInvalid}, {'p', H("1239"), kInvalid}, {'p', {}, kInvalid}, {'p', Bytes(17, 1), kInvalid},
        // GnuCOBOL 3.1: S9(5)V99 and S9(21)V9(10) DISPLAY, trailing and leading, overpunched ('p'..'y' by default,
        // '{', 'A'..'I', '}', 'J'..'R' with -fsign=EBCDIC) or separate
        {'z', A("1234500"), 12345.00, 2}, {'z', A("123450p"), -12345.00, 2}, {'z', A("q234500"), -12345.00, 2, Leading},
        {'z', A("123450}"), -12345.00, 2}, {'z', A("123450{"), 12345.00, 2}, {'z', A("J234500"), -12345.00, 2, Leading},
        {'z', A("1234500+"), 12345.00, 2, SeparateTrailing}, {'z', A("-1234500"), -12345.00, 2, SeparateLeading},
        {'z', A("123456789012345678901234567890q"), -123456789012345678901.2345678901, 10},
        {'z', A("q234567890123456789012345678901"), -123456789012345678901.2345678901, 10, Leading},
        {'z', A("1y"), -19}, {'z', A("1A"), 11}, {'z', A("1I"), 19}, {'z', A("1J"), -11}, {'z', A("1R"), -19},
        {'z', A("000p"), 0}, {'z', A("12 4"), kInvalid}, {'z', A("1p3"), kInvalid}, {'z', A("12a"), kInvalid},
        {'z', A("12*"), kInvalid, 0, SeparateTrailing}, {'z', A("-"), kInvalid, 0, SeparateLeading},
        {'z', {}, kInvalid}, {'z', Bytes(32, '1'), kInvalid}, {'e', H("313233"), kInvalid}, {'e', H("f1c9"), 19},
        {'e', H("f1d9"), -19}, {'e', H("f1a5"), 15}, {'e', H("f1b5"), -15}, {'e', H("f1e5"), 15}, {'e', H("f1f0"), 10},
        {'e', H("c1f2f3"), 123, 0, Leading}, {'e', H("60f1f2"), -12, 0, SeparateLeading},
        {'e', H("f1f24e"), 12, 0, SeparateTrailing}, {'e', H("f1fac3"), kInvalid}, {'e', H("f1f243"), kInvalid},
        {'e', H("c1f2c3"), kInvalid}, {'e', H("f1f22b"), kInvalid, 0, SeparateTrailing},
        // IBM: 100, -118.625 and 1 as the literature gives them; the largest; the long form's rounding
        {'h', H("42640000"), 100.0}, {'h', H("c276a000"), -118.625}, {'h', H("41100000"), 1.0},
        {'h', H("80000000"), -0.0}, {'h', H("7fffffff"), 0x1.fffffep+251}, {'h', H("401999999999999a"), 0.1},
        {'h', H("41ffffffffffffff"), 16.0}, {'h', H("4180000000000004"), 8.0},
        {'h', H("418000000000000c"), 8 + 0x1p-48}, {'h', H("4101000000000001"), 0.0625 + 0x1p-52},
        {'h', H("4110000000"), kNaN},
        // fpc 3.2.2 Extended: 0.1, 1.5e-320; then ties, limits and NaNs
        {'x', H("cdccccccccccccccfb3f"), 0.1}, {'x', H("9caaa175718ac0bdd83b"), 1.5e-320},
        {'x', H("0004000000000080ff3f"), 1.0}, {'x', H("000c000000000080ff3f"), 1 + 0x1p-51},
        {'x', H("0104000000000080ff3f"), 1 + 0x1p-52}, {'x', H("ffffffffffffffffff3f"), 2.0},
        {'x', H("0000000000000040ff3f"), 0.5}, {'x', H("0000000000000080ff43"), kInf},
        {'x', H("00fcfffffffffffffe43"), kInf}, {'x', H("fffbfffffffffffffe43"), 0x1.fffffffffffffp+1023},
        {'x', H("0000000000000080cd3b"), 0x1p-1074}, {'x', H("0000000000000080cc3b"), 0},
        {'x', H("00000000000000c0cc3b"), 0x1p-1074}, {'x', H("0000000000000080cbbb"), -0.0},
        {'x', H("ffffffffffffffff003c"), 0x1p-1022}, {'x', H("0000000000000080ffff"), -kInf},
        {'x', H("0000000000000000ff7f"), kInf}, {'x', H("00000000000000c0ff7f"), kNaN},
        {'x', H("0008000000000080ffff"), std::bit_cast<double>(0xfff8000000000001)},
        // fpc 3.2.2 Real48 (real48utils): 1, 0.1, pi, 1e-30, 1.5e30, -118.625, 0.75
        {'r', H("810000000000"), 1.0}, {'r', H("7dcccccccc4c"), 0x1.9999999998p-4},
        {'r', H("8221a2da0f49"), 0x1.921fb54442p+1}, {'r', H("0012345678ff"), 0},
        {'r', H("1d5ef75f4222"), 0x1.4484bfeebcp-100}, {'r', H("e5c359177617"), 0x1.2eec2eb386p+100},
        {'r', H("8700000040ed"), -118.625}, {'r', H("800000000040"), 0.75},
        {'r', H("ffffffffff7f"), 0x1.fffffffffep+126},
    };
    for (const NumberRow& row : rows) {
        double value = kInvalid;
        const bool invalid = row.expected == kInvalid;
        ASSERT_EQ(Decode(row, value), invalid ? kBad : kOk) << row.kind << testing::PrintToString(row.bytes);
        EXPECT_TRUE(invalid || std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(row.expected))
            << row.kind << testing::PrintToString(row.bytes) << " gives " << value;
    }
}

TEST(FieldDecoders, DatesAndTheirDayNumbers)
{
    using enum DateForm;
    const struct { DateForm form; Bytes bytes; FieldStatus status; DateValue date = {}; double serial = 0; } rows[] = {
        {YYYYMMDD, A("20240229"), kOk, {2024, 2, 29}, 45351}, {YYYYMMDD, A("20000229"), kOk, {2000, 2, 29}, 36585},
        {YYYYMMDD, A("20230229"), kBad}, {YYYYMMDD, A("19000229"), kBad}, {YYYYMMDD, A("20231301"), kBad},
        {YYYYMMDD, A("20230431"), kBad}, {YYYYMMDD, A("00000101"), kBad}, {YYYYMMDD, A("20230100"), kBad},
        {YYYYMMDD, A("2024-1-1"), kBad}, {YYYYMMDD, H("f2f0f2f4f0f1f3f1"), kOk, {2024, 1, 31}, 45322},
        {YYMMDD, A("491231"), kOk, {2049, 12, 31}, 54788}, {YYMMDD, A("500101"), kOk, {1950, 1, 1}, 18264},
        {DDMMYYYY, A("31122023"), kOk, {2023, 12, 31}, 45291}, {MMDDYYYY, A("12312023"), kOk, {2023, 12, 31}, 45291},
        {YYYYDDD, A("2024366"), kOk, {2024, 12, 31}, 45657}, {YYYYDDD, A("2024060"), kOk, {2024, 2, 29}, 45351},
        {YYYYDDD, A("2023366"), kBad}, {YYYYDDD, A("2024000"), kBad}, {YYYYDDD, A("0000001"), kBad},
        {YYYYMMDD, A("        "), kEmpty}, {YYYYMMDD, H("4040404040404040"), kEmpty}, {YYMMDD, A("000000"), kEmpty},
        {YYYYDDD, H("f0f0f0f0f0f0f0"), kEmpty}, {Days1899, D(0), kEmpty}, {YYYYMMDD, A("0000 000"), kBad},
        {Days1899, D(1), kOk, {1899, 12, 31}, 1}, {Days1899, D(45351.5), kOk, {2024, 2, 29, true, 43200000}, 45351.5},
        // TDateTime's -1.25 is 1899-12-29 06:00, which a spreadsheet counts on from the day before
        {Days1899, D(-1.25), kOk, {1899, 12, 29, true, 21600000}, -0.75},
        {Days1899, D(45351 + 1234.4 / 86400000), kOk, {2024, 2, 29, true, 1234},
         (45351 * 86400000.0 + 1234) / 86400000},
        {Days1899, D(45351.9999999999), kOk, {2024, 3, 1, true, 0}, 45352},
        {Days1899, D(-693593), kOk, {1, 1, 1}, -693593},
        {Days1899, D(2958465.5), kOk, {9999, 12, 31, true, 43200000}, 2958465.5}, {Days1899, D(-693594), kBad},
        {Days1899, D(2958466), kBad}, {Days1899, D(2958465.9999999999), kBad}, {Days1899, D(kNaN), kBad},
    };
    for (const auto& row : rows) {
        DateValue date{7, 7, 7, true, 7};
        ASSERT_EQ(DateWidth(row.form), row.bytes.size()) << testing::PrintToString(row.bytes);
        ASSERT_EQ(DecodeDate(row.bytes.data(), row.form, date), row.status) << testing::PrintToString(row.bytes);
        EXPECT_TRUE(row.status != kOk || (date == row.date && SerialDay(date) == row.serial))
            << testing::PrintToString(row.bytes) << ": " << date.year << "-" << int(date.month) << "-" << int(date.day)
            << " " << date.millisecond;
    }
}

TEST(FieldDecoders, PascalStringLongerThanItsFieldIsClipped)
{
    bool clipped[2];
    EXPECT_EQ(PascalTextLength(A("\3abc").data(), 4, clipped[0]), 3u);
    EXPECT_EQ(PascalTextLength(A("\5ab").data(), 3, clipped[1]), 2u);
    EXPECT_TRUE(!clipped[0] && clipped[1]);
}

} // namespace
} // namespace zorbik
