#include <gtest/gtest.h>

#include "source/RowText.h"

namespace zorbik {
namespace {

TEST(RowText, FormatDecimal)
{
    const std::pair<std::uint32_t, const char*> rows[] = {
        {0, "0"}, {9, "9"}, {10, "10"}, {1024, "1024"}, {2999, "2999"}, {1000000000, "1000000000"},
        {4294967295u, "4294967295"},
    };
    for (const auto& [value, text] : rows)
        EXPECT_EQ(FormatDecimal(value), text);
}

TEST(RowText, FormatHexByte)
{
    EXPECT_EQ(FormatHexByte(0x00), "00h");
    EXPECT_EQ(FormatHexByte(0x0A), "0Ah");
    EXPECT_EQ(FormatHexByte(0x41), "41h");
    EXPECT_EQ(FormatHexByte(0xAF), "AFh");
    EXPECT_EQ(FormatHexByte(0xFF), "FFh");
}

TEST(RowText, ByteCharText)
{
    struct Row {
        std::uint8_t byte;
        const char* german;
        const char* english;
    };
    const Row rows[] = {
        {0x00, "Fernschreiber-Code(Leer)", "Teletype-Code(Null)"},
        {0x0A, "Zeilenvorschub", "Line Feed"},
        {0x1B, "Escape-Sequenzen(Escape)", "Escape-Sequenzen(Escape)"},
        {0x20, "Leertaste", "Space"},
        {0x21, "ANSI-Zeichen:\"!\"", "ANSI-character:\"!\""},
        {0x22, "ANSI-Zeichen:\"\"\"", "ANSI-character:\"\"\""},
        {0x41, "ANSI-Zeichen:\"A\"", "ANSI-character:\"A\""},
        {0x7F, "ANSI-Zeichen:\"\x7F\"", "ANSI-character:\"\x7F\""},
        {0x80, "ANSI-Zeichen:\"€\"", "ANSI-character:\"€\""},
        {0x81, "ANSI-Zeichen:\"\u0081\"", "ANSI-character:\"\u0081\""},
        {0xE4, "ANSI-Zeichen:\"ä\"", "ANSI-character:\"ä\""},
        {0xFF, "ANSI-Zeichen:\"ÿ\"", "ANSI-character:\"ÿ\""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ByteCharText(row.byte, UiLanguage::German), row.german) << int(row.byte);
        EXPECT_EQ(ByteCharText(row.byte, UiLanguage::English), row.english) << int(row.byte);
    }
}

TEST(RowText, EveryByteHasAText)
{
    for (int b = 0; b < 256; ++b) {
        const std::string text = ByteCharText(static_cast<std::uint8_t>(b), UiLanguage::English);
        EXPECT_FALSE(text.empty()) << b;
        if (b >= 33) {
            EXPECT_EQ(text.rfind("ANSI-character:\"", 0), 0u) << b;
        }
    }
}

} // namespace
} // namespace zorbik
