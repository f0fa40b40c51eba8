// A worksheet as a spreadsheet program shows the converted file: column
// letters, row numbers and a grid of cells.
#pragma once

#include <QPainter>
#include <QPoint>
#include <QString>
#include <vector>

namespace makepictures {

struct SheetColumn {
    int width;
    Qt::Alignment alignment; // Qt::AlignLeft for text cells, Qt::AlignRight for numbers
};

struct SheetLook {
    int rowHeight = 16;
    int rowHeaderWidth = 22;
    int fontPixels = 11;
};

// Draws the sheet with its top-left corner at `origin`; cells[r][c] is the
// text of worksheet row r + 1, column c. Returns the size drawn.
QSize DrawSheet(QPainter& painter, QPoint origin, const std::vector<SheetColumn>& columns,
                const std::vector<std::vector<QString>>& cells, const SheetLook& look = {});

} // namespace makepictures
