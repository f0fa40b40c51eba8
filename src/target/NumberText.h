// A double as the shortest text that reads back to the same double, the
// text std::to_chars gives, but without its general search for the numbers
// converted files are full of: amounts with a few decimals and whole
// numbers, up to 15 digits. Such a value is an integer m over 10^s for the
// smallest s, and m's digits are then its shortest text; which of the
// fixed and the exponent form is written follows to_chars (the shorter, the
// fixed one on a tie).
#pragma once

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "codecs/LittleEndian.h"

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace zorbik {

// Room NumberText needs. It may write past the end it returns, within
// this room.
inline constexpr std::size_t kNumberTextSize = 40;

namespace number_text {

inline constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                          1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
// The most decimals the quick path tries.
inline constexpr int kMostDecimals = 8;
// Below this every decimal of the integer's digits is the only one that
// reads back to its double, so the digits are the shortest text.
inline constexpr double kExactLimit = 1e15;
// The values from which fewer than s decimals keep m below the limit.
inline constexpr double kDecimalsBelow[] = {1e15, 1e14, 1e13, 1e12, 1e11, 1e10, 1e9, 1e8, 1e7};

// Sixteen digits, one a byte, the first in the lowest byte of `low`.
struct DigitBytes {
    std::uint64_t low;
    std::uint64_t high;
};

// The eight decimal digits of `value` (below 10^8, leading zeros kept),
// one a byte, the first in the lowest byte: both halves of four digits
// divided by 100 at once, then the four pairs by 10.
inline std::uint64_t EightDigits(std::uint32_t value)
{
    const std::uint64_t halves = value / 10000 | std::uint64_t{value % 10000} << 32;
    const std::uint64_t hundreds = (halves * 10486 >> 20) & 0x0000007F0000007Full;
    const std::uint64_t pairs = hundreds | (halves - hundreds * 100) << 16;
    const std::uint64_t tens = (pairs * 103 >> 10) & 0x000F000F000F000Full;
    return tens | (pairs - tens * 10) << 8;
}

// The digits from byte `n` on (n below 16), the rest zero bytes.
inline DigitBytes Skip(DigitBytes d, int n)
{
    if (n >= 8)
        return {d.high >> (8 * (n - 8)), 0};
    if (n == 0)
        return d;
    return {d.low >> (8 * n) | d.high << (64 - 8 * n), d.high >> (8 * n)};
}

inline void Store(char* out, DigitBytes d)
{
    std::memcpy(out, &d.low, 8);
    std::memcpy(out + 8, &d.high, 8);
}

// `value` (below 10^16) as sixteen digits, leading zeros kept.
#if defined(__SSE2__) && defined(__x86_64__)
// Its four groups of four digits side by side in a vector register, each
// divided by 100 at once, then the eight parts by 10.
inline DigitBytes SixteenDigits(std::uint64_t value)
{
    const auto high = static_cast<long long>(value / 100'000'000);
    const auto low = static_cast<long long>(value % 100'000'000);
    // Both halves divided by 10000 at once: v / 10000 is v * 0xD1B71759
    // >> 45 below 10^8. Quotient and remainder side by side in the low
    // 32 bits of each half, then those two words together.
    const __m128i halves = _mm_set_epi64x(low, high);
    const __m128i quotients = _mm_srli_epi64(_mm_mul_epu32(halves, _mm_set1_epi32(static_cast<int>(0xD1B71759))), 45);
    const __m128i remainders = _mm_sub_epi32(halves, _mm_mul_epu32(quotients, _mm_set1_epi32(10000)));
    const __m128i pairs4 = _mm_or_si128(quotients, _mm_slli_epi64(remainders, 16));
    const __m128i groups = _mm_shuffle_epi32(pairs4, _MM_SHUFFLE(3, 1, 2, 0));
    // v / 100 is v * 5243 >> 19 below 10000, and v / 10 is v * 103 >> 10
    // below 100.
    const __m128i hundreds = _mm_srli_epi16(_mm_mulhi_epu16(groups, _mm_set1_epi16(5243)), 3);
    const __m128i pairs = _mm_unpacklo_epi16(hundreds, _mm_sub_epi16(groups, _mm_mullo_epi16(hundreds, _mm_set1_epi16(100))));
    const __m128i tens = _mm_srli_epi16(_mm_mullo_epi16(pairs, _mm_set1_epi16(103)), 10);
    const __m128i ones = _mm_sub_epi16(pairs, _mm_mullo_epi16(tens, _mm_set1_epi16(10)));
    const __m128i digits = _mm_or_si128(tens, _mm_slli_epi16(ones, 8));
    return {static_cast<std::uint64_t>(_mm_cvtsi128_si64(digits)),
            static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(digits, digits)))};
}
#else
inline DigitBytes SixteenDigits(std::uint64_t value)
{
    return {EightDigits(static_cast<std::uint32_t>(value / 100'000'000)),
            EightDigits(static_cast<std::uint32_t>(value % 100'000'000))};
}
#endif

// The zero digits before the first other one, of digits not all zero.
inline int LeadingZeros(DigitBytes d)
{
    return d.low != 0 ? std::countr_zero(d.low) / 8 : 8 + std::countr_zero(d.high) / 8;
}

// The zero digits after the last other one, of digits not all zero.
inline int TrailingZeros(DigitBytes d)
{
    return d.high != 0 ? std::countl_zero(d.high) / 8 : 8 + std::countl_zero(d.low) / 8;
}

inline constexpr std::uint64_t kZeros = 0x3030303030303030ull; // '0' eight times

// The digits from byte `n` on (n below 16) as characters.
inline DigitBytes Characters(DigitBytes d, int n)
{
    return Skip({d.low + kZeros, d.high + kZeros}, n);
}

// `digits` (n of them, at most 16, no trailing zero, the first in the
// lowest byte) times 10^exponent, as to_chars would write it, after the
// sign. Writes up to 32 bytes.
inline char* Place(DigitBytes digits, int n, int exponent, char* out)
{
    const int whole = n + exponent; // digits before the point
    if (exponent < 0 && whole > 0) {
        // A point among the digits: the fixed form is always the shorter.
        Store(out, digits);
        out[whole] = '.';
        Store(out + whole + 1, Skip(digits, whole));
        return out + n + 1;
    }
    const int fixedLength = exponent >= 0 ? n + exponent : (n > -exponent ? n + 1 : 2 - exponent);
    const int scientificExponent = exponent + n - 1;
    const int magnitude = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    const int scientificLength = n + (n > 1 ? 1 : 0) + 2 + (magnitude >= 100 ? 3 : 2);
    if (fixedLength > scientificLength) {
        *out++ = static_cast<char>(digits.low);
        if (n > 1) {
            *out++ = '.';
            Store(out, Skip(digits, 1));
            out += n - 1;
        }
        *out++ = 'e';
        *out++ = scientificExponent < 0 ? '-' : '+';
        if (magnitude < 10)
            *out++ = '0';
        return std::to_chars(out, out + 4, magnitude).ptr;
    }
    // The fixed form is the shorter only with a few zeros: at most 5 after
    // the digits, at most 3 after the point.
    if (exponent >= 0) {
        Store(out, digits);
        std::memset(out + n, '0', 8);
        return out + n + exponent;
    }
    std::memcpy(out, "0.000000", 8);
    Store(out + 2 - whole, digits);
    return out + 2 - whole + n;
}

inline constexpr std::uint64_t kTens[] = {1,
                                          10,
                                          100,
                                          1000,
                                          10000,
                                          100000,
                                          1000000,
                                          10000000,
                                          100000000,
                                          1000000000,
                                          10000000000,
                                          100000000000,
                                          1000000000000,
                                          10000000000000,
                                          100000000000000,
                                          1000000000000000,
                                          10000000000000000};

// Digits not all zero (as SixteenDigits gives them) times 10^exponent, as
// to_chars writes them, after the sign: the zeros before the first and
// after the last other digit left out.
inline char* PlaceDigits(DigitBytes raw, int exponent, char* out)
{
    const int leading = LeadingZeros(raw);
    const int trailing = TrailingZeros(raw);
    return Place(Characters(raw, leading), 16 - leading - trailing, trailing + exponent, out);
}

// A value from 1 up to 10^15 that needs more digits than the quick path
// makes, as whole doubles of 16 and 17 digits do. Its shortest text is the
// decimal of 15, 16 or 17 digits nearest to it that reads back to it, the
// first such length from `shortest` on: at 15 digits at most one decimal
// lies close enough, at 17 the nearest always does. The nearest decimal
// and its distance are exact in integers, `magnitude` being M / 2^shift.
// Null on an exact tie between two decimals, which is left to to_chars.
// (A power of two, whose gap below is half the gap above, is a whole
// number the quick path writes.)
inline char* LongDigits(double magnitude, bool negative, char* out, int shortest = 15)
{
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int exponent2 = static_cast<int>(bits >> 52) - 1023;
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    // From 1 up to 10^15 the exponent lies in 0..49: the shift in 3..52,
    // and what lies below the unit fits the product's low word.
    const int shift = 52 - exponent2;
    // Digits before the point, from the binary exponent and one comparison.
    int whole = (exponent2 + 1) * 1233 >> 12;
    whole += magnitude >= kPowersOfTen[whole] ? 1 : 0;
    const std::uint64_t unit = std::uint64_t{1} << shift;
    const std::uint64_t half = unit >> 1;
    for (int length = shortest; length <= 17; ++length) {
        const int decimals = length - whole;
        const std::uint64_t power = kTens[decimals];
        const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * power;
        const auto low = static_cast<std::uint64_t>(scaled);
        auto nearest = static_cast<std::uint64_t>(scaled >> 64) << (64 - shift) | low >> shift;
        std::uint64_t distance = low & (unit - 1);
        if (distance == half)
            return nullptr;
        if (distance > half) {
            ++nearest;
            distance = unit - distance;
        }
        // Read back, the decimal rounds to the value when it lies within
        // half the value's gap, the border included for an even mantissa.
        const std::uint64_t twice = distance * 2;
        if (twice > power || (twice == power && (mantissa & 1) != 0))
            continue;
        if (negative)
            *out++ = '-';
        // Up to 16 digits: a decimal rounded up to a power of ten has
        // already been found at 15.
        if (nearest < kTens[16])
            return PlaceDigits(SixteenDigits(nearest), -decimals, out);
        // Seventeen digits, none of them a trailing zero (the decimal would
        // have been found at 16), always in the fixed form.
        const DigitBytes rest = Characters(SixteenDigits(nearest % kTens[16]), 0);
        *out = static_cast<char>('0' + nearest / kTens[16]);
        Store(out + 1, rest);
        out[whole] = '.';
        Store(out + whole + 1, Skip(rest, whole - 1));
        return out + 18;
    }
    return nullptr;
}

} // namespace number_text

// Writes `value`'s shortest text to `out` (kNumberTextSize bytes of room)
// and returns its end. NaN and the infinities are not written here.
inline char* NumberText(double value, char* out)
{
    using namespace number_text;
    const double magnitude = std::fabs(value);
    if (magnitude < kExactLimit && magnitude != 0) {
        // The most decimals that keep m below the limit: if any s gives
        // the value, this one does too, with zeros at the end.
        int s = kMostDecimals;
        while (s > 0 && magnitude >= kDecimalsBelow[s])
            --s;
        const double m = static_cast<double>(static_cast<std::int64_t>(magnitude * kPowersOfTen[s] + 0.5));
        if (m != 0 && m < kExactLimit && m / kPowersOfTen[s] == magnitude) {
            if (std::signbit(value))
                *out++ = '-';
            return PlaceDigits(SixteenDigits(static_cast<std::uint64_t>(m)), -s, out);
        }
        // From 10^6 on, s gives m 15 digits, and the quick path has ruled
        // out every decimal of 15: one that read back would lie within a
        // ninth of m's last digit, closer than the products' errors reach.
        if (magnitude >= 1)
            if (char* end = LongDigits(magnitude, std::signbit(value), out, magnitude >= 1e6 ? 16 : 15))
                return end;
    }
    return std::to_chars(out, out + kNumberTextSize, value).ptr;
}

// Writes `value` as to_chars does, up to 20 digits and a sign, to `out`
// (24 bytes of room) and returns its end.
inline char* IntegerText(std::uint64_t value, bool negative, char* out)
{
    using namespace number_text;
    if (negative)
        *out++ = '-';
    if (value >= 10'000'000'000'000'000ull)
        return std::to_chars(out, out + 20, value).ptr;
    if (value < 100'000'000) { // one word of digits: most integers of records
        const std::uint64_t raw = EightDigits(static_cast<std::uint32_t>(value));
        const int leading = raw != 0 ? std::countr_zero(raw) / 8 : 7; // "0" for zero
        const std::uint64_t digits = (raw + kZeros) >> (8 * leading);
        std::memcpy(out, &digits, 8);
        return out + 8 - leading;
    }
    const DigitBytes raw = SixteenDigits(value);
    const int leading = LeadingZeros(raw);
    Store(out, Characters(raw, leading));
    return out + 16 - leading;
}

inline char* IntegerText(std::int64_t value, char* out)
{
    const auto magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    return IntegerText(magnitude, value < 0, out);
}

// Writes what NumberText writes for the double nearest to `digits` (below
// 10^15) over 10^scale (at most 3), with its sign: at most 15 digits are
// the only ones of their length that read back to that double, so they
// are its shortest text, less the zeros at their end. With decimals that
// are not all zero the fixed form is the shorter, and the digits before
// and after the point are written apart. Up to 32 bytes.
inline char* DecimalText(std::uint64_t digits, int scale, bool negative, char* out)
{
    if (negative)
        *out++ = '-';
    if (digits == 0) {
        *out = '0';
        return out + 1;
    }
    std::uint64_t whole = digits;
    unsigned thousandths = 0; // the decimals as three digits
    switch (scale) {
    case 1:
        whole = digits / 10;
        thousandths = static_cast<unsigned>(digits % 10) * 100;
        break;
    case 2:
        whole = digits / 100;
        thousandths = static_cast<unsigned>(digits % 100) * 10;
        break;
    case 3:
        whole = digits / 1000;
        thousandths = static_cast<unsigned>(digits % 1000);
        break;
    default:
        break;
    }
    if (thousandths == 0)
        return number_text::PlaceDigits(number_text::SixteenDigits(digits), -scale, out);
    out = IntegerText(whole, false, out);
    const char decimals[4] = {'.', static_cast<char>('0' + thousandths / 100),
                              static_cast<char>('0' + thousandths / 10 % 10), static_cast<char>('0' + thousandths % 10)};
    std::memcpy(out, decimals, 4);
    return out + (thousandths % 10 != 0 ? 4 : thousandths % 100 != 0 ? 3 : 2);
}

// Writes what DecimalText writes for the value of a 10-byte packed decimal
// (18 digit places in bytes 0 to 8, two to a byte, the least significant
// first; the sign in bit 7 of byte 9, the scale in its bits 0 to 6),
// straight from its places, which hold decimal digits already: they are
// only spread out one to a byte. Null, with nothing written, for a scale
// above 3, more than 15 digits or a place above 9, which take the long way.
inline char* PackedText(const std::uint8_t packed[10], char* out)
{
    const int scale = packed[9] & 0x7F;
    const std::uint64_t places = LoadLe64(packed); // the 16 lowest places
    constexpr std::uint64_t kHigh = 0x8888888888888888ull;
    // A place above 9 has its bit 3 and bit 2 or 1 set.
    if (scale > 3 || packed[8] != 0 || places >> 60 != 0 || (places & (places << 1 | places << 2) & kHigh) != 0)
        return nullptr;
    // The most significant place first: byte j then holds places 15 - 2j
    // (high) and 14 - 2j (low), and each byte is spread to two.
    const std::uint64_t pairs = __builtin_bswap64(places);
    auto spread = [](std::uint64_t four) {
        four = (four | four << 16) & 0x0000FFFF0000FFFFull;
        four = (four | four << 8) & 0x00FF00FF00FF00FFull;
        constexpr std::uint64_t kLow = 0x000F000F000F000Full;
        return (four >> 4 & kLow) | (four & kLow) << 8;
    };
    const number_text::DigitBytes digits{spread(pairs & 0xFFFFFFFF), spread(pairs >> 32)};
    if ((packed[9] & 0x80) != 0)
        *out++ = '-';
    if ((digits.low | digits.high) == 0) {
        *out = '0';
        return out + 1;
    }
    return number_text::PlaceDigits(digits, -scale, out);
}

} // namespace zorbik
