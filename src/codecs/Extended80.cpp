#include "codecs/Extended80.h"

#include <bit>

namespace zorbik {
namespace {

// An extended-precision value: significand * 2^exponent, the significand
// normalised to 64 bits (top bit set) or zero.
struct Extended {
    std::uint64_t significand = 0;
    int exponent = 0;
};

// floor(r * 2^64 / 10) for r = 0 .. 9: with 2^64 = 10 q + 6 that is
// r q + floor(6 r / 10).
constexpr std::uint64_t TenthOf2To64(unsigned r)
{
    constexpr std::uint64_t q = 0xFFFFFFFFFFFFFFFFull / 10; // (2^64 - 1) / 10 = (2^64 - 6) / 10
    return r * q + (6 * r) / 10;
}
constexpr std::uint64_t kTenthsOf2To64[10] = {
    TenthOf2To64(0), TenthOf2To64(1), TenthOf2To64(2), TenthOf2To64(3), TenthOf2To64(4),
    TenthOf2To64(5), TenthOf2To64(6), TenthOf2To64(7), TenthOf2To64(8), TenthOf2To64(9),
};
static_assert(TenthOf2To64(1) == 0x1999999999999999ull && TenthOf2To64(9) == 0xE666666666666666ull);

// x / 10 rounded to a 64-bit significand, to nearest, ties to even.
Extended DivideByTen(Extended x)
{
    if (x.significand == 0)
        return x;
    // The quotient significand * 2^64 / 10 without a 128-bit division: with
    // significand = 10 high + r it is high * 2^64 + low, low = r * 2^64 / 10,
    // and what is cut off below low (6 r mod 10 tenths) is zero only for
    // r = 0 and r = 5.
    const std::uint64_t high = x.significand / 10;
    const auto r = static_cast<unsigned>(x.significand - high * 10);
    const std::uint64_t low = kTenthsOf2To64[r];
    const bool sticky = r % 5 != 0;
    // high has n = 60 or 61 bits: the top 64 of the 64 + n quotient bits
    // are kept, the n below them decide the rounding.
    const int n = 64 - std::countl_zero(high);
    std::uint64_t kept = high << (64 - n) | low >> n;
    const std::uint64_t rest = low & ((std::uint64_t{1} << n) - 1);
    const std::uint64_t half = std::uint64_t{1} << (n - 1);
    int exponent = x.exponent - 64 + n;
    if (rest > half || (rest == half && (sticky || (kept & 1) != 0))) {
        if (++kept == 0) { // a carry out of the top
            kept = std::uint64_t{1} << 63;
            ++exponent;
        }
    }
    return {kept, exponent};
}

std::uint64_t ToBinary64(Extended x, bool negative)
{
    const std::uint64_t sign = negative ? (std::uint64_t{1} << 63) : 0;
    if (x.significand == 0)
        return sign;
    // Every value reaching here lies between 1e-127 and 1e18: normal doubles.
    // Round the 64-bit significand to 53 bits, to nearest, ties to even.
    std::uint64_t mantissa = x.significand >> 11;
    const std::uint64_t rest = x.significand & 0x7FF;
    int exponent = x.exponent + 11;
    if (rest > 0x400 || (rest == 0x400 && (mantissa & 1) != 0)) {
        if (++mantissa == std::uint64_t{1} << 53) {
            mantissa >>= 1;
            ++exponent;
        }
    }
    // value = mantissa * 2^exponent with mantissa in [2^52, 2^53)
    const std::uint64_t biased = static_cast<std::uint64_t>(exponent + 52 + 1023);
    return sign | (biased << 52) | (mantissa & ((std::uint64_t{1} << 52) - 1));
}

Extended FromInteger(std::uint64_t value)
{
    if (value == 0)
        return {};
    const int lead = std::countl_zero(value);
    return {value << lead, -lead};
}

} // namespace

std::uint64_t DigitsToDoubleByTenths(std::uint64_t digits, int scale, bool negative)
{
    Extended x = FromInteger(digits);
    for (int i = 0; i < scale; ++i)
        x = DivideByTen(x);
    return ToBinary64(x, negative);
}

} // namespace zorbik
