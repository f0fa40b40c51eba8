// Marks from short mark lists, for tests.
#pragma once

#include <vector>

#include "marks/Marks.h"

namespace zorbik::testing {

struct Mark {
    std::int32_t row;
    MarkerKind kind;
    FieldType type = FieldType::None;
    std::uint32_t width = 0; // the row gives its column's width
    FieldOptions options = {};
};

inline constexpr MarkerKind LB = MarkerKind::LineBegin;
inline constexpr MarkerKind CB = MarkerKind::ColumnBegin;
inline constexpr MarkerKind BM = MarkerKind::ByteMark;
inline constexpr MarkerKind CE = MarkerKind::ColumnEnd;
inline constexpr MarkerKind LE = MarkerKind::LineEnd;
inline constexpr MarkerKind NO = MarkerKind::Unmarked;
inline constexpr FieldType TX = FieldType::Text;
inline constexpr FieldType BI = FieldType::BinInteger;
inline constexpr FieldType DN = FieldType::DecimalNumber;
inline constexpr FieldType BR = FieldType::BinReal;
inline constexpr FieldType BC = FieldType::Bcd;

inline Marks MakeStore(const std::vector<Mark>& marks)
{
    Marks store;
    for (const Mark& m : marks) {
        store.SetMarker(m.row, m.kind);
        store.SetFieldType(m.row, m.type);
        store.SetTraits(m.row, {"", m.width});
        store.SetFieldOptions(m.row, m.options);
    }
    return store;
}

} // namespace zorbik::testing
