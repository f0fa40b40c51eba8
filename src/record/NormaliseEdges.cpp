#include "record/NormaliseEdges.h"

#include <algorithm>

namespace zorbik {
namespace {

// `tailFirst` is the first row of a trailing column of set width, the row
// after the record without one: a byte mark there is that column's.
bool WantsLeadingColumn(const Marks& store, const RecordLayout& layout, std::int32_t tailFirst)
{
    if (!store.HasNoFieldType(layout.recordBegin))
        return true;
    std::int32_t found = kNoRow;
    switch (MarkedRowSearch(store, layout.recordBegin, MarkerKind::ByteMark, MarkerKind::ColumnBegin, found)) {
    case FoundStop:
        return false;
    case FoundWanted:
        return found < tailFirst;
    default: // no column mark follows: the whole record, unless a trailing column is there
        return tailFirst > layout.lineEnd;
    }
}

// Returns whether the column covers the whole record.
bool MakeLeadingColumn(Marks& store, RecordLayout& layout, std::int32_t tailFirst)
{
    std::int32_t firstBegin = kNoRow;
    std::int32_t endRow = layout.lineEnd;
    if (const std::uint32_t width = store.Width(layout.recordBegin)) {
        // Validation saw that it ends inside the record, before any column;
        // the column walk takes its width from the row.
        endRow = layout.recordBegin + static_cast<std::int32_t>(width - 1);
    } else {
        if (MarkedRowSearch(store, layout.recordBegin, MarkerKind::ColumnBegin, MarkerKind::ColumnEnd, firstBegin) ==
            FoundWanted)
            endRow = firstBegin - 1;
        else
            endRow = tailFirst - 1;
        // When the first column starts right after the record begin, both
        // writes hit one row and it ends up a ColumnBegin: a one-row column
        // that the column walk reads as that single byte.
        store.SetMarker(endRow, MarkerKind::ColumnEnd);
    }
    store.SetMarker(layout.recordBegin, MarkerKind::ColumnBegin);
    --layout.walkFrom;
    ++layout.columnCount;
    layout.lastColumnEnd = std::max(layout.lastColumnEnd, endRow);
    return endRow >= layout.lineEnd;
}

bool WantsTrailingColumn(const Marks& store, const RecordLayout& layout)
{
    if (layout.lastColumnEnd >= layout.lineEnd)
        return false; // a column of set width ends on the record's last byte
    if (!store.HasNoFieldType(layout.lineEnd))
        return true;
    std::int32_t found = kNoRow;
    return MarkedRowSearch(store, layout.lastColumnEnd, MarkerKind::ByteMark, MarkerKind::LineEnd, found) ==
           FoundWanted;
}

// The LineEnd's type, options and traits move to the column's first row,
// the one the column walk reads them from.
void MakeTrailingColumnOfWidth(Marks& store, RecordLayout& layout, std::int32_t first)
{
    const std::int32_t end = layout.lineEnd;
    store.SetFieldType(first, store.GetFieldType(end));
    store.SetFieldOptions(first, store.GetFieldOptions(end));
    store.SetTraits(first, store.GetTraits(end));
    store.SetMarker(first, MarkerKind::ColumnBegin);
    layout.lastColumnEnd = end;
    ++layout.columnCount;
}

} // namespace

void NormaliseEdges(Marks& store, RecordLayout& layout)
{
    const std::uint32_t tailWidth = store.Width(layout.lineEnd);
    const std::int32_t tailFirst = layout.lineEnd + 1 - static_cast<std::int32_t>(tailWidth);
    const bool wholeRecord =
        WantsLeadingColumn(store, layout, tailFirst) && MakeLeadingColumn(store, layout, tailFirst);
    if (wholeRecord)
        return;
    if (tailWidth != 0) {
        MakeTrailingColumnOfWidth(store, layout, tailFirst);
        return;
    }
    if (!WantsTrailingColumn(store, layout))
        return;
    const std::int32_t first = layout.lastColumnEnd + 1;
    // A width on the row after the last column is no column's: this one
    // runs to the LineEnd.
    ColumnTraits traits = store.GetTraits(first);
    traits.width = 0;
    store.SetTraits(first, traits);
    store.SetMarker(layout.lineEnd, MarkerKind::ColumnEnd);
    store.SetMarker(first, MarkerKind::ColumnBegin);
    ++layout.columnCount;
}

} // namespace zorbik
