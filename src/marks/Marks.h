// The store of the user's marks: one row per shown source byte, each with a
// marker and a field type. Row i is byte i of the source. Only marked or
// typed rows take memory, so a store of millions of rows with a few marks
// costs next to nothing and its searches skip unmarked rows at once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>

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

// Row number meaning "no row".
inline constexpr std::int32_t kNoRow = -1;

class Marks {
public:
    Marks() = default;
    // The marks alone, without the hooks of a view: a copy to work on.
    Marks(const Marks& other) : rowCount_(other.rowCount_), markers_(other.markers_), types_(other.types_) {}
    Marks& operator=(const Marks&) = delete;

    std::int32_t RowCount() const { return rowCount_; }
    // Appends `count` new rows: unmarked and without field type.
    void AddRows(std::int32_t count);
    // Deletes every row with its marks.
    void Clear();

    MarkerKind GetMarker(std::int32_t row) const;
    // Sets the marker and the Mark flag (set exactly for kinds other than
    // Unmarked) in one update.
    void SetMarker(std::int32_t row, MarkerKind kind);
    // The left-click step: Unmarked, LineBegin, ColumnBegin, ByteMark,
    // ColumnEnd, LineEnd, Unmarked, ...
    void CycleMarker(std::int32_t row);

    FieldType GetFieldType(std::int32_t row) const;
    void SetFieldType(std::int32_t row, FieldType type);
    // The right-click step: BinInteger, BinReal, DecimalNumber, Bcd, Text,
    // BinInteger, ...; a row without type gets BinInteger.
    void CycleFieldType(std::int32_t row);
    bool HasNoFieldType(std::int32_t row) const { return GetFieldType(row) == FieldType::None; }


    // Takes over the marks of `other` (a store of as many rows), telling the
    // view about every row whose marks change.
    void ReplaceMarks(const Marks& other);

    // A hook for a view: told that a row's marks changed.
    void SetChangeHook(std::function<void(std::int32_t)> hook) { changeHook_ = std::move(hook); }

    // Read access to the marked and typed rows, in row order.
    const std::map<std::int32_t, MarkerKind>& Markers() const { return markers_; }
    const std::map<std::int32_t, FieldType>& FieldTypes() const { return types_; }

private:
    bool IsRow(std::int32_t row) const { return row >= 0 && row < rowCount_; }
    void Changed(std::int32_t row) const;

    std::int32_t rowCount_ = 0;
    std::map<std::int32_t, MarkerKind> markers_; // marked rows only
    std::map<std::int32_t, FieldType> types_;    // typed rows only
    std::function<void(std::int32_t)> changeHook_;
};

// Result values of MarkedRowSearch.
enum SearchResult : int { FoundWanted = 0, FoundStop = 1, FoundNone = -1 };

// Walks the marked rows after `start` until one of kind `wanted` (0) or
// `stop` (1) is met; -1 at the end of the rows, with `foundRow` untouched.
int MarkedRowSearch(const Marks& store, std::int32_t start, MarkerKind wanted, MarkerKind stop,
                    std::int32_t& foundRow);

} // namespace zorbik
