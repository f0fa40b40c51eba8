// zorbik-convert with layouts at the limits of the marks: marks on the first
// and the last byte of the source, a record as long as the file, columns
// after the record end that run past the end of the source, the one-byte
// leading and trailing columns, and 65534 and 65535 columns.
#include <gtest/gtest.h>

#include <sstream>

#include "ConvertCommand.h"
#include "support/SheetReader.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

class LayoutLimits : public ::testing::Test {
protected:
    void WriteSource(std::size_t size)
    {
        source.clear();
        for (std::size_t i = 0; i < size; ++i)
            source.push_back(static_cast<std::uint8_t>('a' + i % 26));
        WriteFile(sourcePath, source);
    }

    // Converts with the layout text; returns the sheet read back.
    Sheet ConvertWith(const std::string& layout, int wantCode = ExitOk)
    {
        WriteFile(layoutPath, layout);
        std::ostringstream out;
        std::ostringstream err;
        CommandIo io{out, err, false, nullptr, nullptr, "en_US.UTF-8"};
        const int code = RunConvertCommand({"--layout", layoutPath, "--force", sourcePath, targetPath}, io);
        messages = err.str();
        EXPECT_EQ(code, wantCode) << messages;
        Sheet sheet = ReadSheet(ReadFile(targetPath));
        EXPECT_TRUE(sheet.wellFormed) << sheet.error;
        return sheet;
    }

    std::string Bytes(std::size_t first, std::size_t count) const
    {
        return {source.begin() + static_cast<std::ptrdiff_t>(first),
                source.begin() + static_cast<std::ptrdiff_t>(first + count)};
    }

    TempDir dir;
    std::string sourcePath = dir / "source.dat";
    std::string layoutPath = dir / "layout.txt";
    std::string targetPath = dir / "out.xls";
    std::vector<std::uint8_t> source;
    std::string messages;
};

TEST_F(LayoutLimits, ARecordAsLongAsTheFileWithMarksOnItsFirstAndLastByte)
{
    WriteSource(40);
    Sheet sheet = ConvertWith("0 LineBegin\n39 LineEnd\n");
    ASSERT_EQ(sheet.rowRecords.size(), 1u);
    ASSERT_EQ(sheet.cells.size(), 1u);
    EXPECT_EQ(sheet.cells[0].text, Bytes(0, 40)); // no column marks: the whole record

    // A typed record begin right before the first column and a typed record
    // end right after the last: one-byte leading and trailing columns.
    sheet = ConvertWith("0 LineBegin BinInteger\n1 ColumnBegin\n38 ColumnEnd\n39 LineEnd Text\n");
    ASSERT_EQ(sheet.cells.size(), 3u);
    EXPECT_EQ(sheet.cells[0].kind, Cell::Integer);
    EXPECT_EQ(sheet.cells[0].integer, source[0]);
    EXPECT_EQ(sheet.cells[1].text, Bytes(1, 38));
    EXPECT_EQ(sheet.cells[2].kind, Cell::Label);
    EXPECT_EQ(sheet.cells[2].text, Bytes(39, 1));
}

TEST_F(LayoutLimits, ColumnsAfterTheRecordEndStopAtTheEndOfTheSource)
{
    WriteSource(40);
    // Records of 4 bytes; a text column at rows 30-39 and an integer column
    // at rows 38-39 lie beyond the record, up to the last byte of the file.
    const Sheet sheet = ConvertWith("0 LineBegin\n1 ColumnBegin\n2 ColumnEnd\n3 LineEnd\n30 ColumnBegin Text\n"
                                    "37 ColumnEnd\n38 ColumnBegin BinInteger\n39 ColumnEnd\n");
    ASSERT_EQ(sheet.rowRecords.size(), 10u);
    ASSERT_EQ(sheet.cells.size(), 30u);
    for (std::size_t k = 0; k < 10; ++k) {
        SCOPED_TRACE(k);
        const Cell& text = sheet.cells[3 * k + 1];
        const Cell& number = sheet.cells[3 * k + 2];
        const std::size_t from = 30 + 4 * k;
        const std::size_t present = from >= 40 ? 0 : std::min<std::size_t>(8, 40 - from);
        EXPECT_EQ(text.text, Bytes(std::min<std::size_t>(from, 40), present));
        // Absent bytes count as zero: the last records read 0 or 2 bytes.
        const std::size_t at = 38 + 4 * k;
        const unsigned want = at + 1 < 40 ? source[at] | source[at + 1] << 8 : 0;
        EXPECT_EQ(number.kind, Cell::Integer);
        EXPECT_EQ(number.integer, want);
    }
}

// 65534 column pairs fill a record of 131070 bytes; a typed record begin
// adds a leading column for 65535, which is cut back to 65534 with message
// 40 (the last column is the one dropped).
TEST_F(LayoutLimits, ColumnsAreClampedTo65534)
{
    struct Row {
        bool leading;
        bool warned;
    };
    for (const Row row : {Row{false, false}, Row{true, true}}) {
        SCOPED_TRACE(row.leading);
        const std::size_t first = row.leading ? 2 : 1;
        WriteSource(first + 2 * 65534 + 1);
        std::string layout = row.leading ? "0 LineBegin Text\n" : "0 LineBegin\n";
        for (std::size_t c = 0; c < 65534; ++c)
            layout += std::to_string(first + 2 * c) + " ColumnBegin\n" + std::to_string(first + 2 * c + 1) +
                      " ColumnEnd\n";
        layout += std::to_string(source.size() - 1) + " LineEnd\n";

        const Sheet sheet = ConvertWith(layout);
        EXPECT_EQ(messages, row.warned ? "zorbik-convert: warning: More than 65534 columns;\n"
                                         "maximum columns is selected!\n"
                                       : "");
        EXPECT_EQ(sheet.dimColumns, 65534);
        ASSERT_EQ(sheet.cells.size(), 65534u);
        EXPECT_EQ(sheet.cells.front().text, row.leading ? Bytes(0, 2) : Bytes(1, 2));
        EXPECT_EQ(sheet.cells.back().column, 65533);
        const std::size_t lastPair = row.leading ? 65532 : 65533;
        EXPECT_EQ(sheet.cells.back().text, Bytes(first + 2 * lastPair, 2));
    }
}

} // namespace
} // namespace zorbik
