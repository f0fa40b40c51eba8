#include "target/TextDecoder.h"

#include "codepage/CodePages.h"

namespace zorbik {

TextDecoder::TextDecoder(std::uint16_t codePage)
{
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        char32_t cp = CodePageChar(static_cast<std::uint8_t>(byte), codePage);
        Utf8Char& c = high_[byte - 0x80];
        c.undefined = !CodePageDefines(static_cast<std::uint8_t>(byte), codePage);
        if (c.undefined)
            cp = 0xFFFD;
        if (cp < 0x800) {
            c.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            c.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
            c.bytes[2] = 0;
            c.length = 2;
        } else {
            c.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            c.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            c.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
            c.length = 3;
        }
    }
}

} // namespace zorbik
