// A double as the shortest text that reads back to the same double, the
// text std::to_chars gives, but without its general search for the numbers
// converted files are full of: amounts with a few decimals and whole
// numbers, up to 15 digits. Such a value is an integer m over 10^s for the
// smallest s, and m's digits are then its shortest text; which of the
// fixed and the exponent form is written follows to_chars (the shorter, the
// fixed one on a tie).
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace zorbik {

// Room NumberText needs.
inline constexpr std::size_t kNumberTextSize = 32;

namespace number_text {

inline constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
// Below this every decimal of the integer's digits is the only one that
// reads back to its double, so the digits are the shortest text.
inline constexpr double kExactLimit = 1e15;

// `digits` (n of them, no trailing zero) times 10^exponent, as to_chars
// would write it, after the sign.
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
            std::memcpy(out, digits + 1, static_cast<std::size_t>(n - 1));
            out += n - 1;
        }
        *out++ = 'e';
        *out++ = scientificExponent < 0 ? '-' : '+';
        if (magnitude < 10)
            *out++ = '0';
        return std::to_chars(out, out + 4, magnitude).ptr;
    }
    if (exponent >= 0) {
        std::memcpy(out, digits, static_cast<std::size_t>(n));
        out += n;
        std::memset(out, '0', static_cast<std::size_t>(exponent));
        return out + exponent;
    }
    const int whole = n + exponent; // digits before the point
    if (whole > 0) {
        std::memcpy(out, digits, static_cast<std::size_t>(whole));
        out += whole;
        *out++ = '.';
        std::memcpy(out, digits + whole, static_cast<std::size_t>(n - whole));
        return out + (n - whole);
    }
    *out++ = '0';
    *out++ = '.';
    std::memset(out, '0', static_cast<std::size_t>(-whole));
    out += -whole;
    std::memcpy(out, digits, static_cast<std::size_t>(n));
    return out + n;
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
        while (s > 0 && magnitude * kPowers[s] >= kExactLimit)
            --s;
        const double m = static_cast<double>(static_cast<std::int64_t>(magnitude * kPowers[s] + 0.5));
        if (m != 0 && m < kExactLimit && m / kPowers[s] == magnitude) {
            auto integer = static_cast<std::uint64_t>(m);
            int exponent = -s;
            while (integer % 10 == 0) {
                integer /= 10;
                ++exponent;
            }
            char digits[20];
            const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, integer).ptr - digits);
            if (std::signbit(value))
                *out++ = '-';
            return Place(digits, n, exponent, out);
        }
    }
    return std::to_chars(out, out + kNumberTextSize, value).ptr;
}

} // namespace zorbik
