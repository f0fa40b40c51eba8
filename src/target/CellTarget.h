// What a conversion writes its cells to. The record loop cuts every record
// into fields and hands each target the same cells; one class per format
// (Biff2Target, CsvTarget, XlsxTarget, SqliteTarget, and the preview's
// collector) turns them into its file. The loop is a template over the
// target, so that a cell costs no call through a table.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/FieldDecoders.h"

namespace zorbik {

// What a column's cells are: SQLite's column affinity, CSV's and .xlsx's
// way of writing them.
enum class CellKind : std::uint8_t { Text, Integer, Number, Date };

struct TargetColumn {
    std::string name; // UTF-8: "A", "B", ... or the layout's name
    CellKind kind;
    std::uint32_t bytes = 0; // of the field at most
    std::uint16_t codePage = 0; // a text column's own page; 0 for the source's
};

// Told once before the first row.
struct TargetStart {
    std::vector<TargetColumn> columns;
    std::uint64_t recordCount = 0; // rows that will follow
    std::uint16_t codePage = 0;    // the page the text bytes are in
};

// Each column's own page, 0 for the source's.
inline std::vector<std::uint16_t> ColumnPages(const TargetStart& start)
{
    std::vector<std::uint16_t> pages;
    for (const TargetColumn& column : start.columns)
        pages.push_back(column.codePage);
    return pages;
}

// What a target had to change in the cells, reported to the user once at
// the end.
struct TargetNotes {
    std::uint64_t undefinedBytes = 0; // text bytes the code page has no character for
    std::uint64_t textsCut = 0;       // texts longer than a cell of the format holds
    bool operator==(const TargetNotes&) const = default;
};

// The calls of a conversion, in this order: Begin; for every record Row,
// one cell call per column, EndRow; then End, or Abort when the
// conversion stops or fails. Failed() is asked after every batch of rows;
// once it is true the target writes nothing more.
//
// Text cells get the field's bytes in the source's code page, already
// trimmed when the user asked for it; a target that writes Unicode
// decodes them (TextDecoder), ending a text at its first zero byte.
// Unsigned gets only integers above the largest int64. A date comes with
// the number the design's worksheet shows for its bytes. An empty cell is
// a field without a value: an invalid one (which the user hears of) or an
// empty date.
template <class T>
concept CellTarget = requires(T target, const TargetStart& start, std::uint64_t row, const std::uint8_t* bytes,
                              std::uint32_t n, std::int64_t integer, std::uint64_t large, double number,
                              const DateValue& date, bool invalid) {
    { target.Begin(start) } -> std::same_as<bool>;
    target.Row(row);
    target.Text(bytes, n);
    target.Integer(integer);
    target.Unsigned(large);
    target.Number(number);
    target.Date(date, number);
    target.Empty(invalid);
    target.EndRow();
    { target.Failed() } -> std::same_as<bool>;
    { target.End() } -> std::same_as<bool>;
    target.Abort();
    { target.Notes() } -> std::same_as<TargetNotes>;
};

} // namespace zorbik
