// The decorative picture at the right of the main window: the program's name
// above a strip of marked bytes that turns into a worksheet.
#include "Canvas.h"
#include "MarkerStrip.h"
#include "Pictures.h"
#include "SampleFile.h"
#include "SheetPainter.h"
#include "source/RowText.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace makepictures {

using zorbik::MarkerKind;

QImage MakeMainPicture()
{
    QImage image = NewPicture(199, 341, kFace);
    QPainter painter(&image);
    PrepareSmooth(painter);

    // Panel with a soft gradient and a sunken edge.
    const QRect panel(0, 0, 199, 341);
    QLinearGradient background(0, 0, 0, 341);
    background.setColorAt(0.0, QColor(0xFB, 0xFC, 0xFE));
    background.setColorAt(1.0, QColor(0xD9, 0xE2, 0xEE));
    painter.fillRect(panel.adjusted(2, 2, -2, -2), background);
    DrawSunkenFrame(painter, panel);

    // Name and a thin rule under it.
    painter.setPen(kAccent);
    painter.setFont(UiFont(34, true));
    painter.drawText(QRect(2, 10, 195, 44), Qt::AlignCenter, QStringLiteral("ZORBIK"));
    painter.setPen(QPen(QColor(0x9A, 0xB0, 0xD0), 1));
    painter.drawLine(QPointF(24, 58.5), QPointF(175, 58.5));
    painter.setPen(QColor(0x45, 0x55, 0x6A));
    painter.setFont(UiFont(11));
    painter.drawText(QRect(2, 62, 195, 16), Qt::AlignCenter, QStringLiteral("BIN  \u2192  XLS"));

    // The first record of the example file, one byte per row, with its marks.
    const std::vector<std::uint8_t> bytes = SampleFileBytes();
    const zorbik::Marks store = MarkedSampleStore();
    const int listX = 20;
    const int listY = 90;
    const int rowHeight = 18;
    const QRect listFrame(listX - 3, listY - 3, 62, kSampleRecordSize * rowHeight + 5);
    painter.fillRect(listFrame, Qt::white);
    DrawSunkenFrame(painter, listFrame);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(12);
    painter.setFont(mono);
    for (int i = 0; i < kSampleRecordSize; ++i) {
        const std::int32_t row = kSampleHeaderSize + i;
        const int y = listY + i * rowHeight;
        DrawMarker(painter, listX, y, store.GetMarker(row));
        painter.setPen(kInk);
        painter.drawText(QRect(listX + 20, y, 34, 16), Qt::AlignVCenter | Qt::AlignLeft,
                         FromUtf8(zorbik::FormatHexByte(bytes[static_cast<std::size_t>(row)])));
    }

    // A sweeping arrow from the bytes to the sheet.
    QPainterPath sweep;
    sweep.moveTo(86, 120);
    sweep.cubicTo(150, 120, 150, 190, 138, 222);
    painter.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(sweep);
    DrawArrow(painter, QPointF(140, 216), QPointF(135, 234), kAccent, 3, 11);

    // The worksheet the records become.
    SheetLook look;
    look.rowHeight = 15;
    look.rowHeaderWidth = 16;
    look.fontPixels = 10;
    const std::vector<std::vector<QString>> cells = SampleSheetCells();
    DrawSheet(painter, QPoint(84, 242), {{50, Qt::AlignLeft}, {38, Qt::AlignRight}}, cells, look);
    return image;
}

} // namespace makepictures
