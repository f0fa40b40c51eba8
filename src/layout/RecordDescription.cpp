#include "layout/RecordDescription.h"

#include <set>

namespace zorbik {
namespace {

bool FieldsFit(const RecordDescription& description)
{
    std::uint64_t free = 0; // the first byte no earlier field holds
    for (const DescribedField& field : description.fields) {
        if (field.width == 0 || field.offset < free || std::uint64_t{field.offset} + field.width > description.length)
            return false;
        free = std::uint64_t{field.offset} + field.width;
    }
    return true;
}

} // namespace

Layout LayoutFromDescription(std::uint64_t recordBegin, const RecordDescription& description)
{
    Layout layout;
    layout.settings = description.settings;
    const std::uint64_t lastRow = recordBegin + description.length - 1;
    if (description.fields.empty() || description.length < 2 || lastRow > static_cast<std::uint64_t>(kMaxMarkRow) ||
        !FieldsFit(description))
        return layout;
    Marks& marks = layout.marks;
    const auto begin = static_cast<std::int32_t>(recordBegin);
    const auto end = static_cast<std::int32_t>(lastRow);
    marks.SetMarker(begin, MarkerKind::LineBegin);
    marks.SetMarker(end, MarkerKind::LineEnd);
    std::set<std::string> names;
    for (const DescribedField& field : description.fields) {
        const std::int32_t first = begin + static_cast<std::int32_t>(field.offset);
        const std::int32_t last = first + static_cast<std::int32_t>(field.width - 1);
        // The record's first and last rows carry its begin and end: a field
        // there is the leading or trailing column, its width on that row. A
        // one-byte field inside is a ColumnBegin of width 1; a wider one a
        // ColumnBegin and a ColumnEnd, as a person would mark it.
        std::int32_t typeRow = first;
        ColumnTraits traits;
        if (first == begin) {
            traits.width = field.width;
        } else if (last == end) {
            typeRow = end;
            traits.width = field.width;
        } else {
            marks.SetMarker(first, MarkerKind::ColumnBegin);
            if (field.width == 1)
                traits.width = 1;
            else
                marks.SetMarker(last, MarkerKind::ColumnEnd);
        }
        if (IsColumnName(field.name) && names.insert(NameKey(field.name)).second)
            traits.name = field.name;
        marks.SetFieldType(typeRow, field.type == FieldType::None ? FieldType::Text : field.type);
        marks.SetFieldOptions(typeRow, field.options);
        marks.SetTraits(typeRow, traits);
    }
    return layout;
}

} // namespace zorbik
