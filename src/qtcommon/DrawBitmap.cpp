#include "qtcommon/DrawBitmap.h"

#include <QImage>
#include <QPainter>

namespace zorbik {

bool DrawBitmap(QPainter& painter, const QString& resource, int x, int y, int width, int height)
{
    const QImage picture(resource);
    if (picture.isNull())
        return false;
    painter.drawImage(QPoint(x, y), picture, QRect(0, 0, width, height));
    return true;
}

} // namespace zorbik
