// The 80-bit extended-precision arithmetic that defines the value of a
// decimal number, emulated in integers so that every processor gives the
// same bits.
#pragma once

#include <cstdint>

namespace zorbik {

// digits / 10^scale as that arithmetic computes it: digits loaded exactly,
// divided by ten `scale` times with each quotient rounded to a 64-bit
// significand (to nearest, ties to even), then rounded once to binary64.
// Returns the bits of the double, with the sign bit set for `negative`.
std::uint64_t DigitsToDoubleByTenths(std::uint64_t digits, int scale, bool negative);

} // namespace zorbik
