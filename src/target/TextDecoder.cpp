#include "target/TextDecoder.h"

#include "codepage/CodePages.h"

namespace zorbik {

TextDecoder::TextDecoder(std::uint16_t codePage)
    : ascii_(KindOfCodePage(codePage) != CodePageKind::Ebcdic), utf8_(codePage == kUtf8CodePage)
{
    for (unsigned byte = 0; byte < 0x100; ++byte) {
        char32_t cp = CodePageChar(static_cast<std::uint8_t>(byte), codePage);
        Utf8Char& c = chars_[byte];
        c.undefined = !CodePageDefines(static_cast<std::uint8_t>(byte), codePage);
        if (c.undefined)
            cp = 0xFFFD;
        c.bytes[0] = c.bytes[1] = c.bytes[2] = 0;
        c.length = static_cast<std::uint8_t>(WriteUtf8(cp, c.bytes));
    }
}

} // namespace zorbik
