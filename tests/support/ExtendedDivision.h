// On x86 `long double` is the 80-bit extended format with a 64-bit
// significand, rounding to nearest: exactly the arithmetic the decimal
// values are defined by, for the integer emulation to agree with bit for bit.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define ZORBIK_EXTENDED_HARDWARE 1

namespace zorbik::testing {

// The bits of the double nearest to (negative ? -1 : 1) * digits / 10^scale,
// divided by ten step by step in the extended format.
inline std::uint64_t ByExtendedHardware(std::uint64_t digits, int scale, bool negative)
{
    volatile long double x = static_cast<long double>(digits);
    if (negative)
        x = -x;
    for (int i = 0; i < scale; ++i)
        x = x / 10.0L;
    const double d = static_cast<double>(x);
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    return bits;
}

} // namespace zorbik::testing
#endif
