#include <gtest/gtest.h>

#include <atomic>

#include "sheet/OutputBuffer.h"
#include "sheet/SheetBytes.h"
#include "sheet/SheetWriter.h"
#include "support/Convert.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& v, std::size_t from, std::size_t n)
{
    return {v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(from + n)};
}

TEST(SheetWriter, HeaderAndTrailerAreTheFixedBytes)
{
    EXPECT_EQ(Slice({kSheetHeader.begin(), kSheetHeader.end()}, 0, 8), Bytes({0x09, 0, 0x04, 0, 0x07, 0, 0x10, 0}));
    // The records of the header chain up to exactly 680 bytes, DEFCOLWIDTH last.
    std::size_t pos = 0;
    int records = 0;
    std::uint16_t lastType = 0;
    while (pos < kSheetHeader.size()) {
        lastType = Le16(&kSheetHeader[pos]);
        pos += 4 + Le16(&kSheetHeader[pos + 2]);
        ++records;
    }
    EXPECT_EQ(pos, 680u);
    EXPECT_EQ(records, 58);
    EXPECT_EQ(lastType, 0x0055);
    EXPECT_EQ(Slice({kSheetTrailer.begin(), kSheetTrailer.end()}, 51, 4), Bytes({0x0a, 0, 0, 0}));
}

TEST(SheetWriter, RecordBytes)
{
    MemorySink sink;
    OutputBuffer out(sink);
    SheetWriter writer(out);
    writer.WriteDimensions(2, 3);
    writer.CurrentRow = 1;
    writer.CurrentColumn = 2;
    writer.WriteRowRecord(1, 3);
    const std::uint8_t text[] = {'H', 'i'};
    writer.WriteLabelCell(text, 2);
    writer.WriteLabelCell(text, 0);
    const std::uint8_t integer[] = {0xff, 0xff, 0x77, 0x77};
    writer.WriteIntegerCell(integer);
    const std::uint8_t number[] = {0, 0, 0, 0, 0, 0, 0xf0, 0x3f};
    writer.WriteNumberCell(number);
    out.Flush();
    EXPECT_EQ(sink.bytes, Bytes({
                              0x00, 0x00, 0x08, 0x00, 0, 0, 2, 0, 0, 0, 3, 0,                        // DIMENSIONS
                              0x08, 0x00, 0x0d, 0x00, 1, 0, 0, 0, 3, 0, 0xff, 0x80, 0, 0, 0, 0, 0, // ROW
                              0x04, 0x00, 0x0a, 0x00, 1, 0, 2, 0, 0x40, 0, 0, 2, 'H', 'i',          // LABEL
                              0x04, 0x00, 0x08, 0x00, 1, 0, 2, 0, 0x40, 0, 0, 0,                    // empty LABEL
                              0x02, 0x00, 0x09, 0x00, 1, 0, 2, 0, 0x40, 0, 0, 0xff, 0xff,           // INTEGER
                              0x03, 0x00, 0x0f, 0x00, 1, 0, 2, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0xf0, 0x3f,
                          }));
}

TEST(SheetWriter, LongestLabel)
{
    MemorySink sink;
    OutputBuffer out(sink);
    SheetWriter writer(out);
    const std::vector<std::uint8_t> text(255, 'z');
    writer.WriteLabelCell(text.data(), 255);
    out.Flush();
    ASSERT_EQ(sink.bytes.size(), 267u);
    EXPECT_EQ(Slice(sink.bytes, 0, 4), Bytes({0x04, 0x00, 0x07, 0x01}));
    EXPECT_EQ(sink.bytes[11], 0xff);
}

TEST(SheetWriter, OneRecordOfOneOneByteTextCellIs777Bytes)
{
    MemorySink sink;
    OutputBuffer out(sink);
    SheetWriter writer(out);
    writer.WriteSheetHeader();
    writer.WriteDimensions(1, 1);
    writer.WriteRowRecord(0, 1);
    const std::uint8_t text[] = {'A'};
    writer.WriteLabelCell(text, 1);
    writer.WriteSheetTrailer();
    out.Flush();
    EXPECT_EQ(sink.bytes.size(), 777u);
    EXPECT_EQ(Slice(sink.bytes, 709, 4), Bytes({0x04, 0x00, 0x09, 0x00}));
}

TEST(SheetWriter, LastOf65534RowsCarriesRowIndex65533)
{
    std::vector<std::uint8_t> source(65534 * 2);
    const MemoryConversion result = ConvertInMemory(source, {{0, LB, FieldType::BinInteger}, {1, LE}});
    ASSERT_TRUE(result.sheet.wellFormed);
    EXPECT_EQ(result.sheet.dimRows, 65534);
    EXPECT_EQ(result.sheet.rowRecords.size(), 65534u);
    EXPECT_EQ(result.sheet.rowRecords.back(), 65533);
    EXPECT_EQ(result.bytes.size(), 680u + 12 + 65534u * (17 + 13) + 55);
}

TEST(SheetWriter, EveryFileStartsWithTheHeaderAndEndsWithTheTrailer)
{
    const MemoryConversion result =
        ConvertInMemory(std::vector<std::uint8_t>(300, 7), {{0, LB}, {1, CB, FieldType::BinInteger}, {2, CE}, {4, LE}});
    ASSERT_GT(result.bytes.size(), 735u);
    EXPECT_TRUE(std::equal(kSheetHeader.begin(), kSheetHeader.end(), result.bytes.begin()));
    EXPECT_TRUE(std::equal(kSheetTrailer.begin(), kSheetTrailer.end(), result.bytes.end() - 55));
    EXPECT_EQ(Slice(result.bytes, 680, 12), Bytes({0, 0, 8, 0, 0, 0, 60, 0, 0, 0, 1, 0}));
}

TEST(SheetWriter, TwoRecordsThreeColumns)
{
    const MemoryConversion result = ConvertInMemory(
        Bytes({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}),
        {{0, LB, FieldType::Text}, {1, CB, FieldType::Text}, {2, CE}, {3, LE, FieldType::Text}});
    ASSERT_TRUE(result.sheet.wellFormed);
    EXPECT_EQ(result.sheet.dimRows, 2);
    EXPECT_EQ(result.sheet.dimColumns, 3);
    EXPECT_EQ(result.sheet.rowRecords, (std::vector<std::uint16_t>{0, 1}));
    const auto second = RowCells(result.sheet, 1);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0].column, 0);
    EXPECT_EQ(second[1].column, 1);
    EXPECT_EQ(second[2].column, 2);
    EXPECT_EQ(second[0].text, "e");
    EXPECT_EQ(second[1].text, "fg");
    EXPECT_EQ(second[2].text, "h");
}

} // namespace
} // namespace zorbik
