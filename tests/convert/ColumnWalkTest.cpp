#include <gtest/gtest.h>

#include <cmath>

#include "support/Convert.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

constexpr FieldType TX = FieldType::Text;
constexpr FieldType BI = FieldType::BinInteger;
constexpr FieldType BR = FieldType::BinReal;
constexpr FieldType DN = FieldType::DecimalNumber;

// An expected cell: a LABEL with its bytes, an INTEGER or a NUMBER.
struct Want {
    Cell::Kind kind;
    std::string text = {};
    double value = 0;
};

Want L(std::string text) { return {Cell::Label, std::move(text)}; }
Want I(double v) { return {Cell::Integer, {}, v}; }
Want N(double v) { return {Cell::Number, {}, v}; }

std::vector<std::uint8_t> Ascending(std::size_t n)
{
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>('a' + i % 26);
    return out;
}

std::vector<std::uint8_t> With(std::vector<std::uint8_t> bytes, std::size_t at, std::initializer_list<int> values)
{
    for (int v : values)
        bytes[at++] = static_cast<std::uint8_t>(v);
    return bytes;
}

struct WalkCase {
    const char* name;
    std::vector<std::uint8_t> source;
    std::vector<Mark> marks;
    std::vector<Want> row0;
};

void ExpectRow(const Sheet& sheet, std::uint16_t row, const std::vector<Want>& want)
{
    const std::vector<Cell> cells = RowCells(sheet, row);
    ASSERT_EQ(cells.size(), want.size());
    for (std::size_t c = 0; c < want.size(); ++c) {
        SCOPED_TRACE("column " + std::to_string(c));
        EXPECT_EQ(cells[c].column, c);
        ASSERT_EQ(cells[c].kind, want[c].kind);
        if (want[c].kind == Cell::Label)
            EXPECT_EQ(cells[c].text, want[c].text);
        else if (want[c].kind == Cell::Integer)
            EXPECT_EQ(cells[c].integer, want[c].value);
        else
            EXPECT_EQ(cells[c].number, want[c].value);
    }
}

TEST(ColumnWalk, FieldsAsTheMarksDescribeThem)
{
    const auto s16 = Ascending(32);
    const WalkCase cases[] = {
        {"byte marks with a typed first byte mark and a typed end", s16,
         {{0, LB}, {4, CB}, {6, BM, TX}, {8, BM}, {10, CE, TX}, {15, LE}}, {L("gik")}},
        {"the untyped end's byte is left out", s16, {{0, LB}, {4, CB}, {6, BM, TX}, {8, BM}, {10, CE}, {15, LE}},
         {L("gi")}},
        {"a typed begin is the type row and its byte counts", s16,
         {{0, LB}, {4, CB, TX}, {6, BM}, {8, BM}, {10, CE, TX}, {15, LE}}, {L("egik")}},
        {"a whole text column", s16, {{0, LB}, {1, CB, TX}, {10, CE}, {11, LE}}, {L("bcdefghijk")}},
        {"an untyped column is text even with a typed end", s16, {{0, LB}, {1, CB}, {3, CE, BI}, {5, LE}}, {L("bcd")}},
        {"one untyped byte mark", s16, {{0, LB}, {1, CB}, {2, BM}, {4, CE}, {5, LE}}, {L("c")}},
        {"an untyped first byte mark makes text whatever later marks say", s16,
         {{0, LB}, {1, CB}, {2, BM}, {3, BM, BI}, {4, CE}, {5, LE}}, {L("cd")}},
        {"a typed record end makes an untyped text column of all bytes", s16,
         {{0, LB}, {1, CB, TX}, {2, CE}, {6, LE, BI}}, {L("bc"), L("defg")}},
        {"one-row trailing column", s16, {{0, LB}, {1, CB, TX}, {2, CE}, {3, LE, BI}}, {L("bc"), I('d')}},
        {"three columns", With(Ascending(16), 4, {0x34, 0x12, '1', '2', ',', '5'}),
         {{0, LB}, {1, CB, TX}, {3, CE}, {4, CB, BI}, {5, CE}, {6, CB, DN}, {9, CE}, {11, LE}},
         {L("bcd"), I(0x1234), N(12.5)}},
        {"integer ff ff", With(Ascending(8), 1, {0xff, 0xff}), {{0, LB}, {1, CB, BI}, {2, CE}, {4, LE}}, {I(65535)}},
        {"integer ff ff ff ff", With(Ascending(8), 1, {0xff, 0xff, 0xff, 0xff}), {{0, LB}, {1, CB, BI}, {4, CE}, {5, LE}},
         {N(-1)}},
        {"integer 00 00 01 00", With(Ascending(8), 1, {0, 0, 1, 0}), {{0, LB}, {1, CB, BI}, {4, CE}, {5, LE}}, {N(65536)}},
        {"integer ff ff ff", With(Ascending(8), 1, {0xff, 0xff, 0xff}), {{0, LB}, {1, CB, BI}, {3, CE}, {5, LE}},
         {N(16777215)}},
        {"integer of 6 bytes takes the first 4", With(Ascending(10), 1, {0, 0, 2, 0, 9, 9}),
         {{0, LB}, {1, CB, BI}, {6, CE}, {7, LE}}, {N(131072)}},
        {"single", With(Ascending(8), 1, {0, 0, 0x80, 0x3f}), {{0, LB}, {1, CB, BR}, {4, CE}, {5, LE}}, {N(1.0)}},
        {"double", With(Ascending(12), 1, {0, 0, 0, 0, 0, 0, 0xf0, 0x3f}), {{0, LB}, {1, CB, BR}, {8, CE}, {9, LE}},
         {N(1.0)}},
        {"nine real bytes read as the double of the first 8", With(Ascending(12), 1, {0, 0, 0, 0, 0, 0, 0xf0, 0x3f, 7}),
         {{0, LB}, {1, CB, BR}, {9, CE}, {10, LE}}, {N(1.0)}},
        {"a 5-byte real is a double with zero high bytes", With(Ascending(12), 1, {0, 0, 0, 0, 0x40}),
         {{0, LB}, {1, CB, BR}, {5, CE}, {6, LE}}, {N(std::ldexp(1.0, -1036))}},
        {"one-byte leading column keeps every later column in place", Ascending(12),
         {{0, LB, BI}, {1, CB, TX}, {3, CE}, {5, LE}}, {I('a'), L("bcd")}},
        {"one-row trailing column with byte marks after the record end", Ascending(12),
         {{0, LB}, {1, CB}, {2, CE}, {3, LE, TX}, {5, BM}}, {L("bc"), L("d")}},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MemoryConversion result = ConvertInMemory(c.source, c.marks);
        ASSERT_FALSE(result.fault) << result.fault.messageId;
        ASSERT_TRUE(result.sheet.wellFormed) << result.sheet.error;
        ExpectRow(result.sheet, 0, c.row0);
    }
}

TEST(ColumnWalk, EveryRecordIsCutTheSameWay)
{
    // 4-byte records "Wxyz": a leading text column and a 2-byte integer.
    std::vector<std::uint8_t> source;
    for (int k = 0; k < 5; ++k)
        source.insert(source.end(), {static_cast<std::uint8_t>('A' + k), static_cast<std::uint8_t>(k), 1, '.'});
    const MemoryConversion result =
        ConvertInMemory(source, {{0, LB, TX}, {1, CB, BI}, {2, CE}, {3, LE}});
    ASSERT_TRUE(result.sheet.wellFormed);
    EXPECT_EQ(result.layout.recordCount, 5u);
    for (std::uint16_t k = 0; k < 5; ++k)
        ExpectRow(result.sheet, k, {L(std::string(1, static_cast<char>('A' + k))), I(256 + k)});
}

TEST(ColumnWalk, TextFieldsAreCutAt255BytesAndKeepZeroBytes)
{
    for (const std::size_t width : {300u, 256u, 255u}) {
        std::vector<std::uint8_t> source(width + 2, 'x');
        const MemoryConversion result =
            ConvertInMemory(source, {{0, LB}, {1, CB, TX}, {static_cast<std::int32_t>(width), CE}, {static_cast<std::int32_t>(width + 1), LE}});
        ASSERT_TRUE(result.sheet.wellFormed);
        EXPECT_EQ(RowCells(result.sheet, 0).at(0).text.size(), std::min<std::size_t>(width, 255)) << width;
    }
    const MemoryConversion zero = ConvertInMemory(Bytes({'.', 0x41, 0x00, 0x42, '.'}), {{0, LB}, {1, CB, TX}, {3, CE}, {4, LE}});
    EXPECT_EQ(RowCells(zero.sheet, 0).at(0).text, std::string("A\0B", 3));
}

TEST(ColumnWalk, ColumnsBeyondTheRecordReadOnlyWhatTheSourceHas)
{
    // 10 bytes, records of 4 from byte 0: two records. The column at rows
    // 5..9 lies beyond the record; for record 1 it starts at byte 9.
    const std::vector<std::uint8_t> source = Ascending(10);
    const MemoryConversion result =
        ConvertInMemory(source, {{0, LB}, {1, CB, TX}, {2, CE}, {3, LE}, {5, CB, TX}, {9, CE}});
    ASSERT_FALSE(result.fault);
    ASSERT_TRUE(result.sheet.wellFormed);
    ExpectRow(result.sheet, 0, {L("bc"), L("fghij")});
    ExpectRow(result.sheet, 1, {L("fg"), L("j")});

    const MemoryConversion past = ConvertInMemory(source, {{0, LB}, {1, CB, BI}, {2, CE}, {3, LE}, {8, CB, BI}, {9, CE}});
    ExpectRow(past.sheet, 1, {I(('g' << 8) | 'f'), I(0)}); // nothing left of the second field: zeros
}

} // namespace
} // namespace zorbik
