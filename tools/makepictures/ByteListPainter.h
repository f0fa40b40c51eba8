// The byte list of the main window as the pictures show it: column titles,
// then one row per byte with the marker icon, byte number, character text,
// field type and hexadecimal value, all made by the core's row texts.
#pragma once

#include <QPainter>
#include <QPoint>
#include <QSize>
#include <array>
#include <cstdint>
#include <vector>

#include "source/Marks.h"

namespace makepictures {

struct ByteListLook {
    // Widths of "ByteNr.", the character column, the field type column and
    // "Hex-Byte"; a width of 0 leaves the column out.
    std::array<int, 4> widths = {80, 120, 100, 80};
    int headerHeight = 18;
    int rowHeight = 16;
    int fontPixels = 11;
};

// Draws rows firstRow .. firstRow + rowCount - 1 of `store` (texts in the
// store's language, bytes from `bytes`) inside a sunken frame at `origin`.
// Returns the size drawn, frame included.
QSize DrawByteList(QPainter& painter, QPoint origin, const ByteListLook& look, const zorbik::Marks& store,
                   const std::vector<std::uint8_t>& bytes, std::int32_t firstRow, std::int32_t rowCount);

// The top-left corner of a row's first cell, for pictures that point at rows.
QPoint ByteListRowOrigin(QPoint origin, const ByteListLook& look, std::int32_t firstRow, std::int32_t row);

} // namespace makepictures
