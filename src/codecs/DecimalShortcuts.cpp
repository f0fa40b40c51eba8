#include "codecs/DecimalShortcuts.h"

#include <cmath>

namespace zorbik {
namespace {

#if FLT_EVAL_METHOD == 0
// With s = 1 to 22 divisions of an integer below 2^53 (10^s is then an
// exact double), the extended result stays within s * 2^-64 (relative) of
// the exact quotient, so both round to the same double, the correctly
// rounded quotient of one hardware division, unless a point halfway between
// two doubles lies that close. This measures that distance.
//
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

} // namespace

std::uint64_t DigitsToDoubleCarefully(std::uint64_t digits, int scale, bool negative)
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

} // namespace zorbik
