// The header recogniser on hand-made tables: each kind of header gives its
// fields, code page and notes; a header that disagrees with itself or with
// the file is no table.
#include <gtest/gtest.h>

#include "find/TableHeader.h"
#include "support/DbaseTable.h"
#include "support/MemoryIo.h"

namespace zorbik {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::Table;

// The kind, where records begin, the fields as "name offset width Type
// options", the code page and what the notes name.
std::string Described(const Bytes& bytes)
{
    const std::optional<TableHeader> table = RecogniseTable(MemorySource(bytes));
    if (!table)
        return "no table";
    std::string text = std::to_string(static_cast<int>(table->kind)) + " @" + std::to_string(table->recordBegin) +
                       " x" + std::to_string(table->recordCount) + (table->endMark ? " 1A" : "") +
                       (table->description.settings.trimTexts ? " trim|" : "|");
    for (const DescribedField& f : table->description.fields)
        text += f.name + " " + std::to_string(f.offset) + " " + std::to_string(f.width) + " " +
                std::string(FieldTypeWord(f.type)) + FieldOptionWords(f.type, f.options) + "|";
    text += "cp" + std::to_string(table->description.settings.codePage);
    for (const TableNote& note : table->notes)
        for (std::size_t i = 0; i < note.args.size(); ++i)
            text += (i == 0 ? " / " : " ") + note.args[i];
    return text;
}

TEST(TableHeader, EachKindOfHeaderGivesItsFields)
{
    const std::pair<Bytes, std::string> rows[] = {
        {Table(0x03, 0x57, {{"NAME", 'C', 10}, {"AMOUNT", 'N', 8, 2}, {"BORN", 'D', 8}, {"OK", 'L', 1}}, 1),
         "1 @162 x2 1A trim|deleted 0 1 Text|NAME 1 10 Text|AMOUNT 11 8 DecimalNumber blank-empty|BORN 19 8 Date|"
         "OK 27 1 Text|cp1252"},
        {Table(0x30, 0x03, {{"ID", 'I', 4}, {"PRICE", 'Y', 8}, {"STAMP", 'T', 8}, {"RATE", 'B', 8}, {"NOTES", 'M', 4},
                            {"_NullFlags", '0', 1}}, 263),
         "5 @488 x2 1A trim|deleted 0 1 Text|ID 1 4 Integer|PRICE 5 8 Integer scale=4|STAMP 13 8 Date julian|"
         "RATE 21 8 BinReal|NOTES 29 4 Integer unsigned|cp1252 / NOTES M / _NullFlags"},
        {Table(0x8B, 0x65, {{"MEMO", 'M', 10}, {"BLOB", 'B', 10}, {"F1", 'F', 20, 5}, {"WIDE", 'N', 25}}),
         "3 @161 x2 1A trim|deleted 0 1 Text|MEMO 1 10 Text|BLOB 11 10 Text|F1 21 20 DecimalNumber blank-empty|"
         "WIDE 41 25 Text|cp866 / MEMO M / BLOB B / WIDE 25"},
        // Clipper's long texts; names a layout file can hold, each once
        {Table(0x03, 0x00, {{"LONG", 'C', 300}, {"DELETED", 'C', 2}, {"K\x84SE", 'C', 1}, {"K_SE", 'C', 1}}),
         "1 @161 x2 1A trim|deleted 0 1 Text|LONG 1 300 Text|DELETED_2 301 2 Text|K_SE 303 1 Text|K_SE_2 304 1 Text|"
         "cp1252 / 00"},
        {Table(0xF5, 0x68, {{"A", 'C', 1}}), "4 @65 x2 1A trim|deleted 0 1 Text|A 1 1 Text|cp1252 / 68 895"},
        {Table(0xFB, 0xC8, {{"A", 'C', 3}}, 0, false), "0 @65 x2 trim|deleted 0 1 Text|A 1 3 Text|cp1250"},
    };
    for (const auto& [bytes, described] : rows)
        EXPECT_EQ(Described(bytes), described);
}

TEST(TableHeader, AHeaderThatDisagreesIsNoTable)
{
    const Bytes good = Table(0x03, 0x57, {{"NAME", 'C', 10}, {"AMOUNT", 'N', 8, 2}});
    ASSERT_NE(Described(good), "no table");
    // A byte set: no version; month 13; more and fewer records than the
    // file holds; header and record length; no 0Dh; no such type; no name;
    // as many decimals as digits; no end mark; a first flag neither blank
    // nor '*'.
    const std::pair<std::size_t, std::uint8_t> set[] = {{0, 7},  {2, 13},   {4, 3},   {4, 1},   {8, 96},
                                                        {10, 20}, {96, ' '}, {43, 'X'}, {32, 0}, {81, 8},
                                                        {good.size() - 1, 0}, {97, 'X'}};
    // Besides: a record cut short, no room for a descriptor, a date of 7
    // bytes, a memo of 6, 300 bytes between fields and records, a field of 0.
    std::vector<Bytes> faulty = {Bytes(good.begin(), good.end() - 2), Bytes(good.begin(), good.begin() + 40),
                                 Table(0x03, 0x57, {{"D", 'D', 7}}), Table(0x30, 0x03, {{"M", 'M', 6}}, 263),
                                 Table(0x03, 0x57, {{"A", 'C', 3}}, 300), Table(0x03, 0x57, {{"A", 'C', 0}})};
    for (const auto& [at, byte] : set) {
        faulty.push_back(good);
        faulty.back()[at] = byte;
    }
    for (const Bytes& b : faulty)
        EXPECT_EQ(Described(b), "no table") << ::testing::PrintToString(b);
}

} // namespace
} // namespace zorbik
