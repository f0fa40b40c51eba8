#include "source/RowStore.h"

#include <cstring>

namespace zorbik {

std::string_view FieldTypeText(FieldType type, UiLanguage language)
{
    const bool german = language == UiLanguage::German;
    switch (type) {
    case FieldType::None:
        return german ? "?-Feldtyp" : "?-Fieldtype";
    case FieldType::Text:
        return "Text";
    case FieldType::BinInteger:
        return "BinInteger";
    case FieldType::BinReal:
        return german ? "BinRealzahl" : "BinRealnumber";
    case FieldType::DecimalNumber:
        return german ? "Dezimalzahl" : "Decimalnumber";
    case FieldType::Bcd:
        return german ? "BCD-Zahl" : "BCD-number";
    }
    return {};
}

FieldType FieldTypeFromText(std::string_view text, UiLanguage language)
{
    const std::string_view key = text.substr(0, 4);
    for (FieldType type : {FieldType::Text, FieldType::BinInteger, FieldType::BinReal, FieldType::DecimalNumber,
                           FieldType::Bcd}) {
        if (key.size() == 4 && FieldTypeText(type, language).substr(0, 4) == key)
            return type;
    }
    return FieldType::None;
}

void RowStore::AddRows(std::int32_t count)
{
    if (count > 0)
        rowCount_ += count;
}

void RowStore::Clear()
{
    rowCount_ = 0;
    markers_.clear();
    types_.clear();
}

MarkerKind RowStore::GetMarker(std::int32_t row) const
{
    const auto it = markers_.find(row);
    return it == markers_.end() ? MarkerKind::Unmarked : it->second;
}

void RowStore::SetMarker(std::int32_t row, MarkerKind kind)
{
    if (!IsRow(row))
        return;
    if (kind == MarkerKind::Unmarked)
        markers_.erase(row);
    else
        markers_[row] = kind;
    Changed(row);
}

void RowStore::CycleMarker(std::int32_t row)
{
    if (!IsRow(row))
        return;
    const auto k = static_cast<int>(GetMarker(row));
    const auto next = k >= 0 && k < 5 ? static_cast<MarkerKind>(k + 1) : MarkerKind::Unmarked;
    SetMarker(row, next);
}

FieldType RowStore::GetFieldTypeId(std::int32_t row) const
{
    const auto it = types_.find(row);
    return it == types_.end() ? FieldType::None : it->second;
}

void RowStore::SetFieldType(std::int32_t row, FieldType type)
{
    if (!IsRow(row))
        return;
    if (type == FieldType::None)
        types_.erase(row);
    else
        types_[row] = type;
    Changed(row);
}

void RowStore::CycleFieldType(std::int32_t row)
{
    if (!IsRow(row))
        return;
    FieldType next = FieldType::BinInteger;
    switch (GetFieldTypeId(row)) {
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

std::int32_t RowStore::NextMarkedRow(std::int32_t start) const
{
    const auto it = markers_.upper_bound(start);
    return it == markers_.end() ? kNoRow : it->first;
}

void RowStore::ScrollToRow(std::int32_t row) const
{
    if (row != kNoRow && scrollHook_)
        scrollHook_(row);
}

void RowStore::Changed(std::int32_t row) const
{
    if (changeHook_)
        changeHook_(row);
}

int MarkedRowSearch(const RowStore& store, std::int32_t start, MarkerKind wanted, MarkerKind stop,
                    std::int32_t& foundRow, bool scroll)
{
    // Walks the marked rows in order; the map holds exactly those.
    const auto& markers = store.Markers();
    for (auto it = markers.upper_bound(start); it != markers.end(); ++it) {
        const MarkerKind kind = it->second;
        if (kind == stop || kind == wanted) {
            if (scroll)
                store.ScrollToRow(it->first);
            foundRow = it->first;
            return kind == stop ? FoundStop : FoundWanted;
        }
    }
    if (scroll)
        store.ScrollToRow(start);
    return FoundNone;
}

} // namespace zorbik
