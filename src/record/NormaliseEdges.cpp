#include "record/NormaliseEdges.h"

namespace zorbik {
namespace {

bool WantsLeadingColumn(const Marks& store, const RecordLayout& layout)
{
    if (!store.HasNoFieldType(layout.recordBegin))
        return true;
    std::int32_t found = kNoRow;
    return MarkedRowSearch(store, layout.recordBegin, MarkerKind::ByteMark, MarkerKind::ColumnBegin, found) !=
           FoundStop;
}

// Returns whether the column covers the whole record.
bool MakeLeadingColumn(Marks& store, RecordLayout& layout)
{
    std::int32_t firstBegin = kNoRow;
    std::int32_t endRow = layout.lineEnd;
    bool wholeRecord = false;
    if (MarkedRowSearch(store, layout.recordBegin, MarkerKind::ColumnBegin, MarkerKind::ColumnEnd, firstBegin) ==
        FoundWanted) {
        endRow = firstBegin - 1;
    } else {
        wholeRecord = true;
    }
    // When the first column starts right after the record begin, both
    // writes hit one row and it ends up a ColumnBegin: a one-row column
    // that the column walk reads as that single byte.
    store.SetMarker(endRow, MarkerKind::ColumnEnd);
    store.SetMarker(layout.recordBegin, MarkerKind::ColumnBegin);
    --layout.walkFrom;
    ++layout.columnCount;
    return wholeRecord;
}

bool WantsTrailingColumn(const Marks& store, const RecordLayout& layout)
{
    if (!store.HasNoFieldType(layout.lineEnd))
        return true;
    std::int32_t found = kNoRow;
    return MarkedRowSearch(store, layout.lastColumnEnd, MarkerKind::ByteMark, MarkerKind::LineEnd, found) ==
           FoundWanted;
}

} // namespace

void NormaliseEdges(Marks& store, RecordLayout& layout)
{
    const bool wholeRecord = WantsLeadingColumn(store, layout) && MakeLeadingColumn(store, layout);
    if (wholeRecord || !WantsTrailingColumn(store, layout))
        return;
    store.SetMarker(layout.lineEnd, MarkerKind::ColumnEnd);
    store.SetMarker(layout.lastColumnEnd + 1, MarkerKind::ColumnBegin);
    ++layout.columnCount;
}

} // namespace zorbik
