#include "Canvas.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <cstdio>

namespace makepictures {

QFont UiFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont CondensedUiFont(int pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(pixelSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage NewPicture(int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(fill);
    return image;
}

void PrepareSmooth(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

// One-pixel lines of a 3D frame: top and left in `topLeft`, bottom and right
// in `bottomRight`.
void Bevel(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    painter.setPen(topLeft);
    painter.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    painter.setPen(bottomRight);
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

} // namespace

void DrawSunkenFrame(QPainter& painter, const QRect& outer)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Bevel(painter, outer, kShadow, kHighlight);
    Bevel(painter, outer.adjusted(1, 1, -1, -1), kDarkShadow, kFace);
    painter.restore();
}

void DrawRaisedFrame(QPainter& painter, const QRect& outer)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Bevel(painter, outer, kFace, kDarkShadow);
    Bevel(painter, outer.adjusted(1, 1, -1, -1), kHighlight, kShadow);
    painter.restore();
}

void DrawButton(QPainter& painter, const QRect& rect, const QString& caption, bool isDefault, const QFont* font)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, kFace);
    QRect face = rect;
    if (isDefault) {
        painter.setPen(kInk);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        face = rect.adjusted(1, 1, -1, -1);
    }
    DrawRaisedFrame(painter, face);
    painter.setPen(kInk);
    painter.setFont(font != nullptr ? *font : UiFont(11));
    DrawCellText(painter, face.adjusted(3, 1, -3, -1), Qt::AlignCenter, caption);
    painter.restore();
}

void DrawTitleBar(QPainter& painter, const QRect& rect, const QString& caption)
{
    painter.save();
    QLinearGradient gradient(rect.topLeft(), rect.topRight());
    gradient.setColorAt(0.0, kCaption);
    gradient.setColorAt(1.0, kCaptionEnd);
    painter.fillRect(rect, gradient);
    painter.setPen(Qt::white);
    painter.setFont(UiFont(11, true));
    painter.drawText(rect.adjusted(5, 0, -5, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
    painter.restore();
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to, const QColor& color, qreal width, qreal headLength)
{
    painter.save();
    PrepareSmooth(painter);
    const qreal angle = qAtan2(to.y() - from.y(), to.x() - from.x());
    const QPointF back(qCos(angle) * headLength, qSin(angle) * headLength);
    const QPointF side(-qSin(angle) * headLength * 0.5, qCos(angle) * headLength * 0.5);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to - back * 0.8);
    QPolygonF head;
    head << to << to - back + side << to - back - side;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(head);
    painter.restore();
}

void DrawMouse(QPainter& painter, const QRectF& body, MouseButton pressed)
{
    painter.save();
    PrepareSmooth(painter);
    const qreal radius = body.width() * 0.45;
    QPainterPath shell;
    shell.addRoundedRect(body, radius, radius);
    painter.setPen(QPen(kDarkShadow, 1.2));
    painter.setBrush(QColor(0xF4, 0xF4, 0xF4));
    painter.drawPath(shell);

    // The buttons are the upper part of the body, split in the middle.
    const qreal split = body.top() + body.height() * 0.42;
    QPainterPath top;
    top.addRect(QRectF(body.left(), body.top(), body.width(), split - body.top()));
    const bool left = pressed == MouseButton::Left;
    QPainterPath half;
    half.addRect(left ? QRectF(body.left(), body.top(), body.width() / 2, split - body.top())
                      : QRectF(body.center().x(), body.top(), body.width() / 2, split - body.top()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawPath(shell.intersected(half));
    painter.setPen(QPen(kDarkShadow, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(body.left(), split), QPointF(body.right(), split));
    painter.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), split));
    painter.drawPath(shell);
    painter.restore();
}

void DrawCellText(QPainter& painter, const QRect& rect, Qt::Alignment alignment, const QString& text)
{
    const QFontMetrics metrics(painter.font());
    QString shown = text;
    if (metrics.horizontalAdvance(text) > rect.width()) {
        shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
        std::fprintf(stderr, "makepictures: text of %d pixels cut to fit %d: %s\n", metrics.horizontalAdvance(text),
                     rect.width(), text.toUtf8().constData());
    }
    painter.drawText(rect, static_cast<int>(alignment | Qt::AlignVCenter), shown);
}

} // namespace makepictures
