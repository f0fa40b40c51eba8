// The quick routes of ConvertDecimal against the slow ones: the hardware
// division it takes for small scales must give the bits of the step by step
// extended-precision division even for quotients next to a point halfway
// between two doubles, and the direct reading of plain decimal texts must
// give what packing the text first gives.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "convert/ValueConversions.h"
#include "support/ExtendedDivision.h"

namespace zorbik {
namespace {

using u128 = unsigned __int128;

std::uint64_t PackedBits(std::uint64_t digits, int scale, bool negative)
{
    std::uint8_t packed[10] = {};
    for (int i = 0; i < 9; ++i) {
        packed[i] = static_cast<std::uint8_t>(digits % 10 | (digits / 10 % 10) << 4);
        digits /= 100;
    }
    packed[9] = static_cast<std::uint8_t>(scale | (negative ? 0x80 : 0));
    std::uint8_t result[8];
    ConvertDecimal(kPackedDecimal, packed, result);
    std::uint64_t bits;
    std::memcpy(&bits, result, 8);
    return bits;
}

#ifdef ZORBIK_EXTENDED_HARDWARE
using zorbik::testing::ByExtendedHardware;

// Integers whose quotient by 10^scale lies as close as an integer can to a
// point halfway between two doubles: for a double f near the quotient and
// the halfway point m = (2F + 1) 2^(q-1) just above it, the integers next
// to m * 10^scale.
std::vector<std::uint64_t> NearHalfway(double f, int scale)
{
    std::uint64_t bits;
    std::memcpy(&bits, &f, 8);
    const std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    const int q = static_cast<int>(bits >> 52) - 1023 - 52;
    u128 five = 1;
    for (int i = 0; i < scale; ++i)
        five *= 5;
    // m * 10^scale = (2F + 1) * 5^scale * 2^(q - 1 + scale)
    const u128 odd = (static_cast<u128>(significand) * 2 + 1) * five;
    const int shift = -(q - 1 + scale);
    if (shift <= 0 || shift >= 128)
        return {};
    const u128 below = odd >> shift;
    std::vector<std::uint64_t> out;
    for (int d = -2; d <= 3; ++d) {
        const u128 candidate = below + static_cast<u128>(static_cast<std::int64_t>(d));
        if (candidate > 0 && candidate < (u128{1} << 53))
            out.push_back(static_cast<std::uint64_t>(candidate));
    }
    return out;
}

TEST(DecimalShortcuts, QuotientsNextToHalfwayPointsMatchTheExtendedDivision)
{
    std::mt19937_64 random(4242);
    int checked = 0;
    int mismatches = 0;
    for (int run = 0; run < 200'000; ++run) {
        const int scale = 1 + static_cast<int>(random() % 22);
        // A quotient of an integer below 2^53: up to 2^53 / 10^scale.
        const double top = 9007199254740992.0 / std::pow(10.0, scale);
        const double f = top * std::ldexp(static_cast<double>(random() >> 11), -53) + 1e-22;
        for (const std::uint64_t digits : NearHalfway(f, scale)) {
            const bool negative = (random() & 1) != 0;
            ++checked;
            if (PackedBits(digits, scale, negative) != ByExtendedHardware(digits, scale, negative) && ++mismatches < 10)
                ADD_FAILURE() << digits << " scale " << scale;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(checked, 500'000);
}

TEST(DecimalShortcuts, EveryScaleOfSmallAndLargeIntegersMatchesTheExtendedDivision)
{
    std::mt19937_64 random(99);
    for (int scale = 0; scale <= 30; ++scale) {
        for (int run = 0; run < 20'000; ++run) {
            // Up to 18 digits: above and below 2^53, where the shortcuts end.
            const std::uint64_t digits = random() % (run % 2 == 0 ? 1'000'000'000'000'000'000ull : 10'000'000ull);
            const bool negative = (run & 2) != 0;
            ASSERT_EQ(PackedBits(digits, scale, negative), ByExtendedHardware(digits, scale, negative))
                << digits << " scale " << scale;
        }
    }
}
#endif

std::uint64_t TextBits(const std::string& text)
{
    std::uint8_t field[20] = {};
    std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), 20));
    std::uint8_t result[8];
    ConvertDecimal(kDecimalText, field, result);
    std::uint64_t bits;
    std::memcpy(&bits, result, 8);
    return bits;
}

std::uint64_t PackedTextBits(const std::string& text)
{
    std::uint8_t field[20] = {};
    std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), 20));
    std::uint8_t packed[10];
    PackDecimalText(field, packed);
    return PackedDecimalToDouble(packed);
}

TEST(DecimalShortcuts, ReadingATextDirectlyGivesWhatPackingItGives)
{
    // Plain texts (what the direct reading takes) and texts just outside
    // that form: a second point, a minus elsewhere, blanks, letters, more
    // than 18 digits, no terminating zero byte within the 20.
    const std::string alphabet = "0123456789012345678901234567890123456789-.,  a\x01";
    std::mt19937 random(7);
    for (int run = 0; run < 300'000; ++run) {
        const std::size_t length = random() % 21;
        std::string text;
        if (run % 2 == 0) {
            if (random() % 3 == 0)
                text += '-';
            const std::size_t point = random() % (length + 1);
            for (std::size_t i = 0; i < length; ++i) {
                if (i == point && random() % 2 == 0)
                    text += random() % 2 == 0 ? '.' : ',';
                text += static_cast<char>('0' + random() % 10);
            }
            text.resize(std::min<std::size_t>(text.size(), 20));
        } else {
            for (std::size_t i = 0; i < length; ++i)
                text += alphabet[random() % alphabet.size()];
        }
        ASSERT_EQ(TextBits(text), PackedTextBits(text)) << '"' << text << '"';
    }
    for (const char* text : {"", "-", ".", "-.", ",5", "5,", "--5", "1.2.3", "-1-", "123456789012345678",
                             "1234567890123456789", "-123456789.123456789", "12345678901234567890"}) {
        EXPECT_EQ(TextBits(text), PackedTextBits(text)) << '"' << text << '"';
    }
}

} // namespace
} // namespace zorbik
