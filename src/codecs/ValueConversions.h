// Turns the bytes of numeric fields into the IEEE 754 doubles that NUMBER
// cells carry. Results are defined bit for bit by 80-bit extended arithmetic
// and emulated in integers, so they are the same on every processor; quick
// routes through plain IEEE double arithmetic are taken only where they are
// proven to give the same bits.
#pragma once

#include <cstdint>

namespace zorbik {

// What ConvertDecimal reads.
enum class DecimalSource : std::uint8_t { Text, Packed };

// The IEEE single in the first 4 bytes of `buffer`, widened in place to an
// IEEE double over its first 8 bytes. NaNs come out quiet.
void WidenSingle(std::uint8_t buffer[8]);

// A decimal text (at most 20 bytes up to the first zero byte, blanks and
// plus signs left out) or a 10-byte packed decimal with a scale in byte 9,
// as a little-endian double. The value is that of the packed number loaded
// into an 80-bit extended register, divided by ten `scale` times with
// rounding to a 64-bit significand each time, then rounded once to binary64.
void ConvertDecimal(DecimalSource kind, const std::uint8_t* source, std::uint8_t result[8]);

// A decimal ConvertDecimal reads: digits / 10^scale with a sign.
struct ShortDecimal {
    std::uint64_t digits = 0;
    int scale = 0;
    bool negative = false;
};

// What ConvertDecimal reads from `source`, where its double is the one
// nearest to that decimal (a scale of at most 3) and the decimal has at
// most 15 digits, so that no other decimal of as few digits gives the
// same double. False for every other source.
bool ReadShortDecimal(DecimalSource kind, const std::uint8_t* source, ShortDecimal& decimal);

} // namespace zorbik
