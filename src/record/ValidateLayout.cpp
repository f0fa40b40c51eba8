#include "record/ValidateLayout.h"

#include <algorithm>
#include <string>

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

LayoutFault WidthFault(MessageId detail, std::int32_t row, std::uint32_t width, std::int32_t widthRow)
{
    return {MessageId::ColumnWidthWrong, row, detail, {std::to_string(width), std::to_string(widthRow)}};
}

// A column of set width covers rows first..last: the first column mark
// among them is a fault, as a column inside another one would be.
LayoutFault ColumnMarkInside(const Marks& store, std::int64_t first, std::int64_t last, std::int32_t widthRow)
{
    std::int32_t found = kNoRow;
    if (MarkedRowSearch(store, static_cast<std::int32_t>(first - 1), MarkerKind::ColumnBegin, MarkerKind::ColumnEnd,
                        found) != FoundNone &&
        found <= last)
        return WidthFault(MessageId::WidthOverlaps, found, store.Width(widthRow), widthRow);
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
    // The last row of a column so far: a leading column of set width counts.
    std::int64_t covered = layout.recordBegin;
    if (const std::uint32_t width = store.Width(layout.recordBegin)) {
        covered = std::int64_t{layout.recordBegin} + width - 1;
        if (covered > layout.lineEnd)
            return WidthFault(MessageId::WidthPastRecord, layout.recordBegin, width, layout.recordBegin);
        if (LayoutFault inside = ColumnMarkInside(store, layout.recordBegin + 1, covered, layout.recordBegin))
            return inside;
    }
    for (;;) {
        const std::int32_t from = cursor;
        r = MarkedRowSearch(store, from, MarkerKind::ColumnBegin, MarkerKind::ColumnEnd, cursor);
        if (r == FoundNone)
            break;
        if (r == FoundStop)
            return {MessageId::MissingColumnBegin, cursor};
        const std::int32_t begin = cursor;
        const std::uint32_t width = store.Width(begin);
        if (width != 0 && begin <= layout.lineEnd) {
            // The row alone gives the column: no ColumnEnd belongs to it.
            const std::int64_t last = std::int64_t{begin} + width - 1;
            if (last > layout.lineEnd)
                return WidthFault(MessageId::WidthPastRecord, begin, width, begin);
            if (LayoutFault inside = ColumnMarkInside(store, begin + 1, last, begin))
                return inside;
            cursor = static_cast<std::int32_t>(last);
            layout.lastColumnEnd = cursor;
            covered = last;
            ++layout.columnCount;
            continue;
        }
        r = MarkedRowSearch(store, begin, MarkerKind::ColumnEnd, MarkerKind::ColumnBegin, cursor);
        if (r != FoundWanted)
            return {MessageId::MissingColumnEnd, r == FoundStop ? cursor : begin};
        layout.lastColumnEnd = cursor;
        covered = std::max<std::int64_t>(covered, cursor);
        ++layout.columnCount;
    }
    if (LayoutFault after = ColumnMarkAfterEnd(store, layout.lineEnd))
        return after;
    // A trailing column of set width begins after every other column and
    // after the record's first byte.
    if (const std::uint32_t width = store.Width(layout.lineEnd)) {
        if (std::int64_t{layout.lineEnd} - width + 1 <= covered)
            return WidthFault(MessageId::WidthOverlaps, layout.lineEnd, width, layout.lineEnd);
    }
    return {};
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
