// The 10-byte packed decimal: 18 digits in bytes 0 to 8, two to a byte and
// the least significant first, then a byte with the sign in bit 7 and the
// count of decimal places in bits 0 to 6.
#pragma once

#include <cstdint>

#include "codecs/LittleEndian.h"
#include "codecs/DecimalShortcuts.h"

namespace zorbik {

// The value of the 18 digit places, nibbles above 9 taken at their face
// value, which keeps every input defined. At most
// 165 * (100^9 - 1) / 99 < 2^61.
inline std::uint64_t PackedDigits(const std::uint8_t packed[10])
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

// A packed decimal as the bits of its double.
inline std::uint64_t PackedDecimalToDouble(const std::uint8_t packed[10])
{
    return DigitsToDouble(PackedDigits(packed), packed[9] & 0x7F, (packed[9] & 0x80) != 0);
}

} // namespace zorbik
