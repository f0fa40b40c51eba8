// How the marks of the prototype record cut each record into fields: the
// columns in row order, each with its type and the rows whose bytes make up
// its field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/ConversionSettings.h"
#include "record/RecordLayout.h"
#include "marks/Marks.h"

namespace zorbik {

// Finds the column after row `from`: its type row (the ColumnBegin when that
// row has a field type, else the first ByteMark of the column, if any) and
// whether byte marks select its bytes. Returns the column's type.
// `beginRow`, when given, receives the column's first row.
FieldType FindColumnType(const Marks& store, std::int32_t from, std::int32_t& typeRow, bool& byteMarkMode,
                        std::int32_t* beginRow = nullptr);

// A run of consecutive rows of one field.
struct RowRun {
    std::int32_t firstRow;
    std::uint32_t length;
};

// Lists the rows whose bytes form the column's field, in order, at most
// `fieldSize` of them, as runs of consecutive rows into `runs`; sets
// `endRow` to the column's last row and switches `byteMarkMode` on when
// byte marks follow a typed ColumnBegin. A ColumnBegin whose row gives a
// width is that many bytes; one that no ColumnEnd closes (a one-row edge
// column) is the single type row. Returns the rows listed.
std::uint32_t FieldExtract(const Marks& store, std::int32_t typeRow, bool& byteMarkMode, std::uint32_t fieldSize,
                           std::int32_t& endRow, std::vector<RowRun>& runs);

struct PlannedColumn {
    FieldType type;
    FieldOptions options;
    std::uint32_t firstRun; // index into ColumnPlan::runs
    std::uint32_t runCount;
    std::uint32_t byteCount; // bytes of the field before the source end cuts it
    // Where the column lies in the prototype, for explaining it to the user.
    std::int32_t beginRow;
    std::int32_t endRow;
    std::int32_t typeRow;
    bool byteMarks; // byte marks select the field's bytes
    std::string name; // the type row's; "" for a column known by its letters
};

// The column structure of a conversion, worked out once from the row store:
// every record is cut up the same way, shifted by k * recordLength.
struct ColumnPlan {
    std::vector<PlannedColumn> columns;
    std::vector<RowRun> runs;
    std::int32_t minRow = 0; // rows the plan reads, for the reader's window
    std::int32_t maxRow = -1;
    ConversionSettings settings; // set by PrepareConversion
};

// A text field's bytes without a limit.
inline constexpr std::uint32_t kWholeField = 0xFFFFFFFFu;

// Walks the columns of the prototype exactly as a per-record walk would, for
// layout.columnCount columns, starting after layout.walkFrom. A text field
// takes at most `textSize` bytes (a worksheet's 255), the design's other
// types their own size; the newer types take the whole field, whose width
// PrepareConversion checks.
ColumnPlan BuildColumnPlan(const Marks& store, const RecordLayout& layout, std::uint32_t textSize);

} // namespace zorbik
