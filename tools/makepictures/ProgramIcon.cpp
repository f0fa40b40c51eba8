// The program's icon for desktop menus: the marked bytes of a record turning
// into worksheet cells, drawn with the same marker icons as the byte list.
#include "Canvas.h"
#include "MarkerStrip.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace makepictures {

using zorbik::MarkerKind;

namespace {

// The icon at 256 x 256; smaller sizes are scaled down from it.
QImage DrawIcon256()
{
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PrepareSmooth(painter);

    // A rounded panel in the colours of the main window's picture.
    QLinearGradient background(0, 8, 0, 248);
    background.setColorAt(0.0, QColor(0xFB, 0xFC, 0xFE));
    background.setColorAt(1.0, QColor(0xC9, 0xD6, 0xE8));
    painter.setPen(QPen(kAccent, 6));
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 36, 36);

    // Four marked bytes of a record, at three times their size in the list.
    constexpr MarkerKind kMarks[] = {MarkerKind::LineBegin, MarkerKind::ColumnBegin, MarkerKind::ColumnEnd,
                                     MarkerKind::LineEnd};
    for (int i = 0; i < 4; ++i)
        DrawMarker(painter, 30, 30 + i * 52, kMarks[i], 3);

    // The worksheet: a header row and column, and a grid of cells.
    const QRect sheet(122, 112, 108, 112);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setBrush(kFace);
    painter.drawRect(QRect(sheet.left(), sheet.top(), sheet.width(), 24));
    painter.drawRect(QRect(sheet.left(), sheet.top(), 24, sheet.height()));
    painter.setPen(QPen(kShadow, 3));
    for (int y = sheet.top() + 24; y < sheet.bottom(); y += 22)
        painter.drawLine(sheet.left(), y, sheet.right(), y);
    painter.drawLine(sheet.left() + 24, sheet.top(), sheet.left() + 24, sheet.bottom());
    painter.drawLine(sheet.left() + 66, sheet.top(), sheet.left() + 66, sheet.bottom());
    painter.setPen(QPen(kDarkShadow, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(sheet);

    // The sweep from the bytes to the sheet, as in the main window's picture.
    QPainterPath sweep;
    sweep.moveTo(92, 54);
    sweep.cubicTo(190, 48, 204, 66, 190, 90);
    painter.setPen(QPen(kAccent, 9, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(sweep);
    DrawArrow(painter, QPointF(192, 84), QPointF(180, 108), kAccent, 9, 26);
    return image;
}

} // namespace

QImage MakeIcon(int size)
{
    const QImage icon = DrawIcon256();
    return size == icon.width() ? icon : icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace makepictures
