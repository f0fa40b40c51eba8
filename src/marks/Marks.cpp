#include "marks/Marks.h"

#include <algorithm>

namespace zorbik {
namespace {

bool IsRow(std::int32_t row)
{
    return row >= 0 && row <= kMaxMarkRow;
}

} // namespace

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
}

void Marks::CycleMarker(std::int32_t row)
{
    const auto k = static_cast<int>(GetMarker(row));
    SetMarker(row, k < 5 ? static_cast<MarkerKind>(k + 1) : MarkerKind::Unmarked);
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
    if (GetFieldType(row) != type)
        options_.erase(row);
    if (type == FieldType::None) {
        types_.erase(row);
        traits_.erase(row);
    } else {
        types_[row] = type;
    }
}

FieldOptions Marks::GetFieldOptions(std::int32_t row) const
{
    const auto it = options_.find(row);
    return it == options_.end() ? FieldOptions{} : it->second;
}

void Marks::SetFieldOptions(std::int32_t row, const FieldOptions& options)
{
    if (options == FieldOptions{} || GetFieldType(row) == FieldType::None)
        options_.erase(row);
    else
        options_[row] = options;
}

ColumnTraits Marks::GetTraits(std::int32_t row) const
{
    const auto it = traits_.find(row);
    return it == traits_.end() ? ColumnTraits{} : it->second;
}

void Marks::SetTraits(std::int32_t row, const ColumnTraits& traits)
{
    if (traits == ColumnTraits{} || GetFieldType(row) == FieldType::None)
        traits_.erase(row);
    else
        traits_[row] = traits;
}

void Marks::CycleFieldType(std::int32_t row)
{
    FieldType next = FieldType::BinInteger;
    switch (GetFieldType(row)) {
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
    default: // Text, no type, and the types the cycle does not reach
        break;
    }
    SetFieldType(row, next);
}

std::int32_t Marks::LastRow() const
{
    std::int32_t last = kNoRow;
    if (!markers_.empty())
        last = markers_.rbegin()->first;
    if (!types_.empty())
        last = std::max(last, types_.rbegin()->first);
    return last;
}

int MarkedRowSearch(const Marks& marks, std::int32_t start, MarkerKind wanted, MarkerKind stop,
                    std::int32_t& foundRow)
{
    const auto& markers = marks.Markers();
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
