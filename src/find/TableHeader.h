// Tables that describe their own records: dBASE III and IV, FoxBASE,
// FoxPro, Visual FoxPro and Clipper (.dbf). Their header gives the record
// count, the header's and a record's length and one 32-byte descriptor per
// field, ended by 0Dh; where all of these agree with each other and with the
// file's size, the table's layout is known exactly and needs no guess.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "file/SourceBytes.h"
#include "layout/LayoutFile.h"
#include "layout/RecordDescription.h"
#include "messages/Messages.h"

namespace zorbik {

// The program family a version byte names, as the layout's comments say it.
enum class TableKind : std::uint8_t { FoxBase, Dbase3, Dbase3Memo, Dbase4, FoxPro, VisualFoxPro, Clipper };

// What the user should know about a field that converts other than its
// value: a memo's block number, a number too wide, an unknown code page.
struct TableNote {
    MessageId id;
    std::vector<std::string> args;
    bool operator==(const TableNote&) const = default;
};

struct TableHeader {
    TableKind kind = TableKind::Dbase3;
    std::uint8_t version = 0;       // the file's first byte
    std::uint64_t recordBegin = 0;  // the header's length: where the first record starts
    std::uint64_t recordCount = 0;
    bool endMark = false;           // a 1Ah after the last record, which is no record
    // The deletion flag as a column `deleted` of one byte, then the fields
    // in the header's order; the code page the language driver names.
    RecordDescription description;
    // For each field of the description, its type as the header declares
    // it: "C(20)", "N(9,2)"; the flag's "' '/'*'".
    std::vector<std::string> declared;
    std::vector<TableNote> notes;
};

// The bytes a header can take at most, with the first record's flag byte.
inline constexpr std::size_t kTableHeadBytes = 65536;

// Reads the header at the start of `head` (the file's first bytes, up to
// kTableHeadBytes) of a file of `fileSize` bytes whose last byte is
// `lastByte`. Nothing for bytes that are no such table or whose header
// disagrees with itself or the file.
std::optional<TableHeader> ReadTableHeader(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize,
                                           std::uint8_t lastByte);

// The same for a source; nothing when it cannot be read.
std::optional<TableHeader> RecogniseTable(const SourceBytes& source);

// A note in the user's language.
std::string TableNoteText(const TableNote& note, UiLanguage language);

// The marks and settings that convert the table's records.
Layout TableLayout(const TableHeader& table);

// What `--guess` prints for a table: comments on the table, its columns and
// the notes, then the layout file.
std::string FormatTable(const TableHeader& table, UiLanguage language);

// The window's words on a recognised table: what it is and the notes, one
// a line.
std::string TableSummary(const TableHeader& table, UiLanguage language);

} // namespace zorbik
