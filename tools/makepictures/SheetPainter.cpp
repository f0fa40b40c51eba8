#include "SheetPainter.h"

#include "Canvas.h"

namespace makepictures {

QSize DrawSheet(QPainter& painter, QPoint origin, const std::vector<SheetColumn>& columns,
                const std::vector<std::vector<QString>>& cells, const SheetLook& look)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    int width = look.rowHeaderWidth;
    for (const SheetColumn& column : columns)
        width += column.width;
    const int height = look.rowHeight * static_cast<int>(cells.size() + 1);
    const QColor headerFill(0xE8, 0xE8, 0xE8);
    const QColor gridLine(0xC0, 0xC0, 0xC0);

    painter.fillRect(QRect(origin, QSize(width, height)), Qt::white);
    painter.fillRect(QRect(origin, QSize(width, look.rowHeight)), headerFill);
    painter.fillRect(QRect(origin, QSize(look.rowHeaderWidth, height)), headerFill);

    painter.setFont(UiFont(look.fontPixels));
    painter.setPen(kInk);
    int x = origin.x() + look.rowHeaderWidth;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const QRect header(x, origin.y(), columns[c].width, look.rowHeight);
        painter.drawText(header, Qt::AlignCenter, QString(QChar('A' + static_cast<int>(c))));
        for (std::size_t r = 0; r < cells.size(); ++r) {
            if (c >= cells[r].size())
                continue;
            const QRect cell(x + 3, origin.y() + look.rowHeight * static_cast<int>(r + 1), columns[c].width - 6,
                             look.rowHeight);
            DrawCellText(painter, cell, columns[c].alignment, cells[r][c]);
        }
        x += columns[c].width;
    }
    for (std::size_t r = 0; r < cells.size(); ++r) {
        const QRect header(origin.x(), origin.y() + look.rowHeight * static_cast<int>(r + 1), look.rowHeaderWidth,
                           look.rowHeight);
        painter.drawText(header, Qt::AlignCenter, QString::number(r + 1));
    }

    painter.setPen(gridLine);
    for (int row = 1; row <= static_cast<int>(cells.size()); ++row) {
        const int y = origin.y() + row * look.rowHeight - 1;
        painter.drawLine(origin.x(), y, origin.x() + width - 1, y);
    }
    x = origin.x() + look.rowHeaderWidth - 1;
    painter.drawLine(x, origin.y(), x, origin.y() + height - 1);
    for (const SheetColumn& column : columns) {
        x += column.width;
        painter.drawLine(x, origin.y(), x, origin.y() + height - 1);
    }
    painter.setPen(kShadow);
    painter.drawLine(origin.x(), origin.y() + look.rowHeight - 1, origin.x() + width - 1,
                     origin.y() + look.rowHeight - 1);
    painter.drawLine(origin.x() + look.rowHeaderWidth - 1, origin.y(), origin.x() + look.rowHeaderWidth - 1,
                     origin.y() + height - 1);
    painter.drawRect(QRect(origin, QSize(width - 1, height - 1)));
    painter.restore();
    return {width, height};
}

} // namespace makepictures
