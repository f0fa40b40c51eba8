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

namespace {

// Adds `row` to the runs, to the last one when it follows it.
void AddRow(std::vector<RowRun>& runs, std::int32_t row)
{
    if (!runs.empty() && runs.back().firstRow + static_cast<std::int64_t>(runs.back().length) == row)
        ++runs.back().length;
    else
        runs.push_back({row, 1});
}

} // namespace

std::uint32_t FieldExtract(const Marks& store, std::int32_t typeRow, bool& byteMarkMode, std::uint32_t fieldSize,
                           std::int32_t& endRow, std::vector<RowRun>& runs)
{
    runs.clear();
    endRow = typeRow;
    if (const std::uint32_t width = store.Width(typeRow); width != 0 && store.GetMarker(typeRow) == MarkerKind::ColumnBegin) {
        // The row gives the column's width: its bytes whole, byte marks or not.
        endRow = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{typeRow} + width - 1, kMaxMarkRow));
        const std::uint32_t count = std::min(width, fieldSize);
        runs.push_back({typeRow, count});
        return count;
    }
    const bool closed = MarkedRowSearch(store, typeRow, MarkerKind::ColumnEnd, MarkerKind::ColumnBegin, endRow) == FoundWanted;
    if (!closed) {
        // A one-row column: its ColumnBegin is all there is of it. Byte marks
        // further down belong to no column of this one.
        endRow = typeRow;
        runs.push_back({typeRow, 1});
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
        runs.push_back({typeRow, count});
        return count;
    }
    std::uint32_t count = 0;
    std::int32_t cur = typeRow;
    for (;;) {
        AddRow(runs, cur);
        if (++count == fieldSize)
            return fieldSize;
        if (MarkedRowSearch(store, cur, MarkerKind::ByteMark, MarkerKind::ColumnEnd, cur) != FoundWanted)
            break;
    }
    // cur is the column's ColumnEnd now; its byte counts only when typed.
    if (!store.HasNoFieldType(cur)) {
        AddRow(runs, cur);
        ++count;
    }
    return count;
}

ColumnPlan BuildColumnPlan(const Marks& store, const RecordLayout& layout, std::uint32_t textSize)
{
    ColumnPlan plan;
    plan.columns.reserve(layout.columnCount);
    std::vector<RowRun> runs;
    std::int32_t cursor = layout.walkFrom;
    bool anyRow = false;
    for (std::uint32_t c = 0; c < layout.columnCount; ++c) {
        std::int32_t typeRow = kNoRow;
        bool byteMarkMode = false;
        std::int32_t beginRow = kNoRow;
        const FieldType type = FindColumnType(store, cursor, typeRow, byteMarkMode, &beginRow);
        const std::uint32_t size = type == FieldType::Text ? textSize : IsDesignType(type) ? FieldSize(type) : kWholeField;
        FieldExtract(store, typeRow, byteMarkMode, size, cursor, runs);

        PlannedColumn column{type,     store.GetFieldOptions(typeRow), static_cast<std::uint32_t>(plan.runs.size()),
                             0,        0,
                             beginRow, cursor,
                             typeRow,  false,
                             store.GetTraits(typeRow).name};
        column.byteMarks = byteMarkMode;
        for (RowRun run : runs) {
            if (run.firstRow < 0) { // only a layout that skipped validation gets here
                const auto before = static_cast<std::uint32_t>(-static_cast<std::int64_t>(run.firstRow));
                if (run.length <= before)
                    continue;
                run = {0, run.length - before};
            }
            plan.runs.push_back(run);
            ++column.runCount;
            column.byteCount += run.length;
            const std::int32_t last = run.firstRow + static_cast<std::int32_t>(run.length - 1);
            if (!anyRow || run.firstRow < plan.minRow)
                plan.minRow = run.firstRow;
            if (!anyRow || last > plan.maxRow)
                plan.maxRow = last;
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
