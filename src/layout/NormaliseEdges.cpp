#include "layout/NormaliseEdges.h"

namespace zorbik {
namespace {

bool WantsLeadingColumn(const RowStore& store, const RecordLayout& layout)
{
    if (!store.HasNoFieldType(layout.lineBegin))
        return true;
    std::int32_t found = kNoRow;
    return MarkedRowSearch(store, layout.lineBegin, MarkerKind::ByteMark, MarkerKind::ColumnBegin, found, true) !=
           FoundStop;
}

void MakeLeadingColumn(RowStore& store, RecordLayout& layout)
{
    std::int32_t firstBegin = kNoRow;
    std::int32_t endRow = layout.lineEnd;
    if (MarkedRowSearch(store, layout.lineBegin, MarkerKind::ColumnBegin, MarkerKind::ColumnEnd, firstBegin, true) ==
        FoundWanted) {
        endRow = firstBegin - 1;
    } else {
        layout.wholeRecordColumn = true;
    }
    // When the first column starts right after the record begin, both
    // writes hit one row and it ends up a ColumnBegin: a one-row column
    // that the column walk reads as that single byte.
    store.SetMarker(endRow, MarkerKind::ColumnEnd);
    store.SetMarker(layout.lineBegin, MarkerKind::ColumnBegin);
    --layout.lineBegin;
    ++layout.columnCount;
}

bool WantsTrailingColumn(const RowStore& store, const RecordLayout& layout)
{
    // Columns marked beyond the record end leave no trailing edge to fill.
    if (layout.lastColumnEnd > layout.lineEnd)
        return false;
    if (!store.HasNoFieldType(layout.lineEnd))
        return true;
    std::int32_t found = kNoRow;
    return MarkedRowSearch(store, layout.lastColumnEnd, MarkerKind::ByteMark, MarkerKind::LineEnd, found, true) ==
           FoundWanted;
}

} // namespace

void NormaliseEdges(RowStore& store, RecordLayout& layout)
{
    layout.wholeRecordColumn = false;
    if (WantsLeadingColumn(store, layout))
        MakeLeadingColumn(store, layout);

    if (layout.wholeRecordColumn || !WantsTrailingColumn(store, layout))
        return;
    store.SetMarker(layout.lineEnd, MarkerKind::ColumnEnd);
    store.SetMarker(layout.lastColumnEnd + 1, MarkerKind::ColumnBegin);
    ++layout.columnCount;
}

} // namespace zorbik
