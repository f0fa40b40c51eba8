// Help pictures of the first half of the help text: the idea of the
// conversion, the byte list, the markers and the two click cycles.
#include "ByteListPainter.h"
#include "Canvas.h"
#include "qtcommon/WindowTexts.h"
#include "MarkerStrip.h"
#include "Pictures.h"
#include "SampleFile.h"
#include "SheetPainter.h"
#include "source/RowText.h"

#include <QPainterPath>

namespace makepictures {

using zorbik::FieldType;
using zorbik::MarkerKind;
using zorbik::UiLanguage;

namespace {

const QColor kFlagFill(0xE6, 0xE6, 0xE6);
const QColor kTextFill(0xD6, 0xE6, 0xFA);
const QColor kNumberFill(0xD8, 0xF0, 0xD0);

// One byte of the file diagram: a small cell with a short label.
void DrawByteCell(QPainter& painter, const QRect& cell, const QColor& fill, const QString& label, int fontPixels)
{
    painter.fillRect(cell, fill);
    painter.setPen(kShadow);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    painter.setPen(kInk);
    painter.setFont(UiFont(fontPixels));
    painter.drawText(cell, Qt::AlignCenter, label);
}

} // namespace

// The file cut at the record length: the header line, then one record per
// line, each record becoming one worksheet row.
QImage MakeHelp105()
{
    QImage image = NewPicture(386, 64, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);
    const std::vector<std::uint8_t> bytes = SampleFileBytes();
    const int cell = 17;
    const int line = 15;
    const int left = 4;
    const int top = 2;

    // Header bytes, hatched: they are not converted.
    for (int i = 0; i < kSampleHeaderSize; ++i) {
        const QRect r(left + i * cell, top, cell, line - 1);
        painter.fillRect(r, QBrush(QColor(0xB0, 0xB0, 0xB0), Qt::BDiagPattern));
        painter.setPen(kShadow);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter.setPen(kInk);
    painter.setFont(UiFont(10));
    painter.drawText(QRect(left + kSampleHeaderSize * cell + 6, top, 120, line - 1), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("file header"));

    for (int record = 0; record < 3; ++record) {
        const int y = top + (record + 1) * line;
        const std::size_t base = static_cast<std::size_t>(kSampleHeaderSize + record * kSampleRecordSize);
        for (int i = 0; i < kSampleRecordSize; ++i) {
            const std::uint8_t byte = bytes[base + static_cast<std::size_t>(i)];
            const QRect r(left + i * cell, y, cell, line - 1);
            if (i >= 1 && i <= 5)
                DrawByteCell(painter, r, kTextFill, QString(QChar(byte)), 10);
            else if (i == 6 || i == 7)
                DrawByteCell(painter, r, kNumberFill, FromUtf8(zorbik::FormatHexByte(byte)).left(2), 8);
            else
                DrawByteCell(painter, r, kFlagFill, QString(), 8);
        }
        const int midY = y + line / 2;
        DrawArrow(painter, QPointF(left + kSampleRecordSize * cell + 8, midY), QPointF(232, midY), kAccent, 1.5, 7);
    }

    std::vector<std::vector<QString>> cells = SampleSheetCells();
    cells.resize(3);
    SheetLook look;
    look.rowHeight = line;
    look.rowHeaderWidth = 18;
    look.fontPixels = 10;
    DrawSheet(painter, QPoint(238, top), {{66, Qt::AlignLeft}, {50, Qt::AlignRight}}, cells, look);
    return image;
}

// The first eight bytes of the example file in the byte list, unmarked.
QImage MakeHelp115()
{
    QImage image = NewPicture(387, 152, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);
    zorbik::Marks store;
    const std::vector<std::uint8_t> bytes = SampleFileBytes();
    store.AddRows(static_cast<std::int32_t>(bytes.size()));
    ByteListLook look;
    look.widths = {52, 180, 86, 64};
    look.headerHeight = 18;
    DrawByteList(painter, QPoint(0, 1), look, store, bytes, 0, 8);
    return image;
}

// The six marker icons, enlarged, each with its English and German name.
QImage MakeHelp101()
{
    QImage image = NewPicture(474, 65, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);
    static const char* const kEnglish[6] = {"Unmarked", "LineBegin", "ColumnBegin", "ByteMark", "ColumnEnd", "LineEnd"};
    static const char* const kGerman[6] = {"unmarkiert", "Zeilenbeginn", "Spaltenanfang", "Bytemarke", "Spaltenende",
                                           "Zeilenende"};
    const int slot = 474 / 6;
    for (int kind = 0; kind < 6; ++kind) {
        const int x = kind * slot;
        DrawMarker(painter, x + (slot - 2 * kIconSize) / 2, 2, static_cast<MarkerKind>(kind), 2);
        painter.setPen(kInk);
        painter.setFont(UiFont(10, true));
        DrawCellText(painter, QRect(x + 1, 36, slot - 2, 14), Qt::AlignHCenter, QString::fromLatin1(kEnglish[kind]));
        painter.setPen(QColor(0x50, 0x50, 0x50));
        painter.setFont(UiFont(10));
        DrawCellText(painter, QRect(x + 1, 50, slot - 2, 14), Qt::AlignHCenter, QString::fromLatin1(kGerman[kind]));
    }
    return image;
}

// The left-click cycle: the markers in a ring, with the left mouse button.
QImage MakeHelp100()
{
    QImage image = NewPicture(268, 99, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);
    const int icon = 2 * kIconSize;
    const int xs[3] = {14, 92, 170};
    const int topY = 8;
    const int bottomY = 59;
    // Ring order: the top row left to right, then the bottom row right to left.
    const MarkerKind top[3] = {MarkerKind::Unmarked, MarkerKind::LineBegin, MarkerKind::ColumnBegin};
    const MarkerKind bottom[3] = {MarkerKind::LineEnd, MarkerKind::ColumnEnd, MarkerKind::ByteMark};
    painter.setFont(UiFont(10, true));
    for (int i = 0; i < 3; ++i) {
        DrawMarker(painter, xs[i], topY, top[i], 2);
        DrawMarker(painter, xs[i], bottomY, bottom[i], 2);
        // How many left clicks on an unmarked row give this marker.
        painter.setPen(kAccent);
        painter.drawText(QRect(xs[i] + icon + 2, topY - 2, 14, 14), Qt::AlignLeft | Qt::AlignTop,
                         QString::number(static_cast<int>(top[i])));
        painter.drawText(QRect(xs[i] + icon + 2, bottomY - 2, 14, 14), Qt::AlignLeft | Qt::AlignTop,
                         QString::number(static_cast<int>(bottom[i])));
    }
    const QColor arrow = kInk;
    for (int i = 0; i < 2; ++i) {
        DrawArrow(painter, QPointF(xs[i] + icon + 16, topY + icon / 2), QPointF(xs[i + 1] - 6, topY + icon / 2),
                  arrow, 1.6, 8);
        DrawArrow(painter, QPointF(xs[i + 1] - 6, bottomY + icon / 2), QPointF(xs[i] + icon + 16, bottomY + icon / 2),
                  arrow, 1.6, 8);
    }
    DrawArrow(painter, QPointF(xs[2] + icon / 2, topY + icon + 3), QPointF(xs[2] + icon / 2, bottomY - 3), arrow,
              1.6, 7);
    DrawArrow(painter, QPointF(xs[0] + icon / 2, bottomY - 3), QPointF(xs[0] + icon / 2, topY + icon + 3), arrow, 1.6,
              7);
    DrawMouse(painter, QRectF(228, 24, 28, 46), MouseButton::Left);
    return image;
}

// The right-click cycle of the field types, starting from a row without one.
QImage MakeHelp119()
{
    QImage image = NewPicture(275, 121, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);
    const FieldType cycle[5] = {FieldType::BinInteger, FieldType::BinReal, FieldType::DecimalNumber, FieldType::Bcd,
                                FieldType::Text};
    const int boxX = 118;
    const int boxWidth = 116;
    const int boxHeight = 17;
    const int step = 25;
    const int top = 3;
    painter.setFont(UiFont(11));
    auto box = [&](const QRect& r, FieldType type) {
        painter.setPen(kShadow);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setPen(kInk);
        DrawCellText(painter, r.adjusted(4, 0, -4, 0), Qt::AlignHCenter,
                     FromUtf8(zorbik::FieldTypeText(type).english));
    };
    for (int i = 0; i < 5; ++i) {
        box(QRect(boxX, top + i * step, boxWidth, boxHeight), cycle[i]);
        if (i < 4)
            DrawArrow(painter, QPointF(boxX + boxWidth / 2, top + i * step + boxHeight + 1),
                      QPointF(boxX + boxWidth / 2, top + (i + 1) * step - 1), kInk, 1.4, 5);
    }
    // From "Text" back to "BinInteger".
    const qreal loopX = boxX + boxWidth + 18;
    QPainterPath loop;
    loop.moveTo(boxX + boxWidth + 1, top + 4 * step + boxHeight / 2);
    loop.lineTo(loopX, top + 4 * step + boxHeight / 2);
    loop.lineTo(loopX, top + boxHeight / 2);
    painter.setPen(QPen(kInk, 1.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(loop);
    DrawArrow(painter, QPointF(loopX, top + boxHeight / 2), QPointF(boxX + boxWidth + 1, top + boxHeight / 2), kInk,
              1.4, 7);

    // A new row has no field type; the first right click gives BinInteger.
    box(QRect(4, top, 88, boxHeight), FieldType::None);
    DrawArrow(painter, QPointF(93, top + boxHeight / 2), QPointF(boxX - 1, top + boxHeight / 2), kInk, 1.4, 7);
    DrawMouse(painter, QRectF(34, 44, 28, 46), MouseButton::Right);
    return image;
}

} // namespace makepictures
