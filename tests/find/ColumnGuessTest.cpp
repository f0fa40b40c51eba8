// Record statistics to column cuts: where texts, numbers written as text
// and binary numbers begin in hand-made records, and what each is taken for.
#include <gtest/gtest.h>

#include <bit>

#include "find/ColumnGuess.h"
#include "find/FindTables.h"
#include "layout/LayoutFile.h"

namespace zorbik::findtest {
namespace {

using namespace std::string_literals;
using Cut = std::vector<std::pair<std::uint32_t, ColumnReason>>;
constexpr auto TXT = ColumnReason::Text, NUM = ColumnReason::NumberText, INT = ColumnReason::Integer,
               BE = ColumnReason::BigEndianInteger, DBL = ColumnReason::Double, SGL = ColumnReason::Single,
               BCD = ColumnReason::PackedDecimal, CON = ColumnReason::Constant, PCK = ColumnReason::Packed,
               ZON = ColumnReason::Zoned, DAT = ColumnReason::DateDigits, PAS = ColumnReason::PascalString;

struct Table {
    Bytes bytes;
    std::uint32_t length;
};

Table Written(const std::vector<std::string>& records, std::uint16_t codePage = 1252)
{
    Bytes b;
    for (const std::string& r : records)
        Put(b, Encode(r, codePage), Encode(records[0], codePage).size());
    return {b, static_cast<std::uint32_t>(Encode(records[0], codePage).size())};
}

Table Made(std::uint32_t length, const MakeRecord& record)
{
    return {Records({}, 200, record), length};
}

TEST(ColumnGuess, CutsRecordsIntoTypedColumns)
{
    struct Case {
        const char* name;
        Table table;
        Cut cut;
        std::string options = ""; // of all columns, as a layout file writes them
    };
    const std::vector<std::string> umlauts = {"Müller  Zürich    ", "Weiß    Lübeck    ", "Groß    Düsseldorf",
                                              "Jo      Köln      ", "Böhm    Århus     ", "Jäger   Leeds     "};
    const Case cases[] = {
        {"two right-aligned numbers side by side", Written({" 37  7919.10", "  8  -123.40", "101 15000.00", " 42    17.99"}),
         {{0, NUM}, {3, NUM}}},
        {"two numbers whose digits touch in most records",
         Written({" 37123456.78", " 48654321.00", "101 15000.00", " 42987654.30", " 19100000.01", " 77555555.55",
                  " 63222222.22", " 50333333.33"}),
         {{0, NUM}, {3, NUM}}},
        {"a name and a city in code page 850", Written(umlauts, 850), {{0, TXT}, {8, TXT}}},
        {"a name and a city in code page 1252", Written(umlauts, 1252), {{0, TXT}, {8, TXT}}},
        {"a deletion flag and a line end are left out",
         Written({" Anna   12\n", "*Jo      7\n", " Peter 100\n", " Ute    55\n"}), {{1, TXT}, {6, NUM}}},
        {"a zero byte ends a C string", Written({"Peter\0Koch\0\0"s, "Maria\0Wolf\0\0"s, "Jonas\0Ute\0\0\0"s}),
         {{0, TXT}, {6, TXT}}},
        {"a date with two points is text", Written({"07.12.91  12.5", "24.01.88   3.0", "01.02.03 100.2"}), {{0, TXT}, {8, NUM}}},
        {"digits, then letters", Written({"12345Anna  ", "00017Jo    ", "99999Peter "}), {{0, NUM}, {5, TXT}}},
        {"whole-number doubles vary in their top bytes only", Made(12, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             Int(b, std::bit_cast<std::uint64_t>(static_cast<double>(1 + rng() % 60)), 8);
             Int(b, 7 * k, 4);
         }),
         {{0, DBL}, {8, INT}}},
        {"a packed decimal with its scale byte, a single", Made(14, [](Bytes& b, std::uint32_t, std::mt19937& rng) {
             for (int i = 0; i < 9; ++i)
                 b.push_back(static_cast<std::uint8_t>(i < 4 ? rng() % 10 | (rng() % 10) << 4 : 0));
             b.push_back(2);
             Int(b, std::bit_cast<std::uint32_t>(static_cast<float>(rng() % 5000) / 8.0f + 1), 4);
         }),
         {{0, BCD}, {10, SGL}}},
        {"integers whose bytes read as an infinite double, blanks that belong to a number",
         Made(13, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             Int(b, 100000 + 37 * k, 4);
             Int(b, 0x7FF00000u | rng() % 0xFFFFF, 4);
             Right(b, std::to_string(rng() % 1000), 5);
         }),
         {{0, INT}, {4, INT}, {8, NUM}}},
        {"a zero-led big-endian number, a constant, an integer", Made(8, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             b.insert(b.end(), {0, 0, static_cast<std::uint8_t>(k >> 4), static_cast<std::uint8_t>(k * 13)});
             b.insert(b.end(), {0xFE, 0xFE});
             Int(b, rng() % 60000, 2);
         }),
         {{0, BE}, {4, CON}, {6, INT}}, " big"},
        {"a big-endian counter whose high bytes vary, a constant big-endian length",
         Made(8, [](Bytes& b, std::uint32_t k, std::mt19937&) {
             for (int i = 3; i >= 0; --i)
                 b.push_back(static_cast<std::uint8_t>((70000 + 997 * k) >> (8 * i)));
             b.insert(b.end(), {0, 0, 0, 20});
         }),
         {{0, BE}, {4, BE}}, " big big"},
        {"COBOL: signed and unsigned packed numbers, overpunched zoned ones of both conventions",
         Made(16, [](Bytes& b, std::uint32_t, std::mt19937& rng) {
             Packed(b, static_cast<int>(rng() % 2000000) - 1000000, 5);
             Zoned(b, static_cast<int>(rng() % 20000) - 10000, 5);
             Packed(b, rng() % 10000, 3, false);
             Zoned(b, static_cast<int>(rng() % 2000) - 1000, 3, true);
         }),
         {{0, PCK}, {5, ZON}, {10, PCK}, {13, ZON}}, " unsigned"},
        {"dates written as digits touching a number, in two orders",
         Made(22, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             const std::string day = std::to_string(10 + rng() % 18), month = std::to_string(10 + rng() % 3);
             const std::string year = std::to_string(1950 + rng() % 70);
             Put(b, std::to_string(100000 + k) + year + month + day, 14);
             Put(b, day + month + year, 8);
         }),
         {{0, NUM}, {6, DAT}, {14, DAT}}, " format=DDMMYYYY"},
        {"digits that are a date in most records only stay a number",
         Made(8, [](Bytes& b, std::uint32_t k, std::mt19937& rng) {
             Put(b, std::to_string(k == 100 ? 20241399 : 20240101 + rng() % 12 * 100 + rng() % 28), 8);
         }),
         {{0, NUM}}},
        {"Pascal strings: a length byte, the text, an old tail of zeros",
         Made(24, [](Bytes& b, std::uint32_t, std::mt19937& rng) {
             Int(b, rng() % 60000, 2);
             const std::string name = Pick(rng, {"Anna", "Mueller", "Schmidtbauer", "Jo"});
             b.push_back(static_cast<std::uint8_t>(name.size()));
             Put(b, name, 14, '\0');
             Int(b, rng() % 60000, 4);
             Put(b, "", 3);
         }),
         {{0, INT}, {2, PAS}, {17, INT}, {21, CON}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<const std::uint8_t*> records;
        for (std::size_t at = 0; at + c.table.length <= c.table.bytes.size(); at += c.table.length)
            records.push_back(c.table.bytes.data() + at);
        Cut cut;
        std::string options;
        for (const GuessedColumn& column : GuessColumns(records, c.table.length, MeasurePositions(records, c.table.length))) {
            cut.emplace_back(column.offset, column.reason);
            options += FieldOptionWords(column.type, column.options);
        }
        EXPECT_EQ(cut, c.cut);
        EXPECT_EQ(options, c.options);
    }
}

} // namespace
} // namespace zorbik::findtest
