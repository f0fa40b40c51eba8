// The header recogniser on hand-made tables: each kind of header gives its
// fields, code page and notes; a header that disagrees with itself or with
// the file is no table.
#include <gtest/gtest.h>

#include <functional>

#include "find/TableHeader.h"
#include "layout/LayoutFile.h"
#include "support/MemoryIo.h"

namespace zorbik {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Field {
    const char* name;
    char type;
    std::uint16_t width;
    std::uint8_t decimals = 0;
};

// A table of two records (the second deleted): header, descriptors, 0Dh and
// `afterFields` more bytes, records of blanks, the end-of-file byte.
Bytes Table(std::uint8_t version, std::uint8_t driver, const std::vector<Field>& fields, std::size_t afterFields = 0,
            bool endMark = true)
{
    std::uint32_t length = 1;
    for (const Field& f : fields)
        length += f.width;
    const std::size_t header = 32 * (fields.size() + 1) + 1 + afterFields;
    Bytes b(header, 0);
    b[0] = version;
    b[1] = 124, b[2] = 12, b[3] = 31;
    b[4] = 2;
    b[8] = static_cast<std::uint8_t>(header), b[9] = static_cast<std::uint8_t>(header >> 8);
    b[10] = static_cast<std::uint8_t>(length), b[11] = static_cast<std::uint8_t>(length >> 8);
    b[29] = driver;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::uint8_t* d = b.data() + 32 * (i + 1);
        std::copy_n(fields[i].name, std::char_traits<char>::length(fields[i].name), d);
        d[11] = static_cast<std::uint8_t>(fields[i].type);
        d[16] = static_cast<std::uint8_t>(fields[i].width);
        d[17] = fields[i].type == 'C' ? static_cast<std::uint8_t>(fields[i].width >> 8) : fields[i].decimals;
    }
    b[32 * (fields.size() + 1)] = 0x0D;
    for (char flag : {' ', '*'}) {
        b.push_back(static_cast<std::uint8_t>(flag));
        b.insert(b.end(), length - 1, ' ');
    }
    if (endMark)
        b.push_back(0x1A);
    return b;
}

std::optional<TableHeader> Read(const Bytes& b)
{
    return ReadTableHeader(b.data(), b.size(), b.size(), b.empty() ? 0 : b.back());
}

// The fields as "name offset width Type options", the page, the notes' ids.
std::string Described(const TableHeader& table)
{
    std::string text;
    for (const DescribedField& f : table.description.fields)
        text += f.name + " " + std::to_string(f.offset) + " " + std::to_string(f.width) + " " +
                std::string(FieldTypeWord(f.type)) + FieldOptionWords(f.type, f.options) + "|";
    text += "cp" + std::to_string(table.description.settings.codePage);
    for (const TableNote& note : table.notes)
        text += " " + TableNoteText(note, UiLanguage::English);
    return text;
}

TEST(TableHeader, EachKindOfHeaderGivesItsFields)
{
    const struct {
        Bytes table;
        TableKind kind;
        std::uint64_t begin;
        std::string described;
    } rows[] = {
        {Table(0x03, 0x57, {{"NAME", 'C', 10}, {"AMOUNT", 'N', 8, 2}, {"BORN", 'D', 8}, {"OK", 'L', 1}}, 1),
         TableKind::Dbase3, 162,
         "deleted 0 1 Text|NAME 1 10 Text|AMOUNT 11 8 DecimalNumber blank-empty|BORN 19 8 Date|OK 27 1 Text|cp1252"},
        {Table(0x30, 0x03,
               {{"ID", 'I', 4}, {"PRICE", 'Y', 8}, {"STAMP", 'T', 8}, {"RATE", 'B', 8}, {"NOTES", 'M', 4},
                {"_NullFlags", '0', 1}},
               263),
         TableKind::VisualFoxPro, 488,
         "deleted 0 1 Text|ID 1 4 Integer|PRICE 5 8 Integer scale=4|STAMP 13 8 Date julian|RATE 21 8 BinReal|"
         "NOTES 29 4 Integer unsigned|cp1252 Field NOTES (M) lives in a memo file: only its block number is "
         "converted. The system field _NullFlags (Visual FoxPro's null flags) is not converted."},
        {Table(0x8B, 0x65, {{"MEMO", 'M', 10}, {"BLOB", 'B', 10}, {"F1", 'F', 20, 5}, {"WIDE", 'N', 25}}),
         TableKind::Dbase4, 161,
         "deleted 0 1 Text|MEMO 1 10 Text|BLOB 11 10 Text|F1 21 20 DecimalNumber blank-empty|WIDE 41 25 Text|cp866 Field MEMO (M) "
         "lives in a memo file: only its block number is converted. Field BLOB (B) lives in a memo file: only its "
         "block number is converted. Field WIDE is a number of 25 characters, wider than 20: it is converted as text."},
        // Clipper's long texts; names a layout file can hold, each once
        {Table(0x03, 0x00, {{"LONG", 'C', 300}, {"DELETED", 'C', 2}, {"K\x84SE", 'C', 1}, {"K_SE", 'C', 1}}),
         TableKind::Dbase3, 161,
         "deleted 0 1 Text|LONG 1 300 Text|DELETED_2 301 2 Text|K_SE 303 1 Text|K_SE_2 304 1 Text|cp1252 The header "
         "names no code page (language driver 00h): check the code page before converting."},
        {Table(0xF5, 0x68, {{"A", 'C', 1}}), TableKind::FoxPro, 65,
         "deleted 0 1 Text|A 1 1 Text|cp1252 The language driver 68h names code page 895, which ZORBIK does not know: "
         "choose the code page before converting."},
        {Table(0xFB, 0xC8, {{"A", 'C', 3}}, 0, false), TableKind::FoxBase, 65, "deleted 0 1 Text|A 1 3 Text|cp1250"},
    };
    for (const auto& row : rows) {
        const std::optional<TableHeader> table = RecogniseTable(MemorySource(row.table));
        ASSERT_TRUE(table) << row.described;
        EXPECT_EQ(table->kind, row.kind) << row.described;
        EXPECT_EQ(table->recordBegin, row.begin) << row.described;
        EXPECT_EQ(table->recordCount, 2u) << row.described;
        EXPECT_EQ(table->endMark, row.table.back() == 0x1A) << row.described;
        EXPECT_TRUE(table->description.settings.trimTexts);
        EXPECT_EQ(Described(*table), row.described);
    }
}

TEST(TableHeader, AHeaderThatDisagreesIsNoTable)
{
    const Bytes good = Table(0x03, 0x57, {{"NAME", 'C', 10}, {"AMOUNT", 'N', 8, 2}});
    ASSERT_TRUE(Read(good));
    const std::function<void(Bytes&)> set[] = {
        [](Bytes& b) { b[0] = 0x07; },                   // no version byte
        [](Bytes& b) { b[2] = 13; },                     // month 13 in the date of the last change
        [](Bytes& b) { b[4] = 3; },                      // more records than the file holds
        [](Bytes& b) { b[4] = 1; },                      // fewer
        [](Bytes& b) { b[8] -= 1; },                     // header length
        [](Bytes& b) { b[10] += 1; },                    // record length not the fields' sum
        [](Bytes& b) { b[96] = ' '; },                   // no 0Dh after the descriptors
        [](Bytes& b) { b[32 + 11] = 'X'; },              // no such type
        [](Bytes& b) { b[32] = 0; },                     // a field without a name
        [](Bytes& b) { b[64 + 17] = 8; },                // as many decimals as digits
        [](Bytes& b) { b.back() = 0; },                  // a last byte that is no end mark
        [](Bytes& b) { b.pop_back(), b.pop_back(); },    // a record cut short
        [](Bytes& b) { b[97] = 'X'; },                   // the first record's flag neither blank nor '*'
        [](Bytes& b) { b.resize(40); },                  // no room for a descriptor
        [](Bytes& b) { b = Table(0x03, 0x57, {{"D", 'D', 7}}); },      // a date of 7 bytes
        [](Bytes& b) { b = Table(0x30, 0x03, {{"M", 'M', 6}}, 263); }, // a memo of 6
        [](Bytes& b) { b = Table(0x03, 0x57, {{"A", 'C', 3}}, 300); }, // 300 bytes between fields and records
        [](Bytes& b) { b = Table(0x03, 0x57, {{"A", 'C', 0}}); },      // a field of no bytes
    };
    for (std::size_t i = 0; i < std::size(set); ++i) {
        Bytes b = good;
        set[i](b);
        EXPECT_FALSE(Read(b)) << "case " << i;
    }
}

} // namespace
} // namespace zorbik
