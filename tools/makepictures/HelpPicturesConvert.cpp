// Help pictures of the Convert part: a validation message and the buttons.
#include "Canvas.h"
#include "Pictures.h"
#include "messages/Messages.h"

#include <QPainterPath>

namespace makepictures {

namespace {

// The yellow warning triangle of an exclamation message box.
void DrawExclamation(QPainter& painter, const QRectF& box)
{
    painter.save();
    PrepareSmooth(painter);
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top());
    triangle.lineTo(box.right(), box.bottom());
    triangle.lineTo(box.left(), box.bottom());
    triangle.closeSubpath();
    painter.setPen(QPen(kDarkShadow, 1));
    painter.setBrush(QColor(0xFF, 0xD7, 0x00));
    painter.drawPath(triangle);
    painter.setPen(kInk);
    painter.setFont(UiFont(static_cast<int>(box.height() * 0.7), true));
    painter.drawText(box.adjusted(0, box.height() * 0.2, 0, 0), Qt::AlignCenter, QStringLiteral("!"));
    painter.restore();
}

} // namespace

// The message of a record without LineEnd, as "Convert" shows it.
QImage MakeHelp121()
{
    QImage image = NewPicture(291, 54, kFace);
    QPainter painter(&image);
    PrepareSmooth(painter);
    const QRect window(0, 0, 291, 54);
    DrawRaisedFrame(painter, window);
    const QRect title(3, 3, 285, 16);
    DrawTitleBar(painter, title, FromUtf8(zorbik::kMessageCaption));
    DrawButton(painter, QRect(title.right() - 15, title.top() + 2, 14, 12), QStringLiteral("x"));

    DrawExclamation(painter, QRectF(10, 24, 24, 22));
    painter.setPen(kInk);
    painter.setFont(UiFont(11));
    const QString message =
        FromUtf8(zorbik::LoadLocalisedString(zorbik::MsgMissingLineEnd, zorbik::UiLanguage::English));
    DrawCellText(painter, QRect(44, 22, 170, 28), Qt::AlignLeft, message);
    DrawButton(painter, QRect(214, 25, 66, 22), QStringLiteral("OK"), true);
    return image;
}

// The six buttons of the main window, from top to bottom.
QImage MakeHelp122()
{
    QImage image = NewPicture(100, 150, kFace);
    QPainter painter(&image);
    PrepareSmooth(painter);
    const char* const captions[6] = {"Open", "More bytes", "Convert", "Cancel", "Quit", "Help"};
    for (int i = 0; i < 6; ++i)
        DrawButton(painter, QRect(4, 3 + i * 24, 92, 22), QString::fromLatin1(captions[i]), i == 0);
    return image;
}

} // namespace makepictures
