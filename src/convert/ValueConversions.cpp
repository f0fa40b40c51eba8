#include "convert/ValueConversions.h"

#include <cstring>

namespace zorbik {
namespace {

using u128 = unsigned __int128;

void StoreLe64(std::uint64_t bits, std::uint8_t out[8])
{
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

int BitLength(u128 v)
{
    const auto high = static_cast<std::uint64_t>(v >> 64);
    if (high != 0)
        return 128 - __builtin_clzll(high);
    const auto low = static_cast<std::uint64_t>(v);
    return low == 0 ? 0 : 64 - __builtin_clzll(low);
}

// Shifts `v` right by `shift` bits and rounds to nearest, ties to even.
// `sticky` says that bits below `v` were already lost and were not zero.
u128 ShiftRound(u128 v, int shift, bool sticky)
{
    if (shift <= 0)
        return v << -shift;
    const u128 kept = v >> shift;
    const u128 rest = v - (kept << shift);
    const u128 half = u128{1} << (shift - 1);
    const bool roundUp = rest > half || (rest == half && (sticky || (kept & 1) != 0));
    return roundUp ? kept + 1 : kept;
}

// An extended-precision value: significand * 2^exponent, the significand
// normalised to 64 bits (top bit set) or zero.
struct Extended {
    std::uint64_t significand = 0;
    int exponent = 0;
};

Extended DivideByTen(Extended x)
{
    if (x.significand == 0)
        return x;
    const u128 numerator = static_cast<u128>(x.significand) << 64;
    const u128 quotient = numerator / 10;
    const bool sticky = numerator % 10 != 0;
    const int shift = BitLength(quotient) - 64;
    u128 rounded = ShiftRound(quotient, shift, sticky);
    int exponent = x.exponent - 64 + shift;
    if (BitLength(rounded) > 64) {
        rounded >>= 1; // a carry out of the top: the low bit is zero then
        ++exponent;
    }
    return {static_cast<std::uint64_t>(rounded), exponent};
}

std::uint64_t ToBinary64(Extended x, bool negative)
{
    const std::uint64_t sign = negative ? (std::uint64_t{1} << 63) : 0;
    if (x.significand == 0)
        return sign;
    // Every value reaching here lies between 1e-127 and 1e18: normal doubles.
    u128 mantissa = ShiftRound(x.significand, 11, false);
    int exponent = x.exponent + 11;
    if (mantissa >> 53) {
        mantissa >>= 1;
        ++exponent;
    }
    // value = mantissa * 2^exponent with mantissa in [2^52, 2^53)
    const std::uint64_t biased = static_cast<std::uint64_t>(exponent + 52 + 1023);
    return sign | (biased << 52) | (static_cast<std::uint64_t>(mantissa) & ((std::uint64_t{1} << 52) - 1));
}

Extended FromInteger(std::uint64_t value)
{
    if (value == 0)
        return {};
    const int lead = __builtin_clzll(value);
    return {value << lead, -lead};
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
    const std::uint32_t s = static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
                            static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
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
    // The 18 digits, least significant first. Nibbles above 9 are taken at
    // their face value, which keeps every input defined.
    std::uint64_t digits = 0;
    for (int i = 8; i >= 0; --i)
        digits = digits * 100 + static_cast<std::uint64_t>(packed[i] >> 4) * 10 + (packed[i] & 0x0F);
    const int scale = packed[9] & 0x7F;
    const bool negative = (packed[9] & 0x80) != 0;

    Extended x = FromInteger(digits);
    for (int i = 0; i < scale; ++i)
        x = DivideByTen(x);
    return ToBinary64(x, negative);
}

void ConvertDecimal(std::uint16_t mode, const std::uint8_t* source, std::uint8_t result[8])
{
    std::uint8_t packed[10];
    if ((mode & 0x8000) != 0)
        PackDecimalText(source, packed);
    else
        std::memcpy(packed, source, 10);
    StoreLe64(PackedDecimalToDouble(packed), result);
}

} // namespace zorbik
