#include "codecs/DecimalText.h"

#include <cstring>

namespace zorbik {

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

} // namespace zorbik
