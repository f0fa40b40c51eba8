#include <gtest/gtest.h>

#include "layout/LayoutFile.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(LayoutFile, ReadsRowsMarkersAndTypes)
{
    const char* text = "# a comment\n"
                       "\n"
                       "16 LineBegin Text\r\n"
                       "  26\tColumnBegin   BinInteger  \n"
                       "27 ColumnEnd\n"
                       "30 ByteMark Bcd\n"
                       "31 Unmarked DecimalNumber\n"
                       "43 LineEnd BinReal"; // no final newline
    std::vector<LayoutEntry> entries;
    ASSERT_FALSE(ParseLayout(text, 100, entries));
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].row, 16);
    EXPECT_EQ(entries[0].marker, MarkerKind::LineBegin);
    EXPECT_EQ(entries[0].type, FieldType::Text);
    EXPECT_EQ(entries[1].type, FieldType::BinInteger);
    EXPECT_EQ(entries[2].type, FieldType::None);
    EXPECT_EQ(entries[4].marker, MarkerKind::Unmarked);
    EXPECT_EQ(entries[4].type, FieldType::DecimalNumber);
    EXPECT_EQ(entries[5].row, 43);
    EXPECT_EQ(entries[5].line, 8);
}

TEST(LayoutFile, RefusesBadLinesNamingTheLine)
{
    const struct {
        const char* text;
        int line;
        const char* words; // part of the message
    } rows[] = {
        {"1 LineBegin\n2 Linebegin\n", 2, "unknown marker"},
        {"1 LineBegin\n\n# x\n-5 LineEnd\n", 4, "not a byte number"},
        {"99999999999999999999 LineEnd\n", 1, "past the end"},
        {"100 LineEnd\n", 1, "past the end"},
        {"99 LineEnd\n", 0, ""},
        {"1 LineBegin\n1 LineEnd\n", 2, "listed twice"},
        {"1\n", 1, "expected ROW MARKER"},
        {"1 LineBegin Text extra\n", 1, "expected ROW MARKER"},
        {"1 LineBegin Texts\n", 1, "unknown field type"},
        {"0x10 LineBegin\n", 1, "not a byte number"},
        {"\x01\xff\xfe garbage\n", 1, "not a byte number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<LayoutEntry> entries;
        const LayoutParseError error = ParseLayout(row.text, 100, entries);
        EXPECT_EQ(error.line, row.line);
        if (row.line != 0) {
            EXPECT_NE(error.message.find("line " + std::to_string(row.line) + ":"), std::string::npos) << error.message;
            EXPECT_NE(error.message.find(row.words), std::string::npos) << error.message;
        }
    }
}

TEST(LayoutFile, AByteOrderMarkIsSkipped)
{
    std::vector<LayoutEntry> entries;
    ASSERT_FALSE(ParseLayout("\xEF\xBB\xBF" "0 LineBegin\r\n3 LineEnd\r\n", 10, entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].row, 0);
}

TEST(LayoutFile, RowsOfHugeSourcesStopAtTheLastMarkableRow)
{
    std::vector<LayoutEntry> entries;
    EXPECT_FALSE(ParseLayout("2147483646 LineEnd\n", 0xFFFFFFFFu, entries));
    const LayoutParseError error = ParseLayout("2147483647 LineEnd\n", 0xFFFFFFFFu, entries);
    EXPECT_EQ(error.line, 1);
    EXPECT_NE(error.message.find("last row that can be marked"), std::string::npos) << error.message;
}

TEST(LayoutFile, WritesWhatItReads)
{
    RowStore store = MakeStore(50, {{3, LB, FieldType::Text},
                                    {5, CB},
                                    {7, BM, FieldType::BinReal},
                                    {9, CE, FieldType::Bcd},
                                    {11, NO, FieldType::DecimalNumber},
                                    {20, LE}},
                                UiLanguage::German);
    const std::string text = FormatLayout(store);
    std::vector<LayoutEntry> entries;
    ASSERT_FALSE(ParseLayout(text, 50, entries));
    RowStore back(UiLanguage::German);
    back.AddRows(50);
    ApplyLayout(entries, back);
    EXPECT_EQ(back.Markers(), store.Markers());
    EXPECT_EQ(back.FieldTypes(), store.FieldTypes());
    EXPECT_NE(text.find("11 Unmarked DecimalNumber\n"), std::string::npos);
}

} // namespace
} // namespace zorbik
