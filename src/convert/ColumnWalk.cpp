#include "convert/ColumnWalk.h"

#include <algorithm>

namespace zorbik {

FieldType FindColumnType(const Marks& store, std::int32_t from, std::int32_t& typeRow, bool& byteMarkMode,
                        std::int32_t* beginRow)
{
    byteMarkMode = false;
    std::int32_t r = from;
    MarkedRowSearch(store, from, MarkerKind::ColumnBegin, MarkerKind::ColumnEnd, r);
    if (beginRow != nullptr)
        *beginRow = r;
    typeRow = r;
    if (store.HasNoFieldType(r)) {
        std::int32_t b = r;
        if (MarkedRowSearch(store, r, MarkerKind::ByteMark, MarkerKind::ColumnEnd, b) == FoundWanted) {
            typeRow = b;
            byteMarkMode = true;
        }
    }
    return ConvertedType(store.GetFieldType(typeRow));
}

std::uint32_t FieldExtract(const Marks& store, std::int32_t typeRow, bool& byteMarkMode, std::uint32_t fieldSize,
                           std::int32_t& endRow, std::vector<std::int32_t>& rows)
{
    rows.clear();
    endRow = typeRow;
    const bool closed = MarkedRowSearch(store, typeRow, MarkerKind::ColumnEnd, MarkerKind::ColumnBegin, endRow) == FoundWanted;
    if (!closed) {
        // A one-row column: its ColumnBegin is all there is of it. Byte marks
        // further down belong to no column of this one.
        endRow = typeRow;
        rows.push_back(typeRow);
        return 1;
    }
    if (!byteMarkMode) {
        std::int32_t s = typeRow;
        byteMarkMode =
            MarkedRowSearch(store, typeRow, MarkerKind::ByteMark, MarkerKind::ColumnEnd, s) == FoundWanted;
    }
    if (!byteMarkMode) {
        const auto n = static_cast<std::uint32_t>(endRow - typeRow + 1);
        const std::uint32_t count = std::min(n, fieldSize);
        for (std::uint32_t i = 0; i < count; ++i)
            rows.push_back(typeRow + static_cast<std::int32_t>(i));
        return count;
    }
    std::int32_t cur = typeRow;
    for (;;) {
        rows.push_back(cur);
        if (rows.size() == fieldSize)
            return fieldSize;
        if (MarkedRowSearch(store, cur, MarkerKind::ByteMark, MarkerKind::ColumnEnd, cur) != FoundWanted)
            break;
    }
    // cur is the column's ColumnEnd now; its byte counts only when typed.
    if (!store.HasNoFieldType(cur))
        rows.push_back(cur);
    return static_cast<std::uint32_t>(rows.size());
}

ColumnPlan BuildColumnPlan(const Marks& store, const RecordLayout& layout)
{
    ColumnPlan plan;
    plan.columns.reserve(layout.columnCount);
    std::vector<std::int32_t> rows;
    std::int32_t cursor = layout.walkFrom;
    bool anyRow = false;
    for (std::uint32_t c = 0; c < layout.columnCount; ++c) {
        std::int32_t typeRow = kNoRow;
        bool byteMarkMode = false;
        std::int32_t beginRow = kNoRow;
        const FieldType type = FindColumnType(store, cursor, typeRow, byteMarkMode, &beginRow);
        FieldExtract(store, typeRow, byteMarkMode, FieldSize(type), cursor, rows);

        PlannedColumn column{type, static_cast<std::uint32_t>(plan.runs.size()), 0, 0, beginRow, cursor, typeRow, false};
        column.byteMarks = byteMarkMode;
        for (const std::int32_t row : rows) {
            if (row < 0)
                continue; // only a layout that skipped validation gets here
            if (column.runCount > 0 && plan.runs.back().firstRow + static_cast<std::int32_t>(plan.runs.back().length) == row) {
                ++plan.runs.back().length;
            } else {
                plan.runs.push_back({row, 1});
                ++column.runCount;
            }
            ++column.byteCount;
            if (!anyRow || row < plan.minRow)
                plan.minRow = row;
            if (!anyRow || row > plan.maxRow)
                plan.maxRow = row;
            anyRow = true;
        }
        plan.columns.push_back(column);
    }
    if (!anyRow) {
        plan.minRow = 0;
        plan.maxRow = -1;
    }
    return plan;
}

} // namespace zorbik
