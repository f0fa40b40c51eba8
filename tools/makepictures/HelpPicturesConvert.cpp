// Help pictures of the Convert part: a validation message and the buttons.
#include "Canvas.h"
#include "Pictures.h"
#include "messages/Messages.h"
#include "qtcommon/WindowTexts.h"

#include <cstdio>

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygonF>

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

// A drop-down choice showing `text`, as wide as the text needs.
QRect DrawChoice(QPainter& painter, QPoint topLeft, int height, const QString& text)
{
    const QFont font = painter.font();
    const QRect choice(topLeft, QSize(QFontMetrics(font).horizontalAdvance(text) + 24, height));
    painter.fillRect(choice, Qt::white);
    DrawSunkenFrame(painter, choice);
    painter.setPen(kInk);
    DrawCellText(painter, choice.adjusted(4, 0, -19, 0), Qt::AlignLeft, text);
    const QRect drop(choice.right() - 17, choice.top() + 2, 16, choice.height() - 4);
    DrawButton(painter, drop, QString(), false, &font);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    const QPointF tip(drop.center().x() + 0.5, drop.center().y() + 3);
    painter.drawPolygon(QPolygonF({tip, tip + QPointF(-4, -5), tip + QPointF(4, -5)}));
    painter.restore();
    return choice;
}

// A ticked check box of 13 pixels with its caption; returns the caption's
// rectangle.
QRect DrawTickedBox(QPainter& painter, QPoint left, int height, const QString& caption)
{
    const QRect box(left.x(), left.y() + (height - 13) / 2, 13, 13);
    painter.fillRect(box, Qt::white);
    DrawSunkenFrame(painter, box);
    painter.save();
    painter.setPen(QPen(kInk, 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({QPointF(box.left() + 3, box.top() + 6.5),
                                    QPointF(box.left() + 5.5, box.top() + 9.5),
                                    QPointF(box.left() + 10, box.top() + 3.5)}));
    painter.restore();
    painter.setPen(kInk);
    const QRect text(box.right() + 5, left.y(), QFontMetrics(painter.font()).horizontalAdvance(caption) + 2, height);
    DrawCellText(painter, text, Qt::AlignLeft, caption);
    return text;
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

// The foot of the main window: the six buttons in one row, and below them
// the settings row with the code page, the trim box and the marks' buttons,
// in the window's order. Condensed type keeps it as narrow as the help text.
QImage MakeHelp122()
{
    constexpr int kWidth = 664;
    constexpr int kHeight = 62;
    constexpr int kMargin = 4;
    constexpr int kGap = 4;
    constexpr int kButtonHeight = 24;
    const auto english = [](const zorbik::TextPair& text) { return FromUtf8(text.english); };
    QImage image = NewPicture(kWidth, kHeight, kFace);
    QPainter painter(&image);
    PrepareSmooth(painter);
    const QFont font = CondensedUiFont(10);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    const zorbik::TextPair* const buttons[6] = {&zorbik::kOpenText,   &zorbik::kMoreBytesText, &zorbik::kConvertText,
                                                &zorbik::kCancelText, &zorbik::kQuitText,      &zorbik::kHelpText};
    int x = kMargin;
    for (const zorbik::TextPair* button : buttons) {
        DrawButton(painter, QRect(x, kMargin, 76, kButtonHeight), english(*button), false, &font);
        x += 76 + kGap;
    }

    // The marks' buttons stand at the right end of the settings row.
    const int rowTop = kMargin + kButtonHeight + 6;
    const zorbik::TextPair* const marks[3] = {&zorbik::kSaveMarksText, &zorbik::kLoadMarksText,
                                              &zorbik::kFindRecordText};
    int right = kWidth - kMargin;
    for (int i = 2; i >= 0; --i) {
        const QString caption = english(*marks[i]);
        const int width = metrics.horizontalAdvance(caption) + 10;
        DrawButton(painter, QRect(right - width, rowTop, width, kButtonHeight), caption, false, &font);
        right -= width + kGap;
    }

    x = kMargin;
    const QString label = english(zorbik::kCodePageLabel);
    painter.setPen(kInk);
    painter.drawText(QRect(x, rowTop, metrics.horizontalAdvance(label) + 2, kButtonHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, label);
    x += metrics.horizontalAdvance(label) + 4;

    QString page;
    for (const zorbik::CodePageName& name : zorbik::kCodePageNames)
        if (name.number == 850)
            page = english(name.name);
    const QRect choice = DrawChoice(painter, QPoint(x, rowTop + 2), kButtonHeight - 4, page);
    const QRect trimText = DrawTickedBox(painter, QPoint(choice.right() + 8, rowTop), kButtonHeight,
                                         english(zorbik::kTrimText));
    if (trimText.right() + 2 * kGap > right)
        std::fprintf(stderr, "makepictures: picture 122 needs %d more pixels\n", trimText.right() + 2 * kGap - right);
    return image;
}

} // namespace makepictures
