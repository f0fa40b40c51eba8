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

namespace zorbik {

// Room NumberText needs. It may write past the end it returns, within
// this room.
inline constexpr std::size_t kNumberTextSize = 40;

namespace number_text {

inline constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
// Below this every decimal of the integer's digits is the only one that
// reads back to its double, so the digits are the shortest text.
inline constexpr double kExactLimit = 1e15;
// The values from which fewer than s decimals keep m below the limit.
inline constexpr double kDecimalsBelow[] = {1e15, 1e14, 1e13, 1e12, 1e11, 1e10, 1e9, 1e8, 1e7};

inline constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                 "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                 "8081828384858687888990919293949596979899";

// Writes the digits of `integer` (below 10^16) so that they end at `end`;
// returns how many there are.
inline int Digits(std::uint64_t integer, char* end)
{
    char* at = end;
    while (integer >= 100) {
        at -= 2;
        std::memcpy(at, kPairs + 2 * (integer % 100), 2);
        integer /= 100;
    }
    if (integer >= 10) {
        at -= 2;
        std::memcpy(at, kPairs + 2 * integer, 2);
    } else {
        *--at = static_cast<char>('0' + integer);
    }
    return static_cast<int>(end - at);
}

// `digits` (n of them, at most 15, no trailing zero, with 16 bytes
// readable) times 10^exponent, as to_chars would write it, after the sign.
// Writes up to 32 bytes.
inline char* Place(const char* digits, int n, int exponent, char* out)
{
    const int fixedLength = exponent >= 0 ? n + exponent : (n > -exponent ? n + 1 : 2 - exponent);
    const int scientificExponent = exponent + n - 1;
    const int magnitude = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    const int scientificLength = n + (n > 1 ? 1 : 0) + 2 + (magnitude >= 100 ? 3 : 2);
    if (fixedLength > scientificLength) {
        *out++ = digits[0];
        if (n > 1) {
            *out++ = '.';
            std::memcpy(out, digits + 1, 16);
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
        std::memcpy(out, digits, 16);
        std::memset(out + n, '0', 8);
        return out + n + exponent;
    }
    const int whole = n + exponent; // digits before the point
    if (whole > 0) {
        std::memcpy(out, digits, 16);
        out[whole] = '.';
        std::memcpy(out + whole + 1, digits + whole, 16);
        return out + n + 1;
    }
    std::memcpy(out, "0.000000", 8);
    std::memcpy(out + 2 - whole, digits, 16);
    return out + 2 - whole + n;
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
        int s = static_cast<int>(sizeof kPowers / sizeof kPowers[0]) - 1;
        while (s > 0 && magnitude >= kDecimalsBelow[s])
            --s;
        const double m = static_cast<double>(static_cast<std::int64_t>(magnitude * kPowers[s] + 0.5));
        if (m != 0 && m < kExactLimit && m / kPowers[s] == magnitude) {
            auto integer = static_cast<std::uint64_t>(m);
            int exponent = -s;
            while (integer % 100 == 0) {
                integer /= 100;
                exponent += 2;
            }
            if (integer % 10 == 0) {
                integer /= 10;
                ++exponent;
            }
            char digits[40] = {};
            const int n = Digits(integer, digits + 16);
            if (std::signbit(value))
                *out++ = '-';
            return Place(digits + 16 - n, n, exponent, out);
        }
    }
    return std::to_chars(out, out + kNumberTextSize, value).ptr;
}

} // namespace zorbik
