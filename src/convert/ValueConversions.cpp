#include "convert/ValueConversions.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace zorbik {
namespace {

void StoreLe64(std::uint64_t bits, std::uint8_t out[8])
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &bits, 8);
    } else {
        for (int i = 0; i < 8; ++i)
            out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::uint64_t LoadLe64(const std::uint8_t* bytes)
{
    std::uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, bytes, 8);
    } else {
        for (int i = 7; i >= 0; --i)
            v = v << 8 | bytes[i];
    }
    return v;
}

std::uint32_t LoadLe32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// An extended-precision value: significand * 2^exponent, the significand
// normalised to 64 bits (top bit set) or zero.
struct Extended {
    std::uint64_t significand = 0;
    int exponent = 0;
};

// floor(r * 2^64 / 10) for r = 0 .. 9.
constexpr std::uint64_t TenthOf2To64(unsigned r)
{
    return static_cast<std::uint64_t>((static_cast<unsigned __int128>(r) << 64) / 10);
}
constexpr std::uint64_t kTenthsOf2To64[10] = {
    TenthOf2To64(0), TenthOf2To64(1), TenthOf2To64(2), TenthOf2To64(3), TenthOf2To64(4),
    TenthOf2To64(5), TenthOf2To64(6), TenthOf2To64(7), TenthOf2To64(8), TenthOf2To64(9),
};

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
    const int n = 64 - __builtin_clzll(high);
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
    const int lead = __builtin_clzll(value);
    return {value << lead, -lead};
}

// The value of the 18 digit places of a packed decimal (bytes 0 to 8, the
// least significant first), nibbles above 9 taken at their face value,
// which keeps every input defined. At most 165 * (100^9 - 1) / 99 < 2^61.
std::uint64_t PackedDigits(const std::uint8_t packed[10])
{
    // All of bytes 0 to 7 at once: a byte 16 h + l becomes 10 h + l, then
    // neighbouring places are joined into 16-, 32- and 64-bit numbers.
    std::uint64_t x = LoadLe64(packed);
    x -= 6 * ((x >> 4) & 0x0F0F0F0F0F0F0F0Full);
    x = (x & 0x00FF00FF00FF00FFull) + ((x >> 8) & 0x00FF00FF00FF00FFull) * 100;
    x = (x & 0x0000FFFF0000FFFFull) + ((x >> 16) & 0x0000FFFF0000FFFFull) * 10000;
    x = (x & 0xFFFFFFFFull) + (x >> 32) * 100000000;
    const std::uint64_t top = packed[8] - 6u * (packed[8] >> 4);
    return top * 10000000000000000ull + x;
}

// digits / 10^scale step by step, as the extended-precision arithmetic
// computes it: each division by ten rounded to a 64-bit significand, the
// result rounded once more to binary64.
[[gnu::noinline]] std::uint64_t DigitsToDoubleByTenths(std::uint64_t digits, int scale, bool negative)
{
    Extended x = FromInteger(digits);
    for (int i = 0; i < scale; ++i)
        x = DivideByTen(x);
    return ToBinary64(x, negative);
}

#if FLT_EVAL_METHOD == 0
// Quick routes through the hardware's correctly rounded double arithmetic,
// taken where they give the bits of DigitsToDoubleByTenths. Without a
// scale the extended value is exact and the one rounding is that of the
// conversion. With s = 1 to 22 divisions of an integer below 2^53 (10^s is
// then an exact double), the extended result stays within s * 2^-64
// (relative) of the exact quotient, so both round to the same double, the
// correctly rounded quotient of one hardware division, unless a point
// halfway between two doubles lies that close. For s = 1 to 3 none can:
// the quotient keeps at least 2^-54 / 5^s (2^-61 for s = 3) away from all
// of them. For larger s the distance is measured (ClearOfHalfway).
constexpr double kTenPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

std::uint64_t WithSign(double value, bool negative)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return (negative ? std::uint64_t{1} << 63 : 0) | bits;
}

// Whether the exact quotient v = digits / p (p = 10^scale) lies farther
// than (scale + 2) * 2^-64 * v from both points halfway between f, the
// correctly rounded quotient, and its neighbouring doubles. e = f * p -
// digits is exact in a fused multiply-add: it is a multiple of f's last
// place times p's power of two, fewer than 2^53 of them. So v - f = -e / p,
// and the distances are compared multiplied by p.
bool ClearOfHalfway(double f, std::uint64_t digits, double p, int scale)
{
    const double e = std::fma(f, p, -static_cast<double>(digits));
    std::uint64_t bits;
    std::memcpy(&bits, &f, 8);
    // The place of f's last bit, and below a power of two the finer one.
    const std::uint64_t placeBits = (bits & 0x7FF0000000000000ull) - (std::uint64_t{52} << 52);
    double placeAbove;
    std::memcpy(&placeAbove, &placeBits, 8);
    const double placeBelow = (bits & 0x000FFFFFFFFFFFFFull) == 0 ? placeAbove / 2 : placeAbove;
    const double margin = (scale + 2) * 0x1p-64 * static_cast<double>(digits);
    return placeAbove / 2 * p + e > margin && placeBelow / 2 * p - e > margin;
}
#endif

// DigitsToDouble beyond its quick cases.
[[gnu::noinline]] std::uint64_t DigitsToDoubleCarefully(std::uint64_t digits, int scale, bool negative)
{
#if FLT_EVAL_METHOD == 0
    if (digits != 0 && scale <= 22 && digits < (std::uint64_t{1} << 53)) {
        const double value = static_cast<double>(digits) / kTenPowers[scale];
        if (ClearOfHalfway(value, digits, kTenPowers[scale], scale))
            return WithSign(value, negative);
    }
#endif
    return DigitsToDoubleByTenths(digits, scale, negative);
}

// digits / 10^scale with the bits of DigitsToDoubleByTenths.
inline std::uint64_t DigitsToDouble(std::uint64_t digits, int scale, bool negative)
{
#if FLT_EVAL_METHOD == 0
    if (scale == 0)
        return WithSign(static_cast<double>(digits), negative);
    if (scale <= 3 && digits < (std::uint64_t{1} << 53))
        return WithSign(static_cast<double>(digits) / kTenPowers[scale], negative);
#endif
    return DigitsToDoubleCarefully(digits, scale, negative);
}

// A packed decimal as the bits of its double.
inline std::uint64_t PackedBits(const std::uint8_t packed[10])
{
    return DigitsToDouble(PackedDigits(packed), packed[9] & 0x7F, (packed[9] & 0x80) != 0);
}

// The usual decimal text: an optional leading minus, then digits with at
// most one decimal point or comma among them, at most 18 digits. Reads its
// digits, scale and sign directly; false for any other text, which takes
// the packing route.
bool ReadPlainDecimalText(const std::uint8_t* text, std::uint64_t& digits, int& scale, bool& negative)
{
    negative = text[0] == '-';
    std::size_t i = negative ? 1 : 0;
    std::size_t point = 0;
    bool hasPoint = false;
    std::uint64_t value = 0;
    for (; i < 20; ++i) {
        const unsigned d = text[i] - static_cast<unsigned>('0');
        if (d <= 9) {
            value = value * 10 + d;
        } else if (text[i] == 0) {
            break;
        } else if ((text[i] == '.' || text[i] == ',') && !hasPoint) {
            hasPoint = true;
            point = i;
        } else {
            return false;
        }
    }
    // The text ends at i; more than 18 digits do not fit the packed form.
    const std::size_t count = i - (negative ? 1 : 0) - (hasPoint ? 1 : 0);
    if (count > 18)
        return false;
    digits = value;
    scale = hasPoint ? static_cast<int>(i - 1 - point) : 0;
    return true;
}

} // namespace

void WidenInteger(std::uint32_t value, std::uint8_t result[8])
{
    const double d = static_cast<double>(static_cast<std::int32_t>(value));
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    StoreLe64(bits, result);
}

void WidenSingle(std::uint8_t buffer[8])
{
    const std::uint32_t s = LoadLe32(buffer);
    const std::uint64_t sign = static_cast<std::uint64_t>(s >> 31) << 63;
    const std::uint32_t exponent = (s >> 23) & 0xFF;
    std::uint64_t fraction = s & 0x7FFFFF;
    std::uint64_t bits;
    if (exponent == 0xFF) {
        // Infinity keeps its form; a NaN keeps its payload and becomes quiet.
        bits = sign | (std::uint64_t{0x7FF} << 52) | (fraction << 29);
        if (fraction != 0)
            bits |= std::uint64_t{1} << 51;
    } else if (exponent == 0) {
        if (fraction == 0) {
            bits = sign;
        } else {
            // Subnormal single: normalise, the value is fraction * 2^-149.
            int e = -149;
            while ((fraction & (std::uint64_t{1} << 23)) == 0) {
                fraction <<= 1;
                --e;
            }
            // fraction in [2^23, 2^24): value = fraction * 2^e
            const std::uint64_t biased = static_cast<std::uint64_t>(e + 23 + 1023);
            bits = sign | (biased << 52) | ((fraction & 0x7FFFFF) << 29);
        }
    } else {
        bits = sign | (static_cast<std::uint64_t>(exponent - 127 + 1023) << 52) | (fraction << 29);
    }
    StoreLe64(bits, buffer);
}

void PackDecimalText(const std::uint8_t* text, std::uint8_t packed[10])
{
    std::memset(packed, 0, 10);
    std::size_t length = 0;
    while (length < 20 && text[length] != 0)
        ++length;

    bool highPhase = false;
    std::uint8_t pending = 0;
    std::size_t next = 0; // next digit byte; 19th and 20th digits land in byte 9
    for (std::size_t i = length; i-- > 0;) {
        const std::uint8_t c = text[i];
        if (c == '.' || c == ',') {
            packed[9] = static_cast<std::uint8_t>(length - 1 - i);
        } else if (c == '-') {
            packed[9] |= 0x80;
        } else {
            // Digits, and any other byte taken as a digit of value c - '0'.
            const auto d = static_cast<std::uint8_t>(c - '0');
            if (!highPhase) {
                pending = d;
                highPhase = true;
            } else {
                if (next < 10)
                    packed[next] = static_cast<std::uint8_t>(d * 16 + pending);
                ++next;
                highPhase = false;
            }
        }
    }
    if (highPhase && next < 10)
        packed[next] = pending;
}

std::uint64_t PackedDecimalToDouble(const std::uint8_t packed[10])
{
    return PackedBits(packed);
}

void ConvertDecimal(std::uint16_t mode, const std::uint8_t* source, std::uint8_t result[8])
{
    std::uint64_t bits;
    if ((mode & 0x8000) == 0) {
        bits = PackedBits(source);
    } else {
        std::uint64_t digits;
        int scale;
        bool negative;
        if (ReadPlainDecimalText(source, digits, scale, negative)) {
            bits = DigitsToDouble(digits, scale, negative);
        } else {
            std::uint8_t packed[10];
            PackDecimalText(source, packed);
            bits = PackedBits(packed);
        }
    }
    StoreLe64(bits, result);
}

} // namespace zorbik
