#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <variant>

#include "support/MemoryIo.h"
#include "target/CsvTarget.h"

namespace zorbik {
namespace {

// One cell: a text's bytes in the code page, an integer or a number.
using Cell = std::variant<std::string, std::int64_t, double>;

// The lines CsvTarget writes for one row of `cells` under the names A, B.
// A small buffer takes long fields through it in parts, a large one
// writes them in place.
std::string Csv(const std::vector<Cell>& cells, const TargetOptions& options = {}, std::uint16_t page = 1252,
                TargetNotes* notes = nullptr, std::size_t capacity = 64)
{
    MemorySink sink;
    const std::atomic<bool> stop{false};
    CsvTarget target(sink, stop, options, capacity, false);
    TargetStart start;
    start.codePage = page;
    for (std::size_t i = 0; i < 2; ++i)
        start.columns.push_back({i == 0 ? "A" : "B,x", CellKind::Text, 300});
    EXPECT_TRUE(target.Begin(start));
    target.Row(0);
    for (const Cell& cell : cells) {
        if (const auto* text = std::get_if<std::string>(&cell))
            target.Text(reinterpret_cast<const std::uint8_t*>(text->data()), static_cast<std::uint32_t>(text->size()));
        else if (const auto* integer = std::get_if<std::int64_t>(&cell))
            target.Integer(*integer);
        else
            target.Number(std::get<double>(cell));
    }
    target.EndRow();
    EXPECT_TRUE(target.End());
    if (notes != nullptr)
        *notes = target.Notes();
    return {sink.bytes.begin(), sink.bytes.end()};
}

// Quoted only when a field must be; texts decoded from their code page, a
// byte the page has no character for as U+FFFD, counted.
TEST(CsvTarget, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::string r = "\xEF\xBF\xBD"; // U+FFFD
    TargetOptions semicolon, tab, bare, bom;
    semicolon.delimiter = ';';
    tab.delimiter = '\t';
    bare.names = false;
    bom.bom = true;
    const struct {
        const char* name;
        std::vector<Cell> cells;
        TargetOptions options;
        std::string lines;
        std::uint16_t page = 1252;
        std::uint64_t undefined = 0;
    } rows[] = {
        {"plain texts", {std::string("plain"), std::string(" leading blank")}, bare, "plain, leading blank\r\n"},
        {"the names", {std::string("a"), std::string("b")}, {}, "A,\"B,x\"\r\na,b\r\n"},
        {"a byte order mark", {std::string("a"), std::string("b")}, bom, "\xEF\xBB\xBF" "A,\"B,x\"\r\na,b\r\n"},
        {"a comma", {std::string("a,b"), std::string("c")}, bare, "\"a,b\",c\r\n"},
        {"quotes doubled", {std::string("say \"hi\""), std::string("\"")}, bare, "\"say \"\"hi\"\"\",\"\"\"\"\r\n"},
        {"line breaks", {std::string("one\r\ntwo"), std::string("x\ny")}, bare, "\"one\r\ntwo\",\"x\ny\"\r\n"},
        {"a long quoted text", {std::string(100, '"') + ",", std::string()}, bare,
         "\"" + std::string(200, '"') + ",\",\r\n"},
        {"reasons past eight bytes",
         {std::string("Postfach 12\n3456"), std::string("\"7\" Kundennummer"), std::string("Lieferant 4 Nord,"),
          std::string("Lieferanten\r1234 und ihre Nummern")},
         bare, "\"Postfach 12\n3456\",\"\"\"7\"\" Kundennummer\",\"Lieferant 4 Nord,\",\"Lieferanten\r1234 und ihre Nummern\"\r\n"},
        {"the delimiter chosen", {std::string("a;b"), std::string("c,d")}, semicolon, "A;B,x\r\n\"a;b\";c,d\r\n"},
        {"tabs", {std::string("a\tb"), std::string("c")}, tab, "A\tB,x\r\n\"a\tb\"\tc\r\n"},
        {"a text ends at a zero byte", {std::string("ab\0cd", 5), std::string("\0", 1)}, bare, "ab,\r\n"},
        {"code page 1252", {std::string("M\xFCller"), std::string("\x80\x81\x8D")}, bare,
         "M\xC3\xBCller,\xE2\x82\xAC\xEF\xBF\xBD\xEF\xBF\xBD\r\n", 1252, 2},
        {"a gap of a DOS page above A0h", {std::string("\xD5"), std::string("\xD4")}, bare,
         "\xEF\xBF\xBD,\xC3\x88\r\n", 857, 1},
        {"EBCDIC 273, its blank and zero", {std::string("\xD4\xD0\x93\x93\x85\x99"), std::string("\x40\xC1\0\xC2", 4)},
         bare, "M\xC3\xBCller, A\r\n", 273},
        {"EBCDIC 037, a comma quoted", {std::string("\xD4\xDC\x93\x93\x85\x99"), std::string("\x5B\x6B")}, bare,
         "M\xC3\xBCller,\"$,\"\r\n", 37},
        // UTF-8: each invalid or cut-off sequence is one U+FFFD.
        {"UTF-8 of 2, 3 and 4 bytes", {std::string("M\xC3\xBC\xE2\x82\xAC"), std::string("\xF0\x9F\x98\x80")}, bare,
         "M\xC3\xBC\xE2\x82\xAC,\xF0\x9F\x98\x80\r\n", 65001},
        {"UTF-8 overlong and a surrogate", {std::string("\xC0\xAF"), std::string("\xE0\x80\xAF\xED\xA0\x80")}, bare,
         r + r + "," + r + r + r + r + r + r + "\r\n", 65001, 8},
        {"UTF-8 cut at the end, a wrong continuation", {std::string("ab\xE2\x82"), std::string("\xE2(\xA1")}, bare,
         "ab" + r + "," + r + "(" + r + "\r\n", 65001, 3},
        {"UTF-8 past U+10FFFF, a zero inside", {std::string("\xF4\x90\x80\x80\xF5"), std::string("\xE2\x82\0\xAC", 4)},
         bare, r + r + r + r + r + "," + r + "\r\n", 65001, 6},
        {"integers", {std::int64_t{-5}, std::int64_t{4294967296}}, bare, "-5,4294967296\r\n"},
        {"numbers, shortest", {0.1, 1e20, 2765.44, -0.0}, bare, "0.1,1e+20,2765.44,-0\r\n"},
        {"NaN and the infinities", {std::nan(""), inf, -inf}, bare, "NaN,inf,-inf\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TargetNotes notes;
        EXPECT_EQ(Csv(row.cells, row.options, row.page, &notes), row.lines);
        EXPECT_EQ(notes.undefinedBytes, row.undefined);
        EXPECT_EQ(Csv(row.cells, row.options, row.page, &notes, 4096), row.lines);
    }
}

} // namespace
} // namespace zorbik
