// The user's marks on the source's bytes: a marker and a field type per
// row, row i being byte i of the source. A plain value: the window, the
// layout files, the finder and the conversion all pass it around and copy
// it; whoever shows it is told of changes by whoever makes them. Only
// marked or typed rows take memory, so the marks of a huge source cost next
// to nothing and their searches skip unmarked rows at once.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "marks/FieldOptions.h"
#include "marks/FieldType.h"

namespace zorbik {

enum class MarkerKind : std::uint8_t {
    Unmarked = 0,
    LineBegin = 1,
    ColumnBegin = 2,
    ByteMark = 3,
    ColumnEnd = 4,
    LineEnd = 5,
};

// What a typed row says of its column beyond how to read the bytes: the
// column's name, and its width in bytes when the row alone gives it (a
// column of `width` bytes from a LineBegin or ColumnBegin row, or the last
// `width` bytes up to a LineEnd row; 0: the marks give the extent).
struct ColumnTraits {
    std::string name; // "" for a column known by its letters
    std::uint32_t width = 0;
    bool operator==(const ColumnTraits&) const = default;
};

// Row number meaning "no row".
inline constexpr std::int32_t kNoRow = -1;
// Row numbers are signed 32-bit: the bytes of larger sources past this row
// can be converted but not marked.
inline constexpr std::int32_t kMaxMarkRow = 0x7FFFFFFE;

class Marks {
public:
    MarkerKind GetMarker(std::int32_t row) const;
    // Rows outside 0..kMaxMarkRow are ignored.
    void SetMarker(std::int32_t row, MarkerKind kind);
    // The left-click step: Unmarked, LineBegin, ColumnBegin, ByteMark,
    // ColumnEnd, LineEnd, Unmarked, ...
    void CycleMarker(std::int32_t row);

    FieldType GetFieldType(std::int32_t row) const;
    // A row's options go with its type: a new type starts without any.
    void SetFieldType(std::int32_t row, FieldType type);
    FieldOptions GetFieldOptions(std::int32_t row) const;
    // Options need a type on the row; without one they are dropped.
    void SetFieldOptions(std::int32_t row, const FieldOptions& options);
    // Traits stay with a row through changes of its type, since a name or
    // a width says nothing about the bytes; like options they need a type.
    ColumnTraits GetTraits(std::int32_t row) const;
    void SetTraits(std::int32_t row, const ColumnTraits& traits);
    std::uint32_t Width(std::int32_t row) const { return GetTraits(row).width; }
    // The right-click step: BinInteger, BinReal, DecimalNumber, Bcd, Text,
    // BinInteger, ...; a row without type gets BinInteger.
    void CycleFieldType(std::int32_t row);
    bool HasNoFieldType(std::int32_t row) const { return GetFieldType(row) == FieldType::None; }

    bool Empty() const { return markers_.empty() && types_.empty(); }
    // The last marked or typed row, kNoRow without any.
    std::int32_t LastRow() const;

    // The marked and typed rows, in row order.
    const std::map<std::int32_t, MarkerKind>& Markers() const { return markers_; }
    const std::map<std::int32_t, FieldType>& FieldTypes() const { return types_; }
    // The typed rows whose options are not the defaults.
    const std::map<std::int32_t, FieldOptions>& Options() const { return options_; }
    const std::map<std::int32_t, ColumnTraits>& Traits() const { return traits_; }

    bool operator==(const Marks&) const = default;

private:
    std::map<std::int32_t, MarkerKind> markers_; // marked rows only
    std::map<std::int32_t, FieldType> types_;    // typed rows only
    std::map<std::int32_t, FieldOptions> options_; // typed rows with options only
    std::map<std::int32_t, ColumnTraits> traits_;  // typed rows with a name or width only
};

// Result values of MarkedRowSearch.
enum SearchResult : int { FoundWanted = 0, FoundStop = 1, FoundNone = -1 };

// Walks the marked rows after `start` until one of kind `wanted` (0) or
// `stop` (1) is met; -1 at the end of the rows, with `foundRow` untouched.
int MarkedRowSearch(const Marks& marks, std::int32_t start, MarkerKind wanted, MarkerKind stop,
                    std::int32_t& foundRow);

} // namespace zorbik
