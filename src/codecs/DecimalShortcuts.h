// digits / 10^scale with the bits of DigitsToDoubleByTenths, through the
// hardware's correctly rounded double arithmetic wherever that is proven to
// give the same bits, and through the emulation elsewhere.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

#include "codecs/Extended80.h"

namespace zorbik {

// DigitsToDouble beyond its quick cases.
std::uint64_t DigitsToDoubleCarefully(std::uint64_t digits, int scale, bool negative);

#if FLT_EVAL_METHOD == 0
inline constexpr double kTenPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline std::uint64_t WithSign(double value, bool negative)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return (negative ? std::uint64_t{1} << 63 : 0) | bits;
}
#endif

// Without a scale the extended value is exact and the one rounding is that
// of the conversion. With s = 1 to 3 divisions of an integer below 2^53 the
// quotient keeps at least 2^-54 / 5^s (2^-61 for s = 3) away from every
// point halfway between two doubles, farther than the extended result's
// error of s * 2^-64, so both round to the same double.
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

} // namespace zorbik
