#include "record/ValidateLayout.h"

namespace zorbik {
namespace {

// A column or byte mark after the LineEnd would read the next record's
// bytes: the first one is a fault of its own.
LayoutFault ColumnMarkAfterEnd(const Marks& store, std::int32_t lineEnd)
{
    const auto& markers = store.Markers();
    for (auto it = markers.upper_bound(lineEnd); it != markers.end(); ++it) {
        if (it->second == MarkerKind::ColumnBegin || it->second == MarkerKind::ColumnEnd ||
            it->second == MarkerKind::ByteMark)
            return {MessageId::ColumnMarkAfterEnd, it->first};
    }
    return {};
}

} // namespace

LayoutFault ValidateLayout(const Marks& store, std::uint64_t sourceSize, RecordLayout& layout)
{
    std::int32_t found = kNoRow;
    int r = MarkedRowSearch(store, -1, MarkerKind::LineBegin, MarkerKind::LineEnd, found);
    if (r != FoundWanted)
        return {MessageId::MissingLineBegin, r == FoundStop ? found : kNoRow};
    layout.recordBegin = found;
    layout.walkFrom = found;

    r = MarkedRowSearch(store, layout.recordBegin, MarkerKind::LineEnd, MarkerKind::LineBegin, found);
    if (r != FoundWanted)
        return {MessageId::MissingLineEnd, r == FoundStop ? found : layout.recordBegin};
    layout.lineEnd = found;
    layout.recordLength = static_cast<std::uint32_t>(layout.lineEnd - layout.recordBegin + 1);

    // The record begin lies inside the source, so this never wraps.
    layout.recordCount = (sourceSize - static_cast<std::uint64_t>(layout.recordBegin)) / layout.recordLength;

    std::int32_t cursor = layout.recordBegin;
    layout.columnCount = 0;
    for (;;) {
        const std::int32_t from = cursor;
        r = MarkedRowSearch(store, from, MarkerKind::ColumnBegin, MarkerKind::ColumnEnd, cursor);
        if (r == FoundNone)
            return ColumnMarkAfterEnd(store, layout.lineEnd);
        if (r == FoundStop)
            return {MessageId::MissingColumnBegin, cursor};
        const std::int32_t begin = cursor;
        r = MarkedRowSearch(store, begin, MarkerKind::ColumnEnd, MarkerKind::ColumnBegin, cursor);
        if (r != FoundWanted)
            return {MessageId::MissingColumnEnd, r == FoundStop ? cursor : begin};
        layout.lastColumnEnd = cursor;
        ++layout.columnCount;
    }
}

ClampResult ClampCounts(RecordLayout& layout)
{
    ClampResult result;
    if (layout.columnCount > kMaxSheetCount) {
        layout.columnCount = kMaxSheetCount;
        result.columnsClamped = true;
    }
    if (layout.recordCount > kMaxSheetCount) {
        layout.recordCount = kMaxSheetCount;
        result.recordsClamped = true;
    }
    return result;
}

} // namespace zorbik
