#include "codepage/RowText.h"

#include "codepage/CodePages.h"

namespace zorbik {

std::string FormatDecimal(std::uint32_t value)
{
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::string text;
    text.reserve(static_cast<std::size_t>(n));
    while (n > 0)
        text.push_back(digits[--n]);
    return text;
}

std::string FormatHexByte(std::uint8_t byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F], 'h'};
}

std::string ByteCharText(std::uint8_t byte, UiLanguage language, std::uint16_t codePage)
{
    // By the character: EBCDIC's controls and blank lie elsewhere.
    const char32_t c = CodePageChar(byte, codePage);
    if (c < 33)
        return std::string(ControlCharName(static_cast<std::uint8_t>(c), language));
    std::string text(Text(MessageId::CharacterPrefix, language));
    text += '"';
    text += CodePageCharUtf8(byte, codePage);
    text += '"';
    return text;
}

} // namespace zorbik
