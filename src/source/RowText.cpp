#include "source/RowText.h"

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

std::string Cp1252ToUtf8(std::uint8_t byte)
{
    // Code points of 0x80..0x9F; zero marks the five unassigned positions.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    char32_t cp = byte;
    if (byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] != 0)
        cp = kHigh[byte - 0x80];
    std::string out;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return out;
}

std::string ByteCharText(std::uint8_t byte, UiLanguage language)
{
    if (byte < 33)
        return std::string(LoadLocalisedString(byte, language));
    std::string text = language == UiLanguage::German ? "ANSI-Zeichen:\"" : "ANSI-character:\"";
    text += Cp1252ToUtf8(byte);
    text += '"';
    return text;
}

} // namespace zorbik
