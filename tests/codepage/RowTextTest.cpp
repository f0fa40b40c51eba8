#include <gtest/gtest.h>

#include "codepage/RowText.h"

namespace zorbik {
namespace {

TEST(RowText, TheTextsOfAByteRow)
{
    const struct {
        std::uint8_t byte;
        const char* hex;
        const char* german;
        const char* english;
        std::uint16_t page = 1252;
    } rows[] = {
        {0x00, "00h", "Fernschreiber-Code(Leer)", "Teletype-Code(Null)"},
        {0x20, "20h", "Leertaste", "Space"},
        {0x21, "21h", "ANSI-Zeichen:\"!\"", "ANSI-character:\"!\""},
        {0x80, "80h", "ANSI-Zeichen:\"€\"", "ANSI-character:\"€\""},
        {0x81, "81h", "ANSI-Zeichen:\"\u0081\"", "ANSI-character:\"\u0081\""}, // not assigned in 1252
        {0xAF, "AFh", "ANSI-Zeichen:\"¯\"", "ANSI-character:\"¯\""},
        {0xFF, "FFh", "ANSI-Zeichen:\"ÿ\"", "ANSI-character:\"ÿ\""},
        // EBCDIC's blank and controls are named as the characters they are.
        {0x40, "40h", "Leertaste", "Space", 273},
        {0x25, "25h", "Zeilenvorschub", "Line Feed", 37},
        {0xC1, "C1h", "ANSI-Zeichen:\"A\"", "ANSI-character:\"A\"", 500},
        {0x9F, "9Fh", "ANSI-Zeichen:\"€\"", "ANSI-character:\"€\"", 1140},
        // A byte of UTF-8 beyond ASCII is no character by itself.
        {0xC3, "C3h", "ANSI-Zeichen:\"\uFFFD\"", "ANSI-character:\"\uFFFD\"", 65001},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatHexByte(row.byte), row.hex);
        EXPECT_EQ(ByteCharText(row.byte, UiLanguage::German, row.page), row.german);
        EXPECT_EQ(ByteCharText(row.byte, UiLanguage::English, row.page), row.english);
    }
    for (const std::uint32_t n : {0u, 9u, 1024u, 4294967295u})
        EXPECT_EQ(FormatDecimal(n), std::to_string(n));
}

} // namespace
} // namespace zorbik
