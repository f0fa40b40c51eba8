#include "codecs/ValueConversions.h"

#include <cstring>

#include "codecs/LittleEndian.h"
#include "codecs/DecimalShortcuts.h"
#include "codecs/DecimalText.h"
#include "codecs/PackedDecimal.h"

namespace zorbik {

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
    StoreLe64(buffer, bits);
}

namespace {

// A decimal text in the usual form, once its blanks and plus signs are
// left out; false for any other, which is packed from `text`: the source
// or `compact`.
bool ReadText(const std::uint8_t* source, std::uint8_t compact[20], const std::uint8_t*& text, ShortDecimal& decimal)
{
    text = source;
    if (ReadPlainDecimalText(text, decimal.digits, decimal.scale, decimal.negative))
        return true;
    // Fixed-width number fields come padded with blanks, and some programs
    // write a plus sign: both are left out.
    if (!LeaveOutBlanksAndPlus(source, compact))
        return false;
    text = compact;
    return ReadPlainDecimalText(text, decimal.digits, decimal.scale, decimal.negative);
}

} // namespace

void ConvertDecimal(DecimalSource kind, const std::uint8_t* source, std::uint8_t result[8])
{
    std::uint64_t bits;
    if (kind == DecimalSource::Packed) {
        bits = PackedDecimalToDouble(source);
    } else {
        ShortDecimal decimal;
        const std::uint8_t* text;
        std::uint8_t compact[20];
        if (ReadText(source, compact, text, decimal)) {
            bits = DigitsToDouble(decimal.digits, decimal.scale, decimal.negative);
        } else {
            std::uint8_t packed[10];
            PackDecimalText(text, packed);
            bits = PackedDecimalToDouble(packed);
        }
    }
    StoreLe64(result, bits);
}

bool ReadShortDecimal(DecimalSource kind, const std::uint8_t* source, ShortDecimal& decimal)
{
    if (kind == DecimalSource::Packed) {
        decimal = {PackedDigits(source), source[9] & 0x7F, (source[9] & 0x80) != 0};
    } else {
        const std::uint8_t* text;
        std::uint8_t compact[20];
        if (!ReadText(source, compact, text, decimal))
            return false;
    }
    // DigitsToDouble divides once, correctly rounded, up to a scale of 3.
    return decimal.scale <= 3 && decimal.digits < 1'000'000'000'000'000ull;
}

} // namespace zorbik
