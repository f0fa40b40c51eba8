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

void ConvertDecimal(DecimalSource kind, const std::uint8_t* source, std::uint8_t result[8])
{
    std::uint64_t bits;
    if (kind == DecimalSource::Packed) {
        bits = PackedDecimalToDouble(source);
    } else {
        std::uint64_t digits;
        int scale;
        bool negative;
        // Fixed-width number fields come padded with blanks, and some
        // programs write a plus sign: both are left out.
        const std::uint8_t* text = source;
        std::uint8_t compact[20];
        bool plain = ReadPlainDecimalText(text, digits, scale, negative);
        if (!plain && LeaveOutBlanksAndPlus(source, compact)) {
            text = compact;
            plain = ReadPlainDecimalText(text, digits, scale, negative);
        }
        if (plain) {
            bits = DigitsToDouble(digits, scale, negative);
        } else {
            std::uint8_t packed[10];
            PackDecimalText(text, packed);
            bits = PackedDecimalToDouble(packed);
        }
    }
    StoreLe64(result, bits);
}

} // namespace zorbik
