// The finder on small generated sources and real tables: where the records
// start, how long they are, what the columns hold, and that its marks make
// exactly those columns when a conversion reads them.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <tuple>

#include "convert/PrepareConversion.h"
#include "find/ColumnGuess.h"
#include "find/FindTables.h"
#include "find/GuessLayout.h"

namespace zorbik {
namespace {

using findtest::Bytes;
using findtest::Int;
using findtest::Put;
using findtest::Right;

std::string Name(std::mt19937& rng)
{
    const char* names[] = {"Anna", "Mueller", "Schmidtbauer", "Koch", "Jo", "Wagner"};
    return names[rng() % 6];
}

// `header` random bytes (the last one given), `count` records, `tail`.
Bytes Source(std::size_t header, int last, int count, const findtest::MakeRecord& record, const Bytes& tail = {})
{
    std::mt19937 rng(11);
    Bytes b;
    for (std::size_t i = 0; i < header; ++i)
        b.push_back(i + 1 == header && last >= 0 ? static_cast<std::uint8_t>(last) : static_cast<std::uint8_t>(rng()));
    for (int k = 0; k < count; ++k)
        record(b, static_cast<std::uint32_t>(k), rng);
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

constexpr FieldType TX = FieldType::Text, BI = FieldType::BinInteger, BR = FieldType::BinReal,
                    DN = FieldType::DecimalNumber, BC = FieldType::Bcd, IN = FieldType::Integer, PK = FieldType::Packed,
                    ZO = FieldType::Zoned, DA = FieldType::Date, PT = FieldType::PascalText;

struct FindCase {
    const char* name;
    Bytes source;
    std::uint64_t start;
    std::uint32_t length;
    std::vector<std::pair<std::uint32_t, FieldType>> columns; // begin and type
};

// offset, length, type and its options as a layout file writes them
using Cut = std::vector<std::tuple<std::uint32_t, std::uint32_t, FieldType, std::string>>;

Cut Stated(const RecordGuess& guess)
{
    Cut cut;
    for (const GuessedColumn& c : guess.columns)
        cut.emplace_back(c.offset, c.length, ConvertedType(c.type), FieldOptionWords(c.type, c.options));
    return cut;
}

// The columns that a conversion makes of the guess's marks.
Cut Marked(const RecordGuess& guess)
{
    const auto rows = static_cast<std::uint32_t>(guess.start + guess.length);
    const LoadedLayout loaded = LoadLayout(FormatGuess(guess, UiLanguage::German), rows, UiLanguage::German);
    EXPECT_FALSE(loaded.error.Failed()) << loaded.error.message;
    EXPECT_EQ(loaded.layout.marks, GuessMarks(guess));
    const PreparedConversion prepared = PrepareConversion(loaded.layout.marks, rows);
    EXPECT_FALSE(prepared.fault);
    Cut cut;
    for (const PlannedColumn& c : prepared.plan.columns)
        cut.emplace_back(c.beginRow - static_cast<std::int32_t>(guess.start), c.byteCount, c.type,
                         FieldOptionWords(c.type, c.options));
    return cut;
}

TEST(FindRecord, FindsRecordsAndColumnsOfGeneratedSources)
{
    const FindCase cases[] = {
        {"dBASE-like: deletion flag, text, right-aligned number, end mark",
         Source(97, 0x0D, 200,
                [](Bytes& b, std::uint32_t, std::mt19937& rng) {
                    b.push_back(' ');
                    Put(b, Name(rng), 12);
                    Right(b, std::to_string(rng() % 1000000), 7);
                },
                {0x1A}),
         97, 20, {{1, TX}, {13, DN}}},
        {"binary numbers behind a random header",
         Source(300, -1, 150,
                [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
                    Int(b, 1000 + k, 4);
                    Int(b, std::bit_cast<std::uint64_t>(static_cast<double>(rng() % 100000) / 100.0 + 1), 8);
                    Int(b, rng() % 3000, 2);
                    for (int i = 0; i < 9; ++i)
                        b.push_back(static_cast<std::uint8_t>(i < 5 ? rng() % 10 | (rng() % 10) << 4 : 0));
                    b.push_back(2);
                    Int(b, std::bit_cast<std::uint32_t>(static_cast<float>(rng() % 5000) / 7.0f + 1), 4);
                }),
         300, 28, {{0, BI}, {4, BR}, {12, BI}, {14, BC}, {24, BR}}},
        {"C structure with zero-padded strings, no header",
         Source(0, -1, 120,
                [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
                    Int(b, 1 + rng() % 8, 4);
                    Put(b, Name(rng), 12, '\0');
                    Int(b, 1600000000u + 37 * k, 4);
                    Int(b, 300 + rng() % 30000, 4);
                }),
         0, 24, {{0, BI}, {4, TX}, {16, BI}, {20, BI}}},
        {"fixed-width text lines",
         Source(0, -1, 300,
                [](Bytes& b, std::uint32_t, std::mt19937& rng) {
                    Put(b, Name(rng), 10);
                    Right(b, std::to_string(rng() % 10000) + "." + std::to_string(10 + rng() % 90), 8);
                    Put(b, "\r\n", 2);
                }),
         0, 20, {{0, TX}, {10, DN}}},
        {"COBOL record: digits, packed, zoned, dates and a big-endian number touching each other",
         Source(0, -1, 300,
                [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
                    Put(b, std::to_string(101000 + k), 6);
                    Put(b, Name(rng), 20);
                    findtest::Packed(b, static_cast<int>(rng() % 2000000) - 1000000, 5);
                    findtest::Zoned(b, static_cast<int>(rng() % 20000) - 10000, 5);
                    Put(b, std::to_string(1950 + rng() % 70) + "0" + std::to_string(1 + rng() % 9) + "1" +
                               std::to_string(rng() % 10), 8);
                    for (int i = 3; i >= 0; --i) // big-endian
                        b.push_back(static_cast<std::uint8_t>((10 * k + 10) >> (8 * i)));
                    Put(b, Name(rng), 12);
                    findtest::Packed(b, rng() % 5000000, 4, false);
                    Put(b, std::to_string(50 + rng() % 50) + "1" + std::to_string(rng() % 3) + "2" +
                               std::to_string(rng() % 9), 6);
                }),
         0, 70, {{0, DN}, {6, TX}, {26, PK}, {31, ZO}, {36, DA}, {44, IN}, {48, TX}, {60, PK}, {64, DA}}},
        {"Pascal record: a counter, a string[20], a word",
         Source(0, -1, 200,
                [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
                    Int(b, 5000 + k, 4);
                    const std::string name = Name(rng);
                    b.push_back(static_cast<std::uint8_t>(name.size()));
                    Put(b, name, 20, '\0');
                    Int(b, rng() % 60000, 2);
                }),
         0, 27, {{0, BI}, {4, PT}, {25, BI}}},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordGuess guess = FindRecord(MemorySource(c.source));
        ASSERT_TRUE(guess.Found());
        EXPECT_EQ(guess.start, c.start);
        EXPECT_EQ(guess.length, c.length);
        std::vector<std::pair<std::uint32_t, FieldType>> columns;
        for (const GuessedColumn& column : guess.columns)
            columns.push_back({column.offset, column.type});
        EXPECT_EQ(columns, c.columns);
        EXPECT_EQ(Marked(guess), Stated(guess));
    }
}

TEST(FindRecord, FindsNothingWhereNothingRepeats)
{
    std::mt19937 rng(5);
    Bytes random;
    Bytes lines;
    for (int i = 0; i < 20000; ++i)
        random.push_back(static_cast<std::uint8_t>(rng()));
    for (int i = 0; i < 400; ++i) {
        const std::string line = "line " + std::to_string(i) + ": " + std::string(rng() % 40, 'a') + "\n";
        lines.insert(lines.end(), line.begin(), line.end());
    }
    const std::pair<Bytes, GuessFailure> cases[] = {
        {random, GuessFailure::NoRepeat}, {lines, GuessFailure::NoRepeat}, {{1, 2, 1, 2, 1, 2}, GuessFailure::TooSmall}};
    for (const auto& [source, failure] : cases)
        EXPECT_EQ(FindRecord(MemorySource(source)).failure, failure) << source.size() << " bytes";
    struct Unreadable : MemorySource {
        using MemorySource::MemorySource;
        std::int64_t ReadAt(std::uint64_t, void*, std::size_t) const override { return -1; }
    };
    EXPECT_EQ(FindRecord(Unreadable(random)).failure, GuessFailure::ReadError);
}

// Real tables: the sample table's guess is the layout it comes with;
// dBASE tables with umlauts in code page 850 and 1252 are guessed as their
// headers describe them.
TEST(FindRecord, GuessesRealTables)
{
    const Bytes zlayout = findtest::SourceFile("resources/sample/customers.zlayout");
    const LoadedLayout expected =
        LoadLayout(std::string(zlayout.begin(), zlayout.end()), 1u << 20, UiLanguage::English);
    ASSERT_FALSE(expected.error.Failed());
    const RecordGuess sample = FindRecord(MemorySource(findtest::SourceFile("resources/sample/customers.dat")));
    EXPECT_FALSE(sample.LowConfidence());
    // Its last column is a date written as digits, which the layout left a
    // number: the comment names the column by it.
    Marks dated = expected.layout.marks;
    dated.SetFieldType(107, FieldType::Date);
    EXPECT_EQ(FormatLayout({GuessMarks(sample), {}}), FormatLayout({dated, {}}));
    EXPECT_NE(FormatGuess(sample, UiLanguage::English).find("# column 5 (date_5): bytes 43-50"), std::string::npos);

    for (const std::uint16_t codePage : {850, 1252}) {
        SCOPED_TRACE(codePage);
        const RecordGuess guess = FindRecord(MemorySource(findtest::UmlautTable(codePage)));
        EXPECT_EQ(guess.start, findtest::DbfHeaderLength(4));
        EXPECT_EQ(guess.length, 39u);
        EXPECT_FALSE(guess.LowConfidence());
        EXPECT_EQ(Stated(guess), (Cut{{1, 14, TX, ""}, {15, 12, TX, ""}, {27, 3, DN, ""}, {30, 9, DN, ""}}));
        EXPECT_EQ(Marked(guess), Stated(guess));
    }
}

// Columns that marks cannot make as they are: a one-byte column inside the
// record, a record of two columns.
TEST(FindRecord, FitsColumnsToWhatMarksCanMake)
{
    using C = GuessedColumn;
    constexpr auto I = ColumnReason::Integer, T = ColumnReason::Text;
    struct FitCase {
        const char* name;
        std::uint32_t length;
        std::vector<C> columns;
        std::vector<bool> constant;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> fitted; // begin and length
    };
    const FitCase cases[] = {
        {"one byte inside joins the text after it", 9, {{0, 4, BI, I}, {4, 1, BI, I}, {5, 2, TX, T}, {7, 2, BI, I}}, {},
         {{0, 4}, {4, 3}, {7, 2}}},
        {"one byte inside joins the integer after it rather than the text before", 9,
         {{0, 4, TX, T}, {4, 1, BI, I}, {5, 2, BI, I}, {7, 2, TX, T}}, {}, {{0, 4}, {4, 3}, {7, 2}}},
        {"one byte inside joins the text before it", 9, {{0, 2, BI, I}, {2, 3, TX, T}, {5, 1, TX, T}, {6, 3, BI, I}}, {},
         {{0, 2}, {2, 4}, {6, 3}}},
        {"one byte after a left-out flag byte is inside", 7, {{1, 1, BI, I}, {2, 4, TX, T}}, {}, {{1, 5}}},
        {"two columns: the second loses its last byte to a third", 6, {{0, 3, TX, T}, {3, 3, BI, I}}, {},
         {{0, 3}, {3, 2}, {5, 1}}},
        {"two columns: a constant zero high byte is left out", 6, {{0, 2, TX, T}, {2, 4, BI, I}},
         {false, false, false, false, false, true}, {{0, 2}, {2, 3}}},
        {"two columns: a Pascal string loses a constant zero last byte", 6,
         {{0, 2, BI, I}, {2, 4, PT, ColumnReason::PascalString}}, {false, false, false, false, false, true},
         {{0, 2}, {2, 3}}},
        {"two columns: a date that gives its last byte to a third converts as text", 10,
         {{0, 2, BI, I}, {2, 8, DA, ColumnReason::DateDigits}}, {}, {{0, 2}, {2, 7}, {9, 1}}},
        {"one column is the whole record", 5, {{0, 5, TX, T}}, {}, {{0, 5}}},
        {"a lone column after a left-out flag byte takes it back", 5, {{1, 4, TX, T}}, {}, {{0, 5}}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<PositionStats> stats(c.length);
        for (std::size_t i = 0; i < c.constant.size(); ++i)
            stats[i].constant = c.constant[i];
        RecordGuess guess;
        guess.failure = GuessFailure::None;
        guess.start = 7;
        guess.length = c.length;
        guess.columns = FitToMarks(c.columns, c.length, stats);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> fitted;
        for (const GuessedColumn& column : guess.columns)
            fitted.push_back({column.offset, column.length});
        EXPECT_EQ(fitted, c.fitted);
        EXPECT_EQ(Marked(guess), Stated(guess));
    }
}

} // namespace
} // namespace zorbik
