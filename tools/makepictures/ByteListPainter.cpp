#include "ByteListPainter.h"

#include "Canvas.h"
#include "qtcommon/WindowTexts.h"
#include "MarkerStrip.h"
#include "source/RowText.h"

namespace makepictures {
namespace {

constexpr int kFrame = 2;

QString ColumnTitle(int column, zorbik::UiLanguage language)
{
    const bool german = language == zorbik::UiLanguage::German;
    switch (column) {
    case 0:
        return QStringLiteral("ByteNr.");
    case 1:
        return german ? QStringLiteral("ANSI-Zeichen") : QStringLiteral("ANSI-Character");
    case 2:
        return german ? QStringLiteral("Datenfeld-Typ") : QStringLiteral("Datafield-type");
    default:
        return QStringLiteral("Hex-Byte");
    }
}

Qt::Alignment ColumnAlignment(int column)
{
    return column < 2 ? Qt::AlignLeft : Qt::AlignHCenter;
}

int TotalWidth(const ByteListLook& look)
{
    int width = 0;
    for (int w : look.widths)
        width += w;
    return width;
}

} // namespace

QPoint ByteListRowOrigin(QPoint origin, const ByteListLook& look, std::int32_t firstRow, std::int32_t row)
{
    return origin + QPoint(kFrame, kFrame + look.headerHeight + (row - firstRow) * look.rowHeight);
}

QSize DrawByteList(QPainter& painter, QPoint origin, const ByteListLook& look, const zorbik::Marks& store,
                   const std::vector<std::uint8_t>& bytes, std::int32_t firstRow, std::int32_t rowCount)
{
    painter.save();
    const QSize size(TotalWidth(look) + 2 * kFrame, look.headerHeight + rowCount * look.rowHeight + 2 * kFrame);
    const QRect outer(origin, size);
    painter.fillRect(outer, Qt::white);
    DrawSunkenFrame(painter, outer);
    painter.setFont(UiFont(look.fontPixels));

    // Column titles on raised header buttons.
    int x = origin.x() + kFrame;
    const int headerTop = origin.y() + kFrame;
    for (int column = 0; column < 4; ++column) {
        const int width = look.widths[static_cast<std::size_t>(column)];
        if (width == 0)
            continue;
        const QRect header(x, headerTop, width, look.headerHeight);
        painter.fillRect(header, kFace);
        DrawRaisedFrame(painter, header);
        painter.setPen(kInk);
        DrawCellText(painter, header.adjusted(4, 0, -2, 0), ColumnAlignment(column),
                     ColumnTitle(column, zorbik::UiLanguage::English));
        x += width;
    }

    for (std::int32_t row = firstRow; row < firstRow + rowCount; ++row) {
        const QPoint rowOrigin = ByteListRowOrigin(origin, look, firstRow, row);
        const std::uint8_t byte = bytes[static_cast<std::size_t>(row)];
        const QString texts[4] = {
            FromUtf8(zorbik::FormatDecimal(static_cast<std::uint32_t>(row))),
            FromUtf8(zorbik::ByteCharText(byte, zorbik::UiLanguage::English)),
            FromUtf8(zorbik::FieldTypeText(store.GetFieldType(row)).english),
            FromUtf8(zorbik::FormatHexByte(byte)),
        };
        x = rowOrigin.x();
        painter.setPen(kInk);
        for (int column = 0; column < 4; ++column) {
            const int width = look.widths[static_cast<std::size_t>(column)];
            if (width == 0)
                continue;
            QRect cell(x, rowOrigin.y(), width, look.rowHeight);
            if (column == 0) {
                DrawMarker(painter, x + 2, rowOrigin.y() + (look.rowHeight - kIconSize) / 2, store.GetMarker(row));
                cell.setLeft(x + kIconSize + 4);
            }
            DrawCellText(painter, cell.adjusted(column == 0 ? 0 : 6, 0, -4, 0), ColumnAlignment(column),
                         texts[column]);
            x += width;
        }
    }
    painter.restore();
    return size;
}

} // namespace makepictures
