// The fields of COBOL, Pascal and C records through the record loop into
// CSV: the type and options of a layout line, the field's bytes, the cell;
// a field that is no value is an empty cell and a report.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <random>

#include "codecs/ValueConversions.h"
#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "layout/LayoutFile.h"
#include "support/MemoryIo.h"

namespace zorbik {
namespace {

using namespace std::string_literals;

struct FieldCase {
    std::string type; // the layout's words after the marker
    std::string bytes;
    std::string cell;
    bool reported = false;
    bool trim = false; // the texts' trailing blanks left out
};

// Converts one record, "<" the field ">", with the field's layout words.
ConversionOutcome ConvertField(const std::string& type, const std::string& bytes, TargetFormat format, MemorySink& sink,
                               bool trim = false)
{
    const std::size_t n = bytes.size();
    const std::string layoutText = "0 LineBegin\n1 ColumnBegin " + type + "\n" + std::to_string(n) + " ColumnEnd\n" +
                                   std::to_string(n + 1) + " LineEnd\n";
    const std::string record = "<" + bytes + ">";
    const MemorySource source(std::vector<std::uint8_t>(record.begin(), record.end()));
    const LoadedLayout loaded = LoadLayout(layoutText, record.size(), UiLanguage::English);
    EXPECT_FALSE(loaded.error.Failed()) << loaded.error.Describe(UiLanguage::English);
    const PreparedConversion p = PrepareConversion(loaded.layout.marks, record.size(), {.trimTexts = trim}, format);
    EXPECT_FALSE(p.fault);
    TargetPlace place;
    place.options.format = format;
    place.options.names = false;
    place.sink = &sink;
    const std::atomic<bool> stop{false};
    return RunConversion(source, p.layout, p.plan, place, stop, {});
}

TEST(RecordFields, BytesBecomeTheCellOfTheirTypeOrAnEmptyCellAndAReport)
{
    const FieldCase rows[] = {
        {"Integer big", "\xFF\xF3", "-13"},
        {"Integer", "\x10\xB6\xFD\xFF", "-150000"},
        {"Integer unsigned", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "18446744073709551615"},
        {"Integer", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", "9223372036854775807"},
        {"Integer scale=4", "\x4E\x61\xBC\0\0\0\0\0"s, "1234.5678"}, // Pascal's Currency
        {"Packed scale=2", "\x00\x02\x76\x54\x4D"s, "-2765.44"},
        {"Packed unsigned", "\x12\x3F", "123"},
        {"Packed", "\x1A\x2C", "", true},
        {"Zoned scale=2", "000112u", "-11.25"},
        {"Zoned sign=separate-leading", "-0042", "-42"},
        {"Zoned ebcdic", "\xF1\xF2\xD3", "-123"},
        {"Zoned", "12 4", "", true},
        {"DecimalNumber scale=2", "12345", "123.45"},
        {"DecimalNumber scale=2", "12.5", "12.5"}, // a point of its own wins
        {"DecimalNumber blank-empty", "  ***", ""}, {"DecimalNumber blank-empty", "  -1.5", "-1.5"},
        {"DecimalNumber", "     ", "0"},
        // Written as the field has them, less leading zeros and the zeros
        // after the last decimal; the exponent form from five zeros on.
        {"DecimalNumber", " -0012.50 ", "-12.5"}, {"DecimalNumber", "0.000", "0"}, {"DecimalNumber", "-0.050", "-0.05"},
        {"DecimalNumber", "100000", "1e+05"},      {"DecimalNumber", "10000.0", "10000"},
        {"Bcd", "\x50\0\0\0\0\0\0\0\0\x81"s, "-5"}, {"Bcd", "\0\0\0\0\0\0\0\0\0\x02"s, "0"},
        {"BinReal big", "\x3F\xF8\0\0\0\0\0\0"s, "1.5"},
        {"BinReal ibm", "\x42\x64\0\0"s, "100"},
        {"Extended", "\0\0\0\0\0\0\0\x80\xFF\x3F"s, "1"},
        {"Real48", "\x81\0\0\0\0\0"s, "1"},
        {"Date", "20261207", "2026-12-07"},
        {"Date format=YYMMDD", "991231", "1999-12-31"},
        {"Date format=DDMMYYYY", "29022024", "2024-02-29"},
        {"Date", "20261307", "", true},
        {"Date", "00000000", ""}, // no date, and nothing wrong
        {"Date", "        ", ""},
        {"Date days1899", "\0\0\0\0\x10\xF9\xE5\x40"s, "2023-03-15T12:00:00"},
        {"Date julian", "\xD2\x8A\x25\0\xC1\x08\x6B\x02"s, "2024-02-29T11:16:09.025"},
        {"Text cp=850", "M\x81ller", "M\xC3\xBCller"},
        {"Text cp=850", "Lieferant M\x81ller\0alt"s, "Lieferant M\xC3\xBCller"},
        {"Text", "Kundennummer\0" "12345"s, "Kundennummer"},
        {"Text cp=850", "M\x81ller  \0 \0      \0  "s, "M\xC3\xBCller", false, true}, // trimmed
        {"Text cp=273", "\xC1\x40\xC2\x40\x40\x40\x40\x40\x40\x40\x40\x40", "A B", false, true},
        {"PascalText", "\x03" "abcde", "abc"},
        {"PascalText", "\x09" "abc", "abc", true},
        {"PascalText", "\x05" "ab  \0x"s, "ab", false, true},
    };
    for (const FieldCase& row : rows) {
        SCOPED_TRACE(row.type + " " + ::testing::PrintToString(row.bytes));
        MemorySink sink;
        const ConversionOutcome outcome = ConvertField(row.type, row.bytes, TargetFormat::Csv, sink, row.trim);
        EXPECT_EQ(std::string(sink.bytes.begin(), sink.bytes.end()), row.cell + "\r\n");
        EXPECT_EQ(outcome.faults.size(), row.reported ? 1u : 0u);
    }
}

// Decimal texts and packed decimals of every form, in CSV, as to_chars
// writes the double ConvertDecimal gives them: the digits of most are
// written as they are, the others take the double's way.
TEST(RecordFields, DecimalsInCsvAreTheShortestTextOfTheirDouble)
{
    constexpr std::size_t kRecords = 20000;
    constexpr std::size_t kLength = 32; // "<", a text of 20 bytes, a packed decimal of 10, ">"
    std::mt19937_64 random(3);
    auto pick = [&](const char* from) { return from[random() % std::strlen(from)]; };
    std::vector<std::uint8_t> source;
    for (std::size_t k = 0; k < kRecords; ++k) {
        std::string text(static_cast<std::size_t>(random() % 3), ' ');
        text += std::string(random() % 4 == 0 ? 1 : 0, pick("-+"));
        text += std::string(static_cast<std::size_t>(random() % 4), '0');
        for (std::uint64_t n = random() % 17; n > 0; --n)
            text += pick("0123456789000");
        if (random() % 4 != 0)
            text += pick(".....,");
        for (std::uint64_t n = random() % 6; n > 0; --n)
            text += pick("01234567890000");
        text += std::string(static_cast<std::size_t>(random() % 3), pick(" \0x"));
        text.resize(20, random() % 2 ? ' ' : '\0');
        source.push_back('<');
        source.insert(source.end(), text.begin(), text.end());
        for (std::uint64_t places = random() >> (random() % 64), i = 0; i < 9; ++i, places >>= 8)
            source.push_back(static_cast<std::uint8_t>(random() % 8 == 0 ? places : places % 10 * 16 + places / 16 % 10));
        if (random() % 4 == 0)
            source.back() = 0x10; // a digit in the highest places too
        source.push_back(static_cast<std::uint8_t>((random() % 2) << 7 | random() % 6));
        source.push_back('>');
    }
    const std::string layoutText =
        "0 LineBegin\n1 ColumnBegin DecimalNumber\n20 ColumnEnd\n21 ColumnBegin Bcd\n30 ColumnEnd\n31 LineEnd\n";
    const LoadedLayout loaded = LoadLayout(layoutText, source.size(), UiLanguage::English);
    const PreparedConversion p = PrepareConversion(loaded.layout.marks, source.size(), {}, TargetFormat::Csv);
    ASSERT_FALSE(p.fault);
    MemorySink sink;
    TargetPlace place;
    place.options.format = TargetFormat::Csv;
    place.options.names = false;
    place.sink = &sink;
    const std::atomic<bool> stop{false};
    RunConversion(MemorySource(source), p.layout, p.plan, place, stop, {});

    std::string want;
    for (std::size_t k = 0; k < kRecords; ++k) {
        for (std::size_t field = 0; field < 2; ++field) {
            std::uint8_t bytes[20] = {};
            std::memcpy(bytes, source.data() + k * kLength + 1 + field * 20, field == 0 ? 20 : 10);
            std::uint8_t number[8];
            ConvertDecimal(field == 0 ? DecimalSource::Text : DecimalSource::Packed, bytes, number);
            double value;
            std::memcpy(&value, number, 8);
            char text[40];
            want.append(text, std::to_chars(text, text + sizeof text, value).ptr);
            want += field == 0 ? "," : "\r\n";
        }
    }
    EXPECT_EQ(std::string(sink.bytes.begin(), sink.bytes.end()), want);
}

// A worksheet of the old kind has no date cells: a date is the number its
// digits spell, or the day number of one that has no digits.
TEST(RecordFields, AnXlsDateIsANumber)
{
    const std::pair<std::string, double> rows[] = {
        {"20261207", 20261207},
        {"991231", 991231},
        {"\0\0\0\0\x10\xF9\xE5\x40"s, 45000.5},
        // 2024-02-29 is day 45351, and 11:16:09.025 of it passed.
        {"\xD2\x8A\x25\0\xC1\x08\x6B\x02"s, (45351.0 * 86'400'000 + 40'569'025) / 86'400'000}};
    const std::string types[] = {"Date", "Date format=YYMMDD", "Date days1899", "Date julian"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        MemorySink sink;
        ConvertField(types[i], rows[i].first, TargetFormat::Xls, sink);
        std::uint8_t number[8];
        std::memcpy(number, &rows[i].second, 8);
        EXPECT_NE(std::search(sink.bytes.begin(), sink.bytes.end(), number, number + 8), sink.bytes.end()) << types[i];
    }
}

// A worksheet keeps the zero bytes of a text, also of one whose page it
// writes in 1252.
TEST(RecordFields, AnXlsTextKeepsItsZeroBytes)
{
    MemorySink sink;
    ConvertField("Text cp=850", "M\x81\0ller"s, TargetFormat::Xls, sink);
    const std::string sheet(sink.bytes.begin(), sink.bytes.end());
    EXPECT_NE(sheet.find("M\xFC\0ller"s), std::string::npos);
}

TEST(RecordFields, TheReportNamesColumnTypeCountAndFirstRecord)
{
    const ColumnFault fault{2, FieldType::Packed, 3, 117};
    EXPECT_EQ(DescribeFault(fault, UiLanguage::English),
              "column C (Packed): 3 fields with invalid digits, first in record 118");
    EXPECT_EQ(DescribeFault({0, FieldType::Date, 1, 0}, UiLanguage::German),
              "Spalte A (Date): ein Feld ohne gültiges Datum, in Satz 1");
}

} // namespace
} // namespace zorbik
