// The kinds of file a conversion can write, and what the user says about
// the target beside its path: chosen in one place, by the path's extension
// or by a word, so that the window and the command line agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorbik {

enum class TargetFormat : std::uint8_t {
    Xls,    // the BIFF2 worksheet: at most 65,534 rows and columns, texts in one code page
    Xlsx,   // Office Open XML, through libxlsxwriter
    Csv,    // comma-separated values, RFC 4180, UTF-8
    Sqlite, // one table of an SQLite database
};

// ".xls", ".xlsx", ".csv", ".sqlite" and ".db", in any case; nothing for
// another extension.
std::optional<TargetFormat> FormatOfPath(std::string_view path);
// "xls", "xlsx", "csv", "sqlite"; nothing for another word.
std::optional<TargetFormat> FormatOfWord(std::string_view word);
std::string_view FormatWord(TargetFormat format);

// Whether this build can write the format (the Windows build may lack the
// libraries of .xlsx and SQLite).
bool FormatBuilt(TargetFormat format);

// The page the note of bytes without a character names: the source's, or
// 1252 for a worksheet that holds the texts of the source in it.
std::uint16_t NotedCodePage(TargetFormat format, std::uint16_t sourcePage);

// Written by a library into a file of its own, which becomes the target
// by a rename at the end; the others are written as a stream of bytes.
constexpr bool WrittenAsFile(TargetFormat format)
{
    return format == TargetFormat::Xlsx || format == TargetFormat::Sqlite;
}

// Rows of one .xlsx sheet, and its columns; past the rows a next sheet
// begins.
inline constexpr std::uint32_t kXlsxSheetRows = 1048576;
inline constexpr std::uint32_t kXlsxColumns = 16384;
// Characters of one .xlsx cell; longer texts are cut and counted.
inline constexpr std::uint32_t kXlsxCellCharacters = 32767;

// The worksheet's name of column `column` (from 0): A .. Z, AA, AB, ...,
// the name of a column that has no other.
std::string ColumnLetters(std::uint32_t column);

// What the user chose about the target beside its format.
struct TargetOptions {
    TargetFormat format = TargetFormat::Xls;
    bool names = true;     // a first line (CSV) or row (.xlsx) of column names
    bool sheetNames = false; // .xls: a first row of names, which moves every record one row down
    char delimiter = ',';  // CSV: ',', ';' or '\t'
    bool bom = false;      // CSV: a UTF-8 byte order mark first
    std::string table;     // SQLite: the table's name; empty: "records"
};

// The name of an SQLite table made from `base` (a source file's name
// without folder and extension): letters, digits and '_' kept, every other
// byte '_', a leading digit prefixed with "t_"; "records" when nothing is
// left.
std::string SafeTableName(std::string_view base);

} // namespace zorbik
