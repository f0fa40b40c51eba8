// Numbers stored least significant byte first, as the source files' binary
// fields and the worksheet's records hold them, whatever the processor.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace zorbik {

// The first `n` bytes (0 to 4) as an unsigned number.
inline std::uint32_t LoadLe32(const std::uint8_t* bytes, std::uint32_t n = 4)
{
    switch (n) {
    case 0:
        return 0;
    case 1:
        return bytes[0];
    case 2:
        return bytes[0] | bytes[1] << 8;
    case 3:
        return bytes[0] | bytes[1] << 8 | bytes[2] << 16;
    default:
        return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    }
}

inline std::uint64_t LoadLe64(const std::uint8_t* bytes)
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

// The first `n` bytes (0 to 8) as an unsigned number, built in a register
// from loads of the bytes alone: no byte after them is read.
inline std::uint64_t LoadLeUpTo8(const std::uint8_t* bytes, std::uint32_t n)
{
    if (n >= 8)
        return LoadLe64(bytes);
    if (n >= 4) // two words of four, overlapping below 8
        return LoadLe32(bytes) | std::uint64_t{LoadLe32(bytes + n - 4)} << (8 * (n - 4));
    if (n == 0)
        return 0;
    return bytes[0] | std::uint64_t{bytes[n / 2]} << (8 * (n / 2)) | std::uint64_t{bytes[n - 1]} << (8 * (n - 1));
}

// The high bit of every byte of `eight` that is not zero, and no other bit.
constexpr std::uint64_t NonZeroBytes(std::uint64_t eight)
{
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    return (((eight & kLow7) + kLow7) | eight) & ~kLow7;
}

inline void StoreLe64(std::uint8_t* at, std::uint64_t v)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &v, 8);
    } else {
        for (int i = 0; i < 8; ++i)
            at[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

} // namespace zorbik
