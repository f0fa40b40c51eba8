#include "marks/Marks.h"

#include <set>

namespace zorbik {

void Marks::AddRows(std::int32_t count)
{
    if (count > 0)
        rowCount_ += count;
}

void Marks::Clear()
{
    rowCount_ = 0;
    markers_.clear();
    types_.clear();
}

MarkerKind Marks::GetMarker(std::int32_t row) const
{
    const auto it = markers_.find(row);
    return it == markers_.end() ? MarkerKind::Unmarked : it->second;
}

void Marks::SetMarker(std::int32_t row, MarkerKind kind)
{
    if (!IsRow(row))
        return;
    if (kind == MarkerKind::Unmarked)
        markers_.erase(row);
    else
        markers_[row] = kind;
    Changed(row);
}

void Marks::CycleMarker(std::int32_t row)
{
    if (!IsRow(row))
        return;
    const auto k = static_cast<int>(GetMarker(row));
    const auto next = k >= 0 && k < 5 ? static_cast<MarkerKind>(k + 1) : MarkerKind::Unmarked;
    SetMarker(row, next);
}

FieldType Marks::GetFieldType(std::int32_t row) const
{
    const auto it = types_.find(row);
    return it == types_.end() ? FieldType::None : it->second;
}

void Marks::SetFieldType(std::int32_t row, FieldType type)
{
    if (!IsRow(row))
        return;
    if (type == FieldType::None)
        types_.erase(row);
    else
        types_[row] = type;
    Changed(row);
}

void Marks::CycleFieldType(std::int32_t row)
{
    if (!IsRow(row))
        return;
    FieldType next = FieldType::BinInteger;
    switch (GetFieldType(row)) {
    case FieldType::Text:
        next = FieldType::BinInteger;
        break;
    case FieldType::BinInteger:
        next = FieldType::BinReal;
        break;
    case FieldType::BinReal:
        next = FieldType::DecimalNumber;
        break;
    case FieldType::DecimalNumber:
        next = FieldType::Bcd;
        break;
    case FieldType::Bcd:
        next = FieldType::Text;
        break;
    case FieldType::None:
        next = FieldType::BinInteger;
        break;
    }
    SetFieldType(row, next);
}

void Marks::ReplaceMarks(const Marks& other)
{
    std::set<std::int32_t> rows;
    for (const Marks* store : {static_cast<const Marks*>(this), &other}) {
        for (const auto& [row, kind] : store->markers_)
            rows.insert(row);
        for (const auto& [row, type] : store->types_)
            rows.insert(row);
    }
    markers_ = other.markers_;
    types_ = other.types_;
    for (const std::int32_t row : rows)
        Changed(row);
}

void Marks::Changed(std::int32_t row) const
{
    if (changeHook_)
        changeHook_(row);
}

int MarkedRowSearch(const Marks& store, std::int32_t start, MarkerKind wanted, MarkerKind stop,
                    std::int32_t& foundRow)
{
    // Walks the marked rows in order; the map holds exactly those.
    const auto& markers = store.Markers();
    for (auto it = markers.upper_bound(start); it != markers.end(); ++it) {
        const MarkerKind kind = it->second;
        if (kind == stop || kind == wanted) {
            foundRow = it->first;
            return kind == stop ? FoundStop : FoundWanted;
        }
    }
    return FoundNone;
}

} // namespace zorbik
