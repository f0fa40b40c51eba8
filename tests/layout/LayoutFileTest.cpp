#include <gtest/gtest.h>

#include <set>

#include "layout/LayoutFile.h"

namespace zorbik {
namespace {

using namespace std::string_literals;

// The settings and the marks read, as "row marker type;" words, or the
// error as the user reads it.
std::string Read(std::string_view text, std::uint64_t size = 100, UiLanguage language = UiLanguage::English)
{
    const LoadedLayout loaded = LoadLayout(text, size, language);
    if (loaded.error.Failed())
        return loaded.error.Describe(language);
    const ConversionSettings& settings = loaded.layout.settings;
    std::string out = settings == ConversionSettings{} ? ""
                                                      : std::to_string(settings.codePage) + (settings.trimTexts ? " trim;" : ";");
    const Marks& marks = loaded.layout.marks;
    std::set<std::int32_t> rows;
    for (const auto& [row, kind] : marks.Markers())
        rows.insert(row);
    for (const auto& [row, type] : marks.FieldTypes())
        rows.insert(row);
    for (const std::int32_t row : rows)
        out += std::to_string(row) + " " + std::string(MarkerWord(marks.GetMarker(row))) + " " +
               std::string(FieldTypeWord(marks.GetFieldType(row))) +
               FieldOptionWords(marks.GetFieldType(row), marks.GetFieldOptions(row)) +
               ColumnTraitWords(marks.GetTraits(row)) + ";";
    return out;
}

TEST(LayoutFile, ReadsRowsMarkersAndTypesOrNamesTheBadLine)
{
    const std::pair<std::string, std::string> rows[] = {
        {"# a comment\n\n16 LineBegin Text\r\n  26\tColumnBegin   BinInteger  \n31 Unmarked DecimalNumber\n"
         "43 LineEnd BinReal", // no final newline
         "16 LineBegin Text;26 ColumnBegin BinInteger;31 Unmarked DecimalNumber;43 LineEnd BinReal;"},
        {"\xEF\xBB\xBF" "0 LineBegin\r\n99 ByteMark Bcd\n", "0 LineBegin ;99 ByteMark Bcd;"},
        {"1 LineBegin\n2 Linebegin\n", "line 2: unknown marker \"Linebegin\" (LineBegin, ColumnBegin,"},
        {"1 LineBegin\n\n# x\n-5 LineEnd\n", "line 4: row \"-5\" is not a byte number"},
        {"\x7f" "E\x02\xff LineBegin\n", "line 1: row \"\\x7fE\\x02\\xff\" is not a byte number"},
        {"100 LineEnd\n", "line 1: row \"100\" lies at or past the end of the source (100 bytes)"},
        {"4294967296 LineEnd\n", "line 1: row \"4294967296\" lies at or past the end"}, // no wrap to 0
        {"1 LineBegin\n1 LineEnd\n", "line 2: row 1 is listed twice"},
        {"1\n", "line 1: expected ROW MARKER [TYPE], got \"1\""},
        {"1 LineBegin Text # note\n", "line 1: option \"#\" does not apply to Text (Text takes: cp=N)"},
        {"3 ColumnBegin Packed scale=2 unsigned\n5 ColumnEnd Integer big unsigned scale=31\n"
         "7 ByteMark Zoned sign=separate-leading ebcdic\n8 ColumnBegin Date format=YYYYDDD\n9 ColumnEnd Date days1899\n"
         "10 ByteMark BinReal ibm\n11 ByteMark Text cp=850\n12 LineEnd Date format=YYYYMMDD scale=0\n",
         "line 8: option \"scale=0\" does not apply to Date (Date takes: format="},
        {"3 ColumnBegin Packed scale=2 unsigned\n5 ColumnEnd Integer big unsigned scale=31\n"
         "7 ByteMark Zoned sign=separate-leading ebcdic\n8 ColumnBegin Date format=YYYYDDD\n9 ColumnEnd Date days1899\n"
         "10 ByteMark BinReal ibm\n11 ByteMark Text cp=850\n12 LineEnd Date format=YYYYMMDD\n",
         "3 ColumnBegin Packed unsigned scale=2;5 ColumnEnd Integer big unsigned scale=31;"
         "7 ByteMark Zoned sign=separate-leading ebcdic;8 ColumnBegin Date format=YYYYDDD;9 ColumnEnd Date days1899;"
         "10 ByteMark BinReal ibm;11 ByteMark Text cp=850;12 LineEnd Date;"},
        {"1 ColumnBegin Date julian\n", "1 ColumnBegin Date julian;"},
        {"1 ColumnBegin Packed big\n", "line 1: option \"big\" does not apply to Packed (Packed takes: scale=N, unsigned)"},
        {"1 ColumnBegin Bcd scale=2\n", "line 1: option \"scale=2\" does not apply to Bcd (Bcd takes: -)"},
        {"1 ColumnBegin Integer scale=32\n", "line 1: option \"scale=32\" does not apply to Integer"},
        {"1 ColumnBegin Integer scale\n", "line 1: option \"scale\" does not apply to Integer"},
        {"1 ColumnBegin Integer big=1\n", "line 1: option \"big=1\" does not apply to Integer"},
        {"1 ColumnBegin Zoned sign=middle\n", "line 1: option \"sign=middle\" does not apply to Zoned"},
        {"1 ColumnBegin Zoned big\n", "line 1: option \"big\" does not apply to Zoned"},
        {"1 ColumnBegin Text cp=851\n", "line 1: unknown code page \"851\" (437"},
        {"1 ColumnBegin big\n", "line 1: unknown field type \"big\""},
        {"1 LineBegin Texts\n", "line 1: unknown field type \"Texts\" (Text, BinInteger, BinReal,"},
        {"1 LineBegin " + std::string(41, 'x'), "line 1: unknown field type \"" + std::string(40, 'x') + "...\""},
        // Names and widths, with any type.
        {"1 ColumnBegin Bcd name=Zip-code_09 width=1\n2 LineEnd Packed width=2 scale=1\n",
         "1 ColumnBegin Bcd width=1 name=Zip-code_09;2 LineEnd Packed scale=1 width=2;"},
        {"1 ColumnBegin Text name=Stra\xc3\x9f" "e\n", "line 1: name \"Stra\\xc3\\x9fe\": letters, digits, _ and - only"},
        {"1 ColumnBegin Text name=\n", "line 1: name \"\": letters, digits"},
        {"1 ColumnBegin Text name=" + std::string(65, 'x'), "line 1: name \"" + std::string(40, 'x') + "...\": letters"},
        {"1 ColumnBegin Text name=City\n2 ColumnEnd Date name=CITY\n", "line 2: name \"CITY\" is used twice"},
        {"1 ColumnBegin Text width=0\n", "line 1: width \"width=0\": a whole number from 1 on"},
        {"codepage 850\ntrim\n1 LineBegin\n", "850 trim;1 LineBegin ;"},
        {"codepage 1252\n", ""},
        {"codepage 851\n", "line 1: unknown code page \"851\" (437, 737, 850,"},
        {"codepage\n", "line 1: unknown code page \"\" (437"},
        {"codepage 850x\n", "line 1: unknown code page \"850x\""},
        {"0 LineBegin\r1 ColumnBegin\r7 LineEnd\r", // old Macintosh line ends: one line
         "line 1: unknown marker \"LineBegin\\x0d1\""},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(Read(text).substr(0, expected.size()), expected) << text;
    EXPECT_EQ(Read("9 LineEnd\n0 LineEnd\n", 5, UiLanguage::German),
              "Zeile 1: Bytenummer \"9\" liegt am oder hinter dem Ende der Quelldatei (5 Bytes)");
    // What is written reads back.
    Layout layout{{}, {437, true}};
    layout.marks.SetMarker(7, MarkerKind::LineBegin);
    layout.marks.SetFieldType(9, FieldType::Bcd);
    layout.marks.SetFieldType(11, FieldType::Zoned);
    layout.marks.SetFieldOptions(11, {false, false, 3, ZonedSign::Leading, true, false, DateForm::YYYYMMDD, 0});
    EXPECT_EQ(LoadLayout(FormatLayout(layout), 100, UiLanguage::English).layout, layout);
    // Settings the text does not name keep the caller's.
    EXPECT_EQ(LoadLayout("codepage 850\n", 100, UiLanguage::English, {1250, true}).layout.settings,
              (ConversionSettings{850, true}));
    EXPECT_EQ(Read("2147483646 LineEnd\n", 0xFFFFFFFFu), "2147483646 LineEnd ;");
    EXPECT_EQ(Read("2147483647 LineEnd\n", 0xFFFFFFFFu),
              "line 1: row \"2147483647\" is past the last row that can be marked (2147483646)");
    // Past four billion the digits still count: a row past a large source's end is past its end.
    EXPECT_EQ(Read("42949672950 LineEnd\n", 5'000'000'000u),
              "line 1: row \"42949672950\" lies at or past the end of the source (5000000000 bytes)");
}

} // namespace
} // namespace zorbik
