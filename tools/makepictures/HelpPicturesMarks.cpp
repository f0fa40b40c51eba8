// Help pictures about marking: byte marks in a column, the field types with
// their cells, and the example file marked behind its header.
#include "ByteListPainter.h"
#include "Canvas.h"
#include "qtcommon/WindowTexts.h"
#include "Pictures.h"
#include "SampleFile.h"
#include "SheetPainter.h"
#include "convert/ValueConversions.h"

#include <QPainterPath>
#include <cstring>

namespace makepictures {

using zorbik::FieldType;
using zorbik::MarkerKind;
using zorbik::UiLanguage;

namespace {

// A double as a spreadsheet shows it in its standard format.
QString CellNumber(const std::uint8_t bytes[8])
{
    double value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return QString::number(value, 'g', 15);
}

QString HexBytes(const std::vector<std::uint8_t>& bytes)
{
    QStringList parts;
    for (std::uint8_t byte : bytes)
        parts << QStringLiteral("%1").arg(byte, 2, 16, QChar('0')).toUpper();
    return parts.join(QChar(' '));
}

} // namespace

// Byte marks take the digits of the date "24.12.89" and leave out the points.
QImage MakeHelp118()
{
    QImage image = NewPicture(273, 186, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);

    const std::int32_t first = 40; // the date lies on the bytes 40 to 47
    std::vector<std::uint8_t> bytes(first, 0x20);
    for (char c : std::string("24.12.89"))
        bytes.push_back(static_cast<std::uint8_t>(c));
    zorbik::Marks store;
    store.AddRows(static_cast<std::int32_t>(bytes.size()));
    store.SetMarker(first, MarkerKind::ColumnBegin);
    store.SetFieldType(first, FieldType::Text);
    for (std::int32_t offset : {1, 3, 4, 6})
        store.SetMarker(first + offset, MarkerKind::ByteMark);
    store.SetMarker(first + 7, MarkerKind::ColumnEnd);
    store.SetFieldType(first + 7, FieldType::Text);

    ByteListLook look;
    look.widths = {48, 124, 96, 0};
    const QPoint origin(1, 0);
    const QSize list = DrawByteList(painter, origin, look, store, bytes, first, 8);

    // The cell the column gives.
    const int y = list.height() + 10;
    painter.setPen(kInk);
    painter.setFont(UiFont(11));
    painter.drawText(QRect(4, y, 110, 22), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("cell of the column:"));
    DrawArrow(painter, QPointF(114, y + 11), QPointF(150, y + 11), kAccent, 1.6, 8);
    SheetLook sheet;
    sheet.rowHeight = 15;
    sheet.rowHeaderWidth = 18;
    sheet.fontPixels = 11;
    DrawSheet(painter, QPoint(158, y - 4), {{90, Qt::AlignLeft}}, {{QStringLiteral("241289")}}, sheet);
    return image;
}

// Bytes of every field type and the cells they give, computed by the core.
QImage MakeHelp120()
{
    QImage image = NewPicture(284, 122, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);

    struct Example {
        FieldType type;
        std::vector<std::uint8_t> bytes;
        QString shownBytes; // when the bytes are too many to list
    };
    const std::vector<Example> examples = {
        {FieldType::Text, {0x48, 0x75, 0x62, 0x65, 0x72}, {}},
        {FieldType::BinInteger, {0xFA, 0x00}, {}},
        {FieldType::BinInteger, {0xFF, 0xFF, 0xFF, 0xFF}, {}},
        {FieldType::BinReal, {0x00, 0x00, 0x80, 0x3F}, {}},
        {FieldType::DecimalNumber, {0x31, 0x32, 0x2C, 0x35}, {}},
        {FieldType::Bcd, {0x45, 0x23, 0x01, 0, 0, 0, 0, 0, 0, 0x82}, QStringLiteral("45 23 01 00 .. 00 82")},
    };

    std::vector<std::vector<QString>> rows;
    for (const Example& example : examples) {
        std::uint8_t buffer[20] = {};
        std::memcpy(buffer, example.bytes.data(), example.bytes.size());
        std::uint8_t number[8] = {};
        QString cell;
        switch (example.type) {
        case FieldType::BinInteger: {
            std::uint32_t v = 0;
            for (std::size_t i = 0; i < 4; ++i)
                v |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
            if (v <= 0xFFFF) {
                cell = QString::number(v);
            } else {
                zorbik::WidenInteger(v, number);
                cell = CellNumber(number);
            }
            break;
        }
        case FieldType::BinReal:
            zorbik::WidenSingle(buffer);
            cell = CellNumber(buffer);
            break;
        case FieldType::DecimalNumber:
            zorbik::ConvertDecimal(zorbik::kDecimalText, buffer, number);
            cell = CellNumber(number);
            break;
        case FieldType::Bcd:
            zorbik::ConvertDecimal(zorbik::kPackedDecimal, buffer, number);
            cell = CellNumber(number);
            break;
        default:
            cell = QString::fromLatin1(reinterpret_cast<const char*>(buffer),
                                       static_cast<qsizetype>(example.bytes.size()));
            break;
        }
        rows.push_back({FromUtf8(zorbik::FieldTypeText(example.type).english),
                        example.shownBytes.isEmpty() ? HexBytes(example.bytes) : example.shownBytes, cell});
    }

    // A small table: field type, bytes (hexadecimal), the cell.
    const int widths[3] = {98, 124, 58};
    const QString titles[3] = {QStringLiteral("Datafield-type"), QStringLiteral("Bytes (hex)"),
                               QStringLiteral("Cell")};
    const Qt::Alignment align[3] = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight};
    const int rowHeight = 16;
    const int left = 2;
    const int top = 3;
    painter.setFont(UiFont(11, true));
    int x = left;
    for (int c = 0; c < 3; ++c) {
        const QRect header(x, top, widths[c], rowHeight);
        painter.fillRect(header, QColor(0xE8, 0xE8, 0xE8));
        painter.setPen(kInk);
        DrawCellText(painter, header.adjusted(4, 0, -4, 0), align[c], titles[c]);
        x += widths[c];
    }
    painter.setFont(UiFont(11));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        x = left;
        const int y = top + rowHeight * static_cast<int>(r + 1);
        for (int c = 0; c < 3; ++c) {
            painter.setPen(c == 1 ? QColor(0x30, 0x30, 0x90) : kInk);
            DrawCellText(painter, QRect(x + 4, y, widths[c] - 8, rowHeight), align[c], rows[r][static_cast<std::size_t>(c)]);
            x += widths[c];
        }
        painter.setPen(QColor(0xD0, 0xD0, 0xD0));
        painter.drawLine(left, y + rowHeight - 1, x - 1, y + rowHeight - 1);
    }
    painter.setPen(kShadow);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(left + 0.5, top + 0.5, x - left - 1, rowHeight * static_cast<int>(rows.size() + 1) - 1));
    return image;
}

// The example file with its first record marked, and the worksheet it gives.
QImage MakeHelp116()
{
    QImage image = NewPicture(572, 259, Qt::white);
    QPainter painter(&image);
    PrepareSmooth(painter);
    const std::vector<std::uint8_t> bytes = SampleFileBytes();
    const zorbik::Marks store = MarkedSampleStore();
    ByteListLook look;
    look.widths = {52, 180, 86, 64};
    const QPoint origin(0, 4);
    const std::int32_t rows = kSampleHeaderSize + kSampleRecordSize;
    const QSize list = DrawByteList(painter, origin, look, store, bytes, 0, rows);

    // Brackets at the right of the list: the file header and the record.
    auto bracket = [&](std::int32_t firstRow, std::int32_t lastRow, const QString& title, const QString& detail) {
        const int x = origin.x() + list.width() + 4;
        const int y1 = ByteListRowOrigin(origin, look, 0, firstRow).y() + 2;
        const int y2 = ByteListRowOrigin(origin, look, 0, lastRow).y() + look.rowHeight - 2;
        painter.setPen(QPen(kAccent, 1.5));
        painter.drawLine(QPointF(x, y1), QPointF(x + 5, y1));
        painter.drawLine(QPointF(x + 5, y1), QPointF(x + 5, y2));
        painter.drawLine(QPointF(x, y2), QPointF(x + 5, y2));
        painter.setPen(kAccent);
        painter.setFont(UiFont(11, true));
        painter.drawText(QRect(x + 10, y1 - 1, 120, 15), Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.setFont(UiFont(10));
        painter.drawText(QRect(x + 10, y1 + 13, 120, 15), Qt::AlignLeft | Qt::AlignVCenter, detail);
    };
    bracket(0, kSampleHeaderSize - 1, QStringLiteral("file header"), QStringLiteral("bytes 0 to 3"));
    bracket(kSampleHeaderSize, rows - 1, QStringLiteral("record 1"), QStringLiteral("bytes 4 to 13"));

    // The worksheet of all five records.
    SheetLook sheet;
    sheet.rowHeight = 16;
    sheet.rowHeaderWidth = 20;
    const QPoint sheetOrigin(440, 130);
    DrawSheet(painter, sheetOrigin, {{62, Qt::AlignLeft}, {46, Qt::AlignRight}}, SampleSheetCells(), sheet);
    DrawArrow(painter, QPointF(origin.x() + list.width() + 16, 172), QPointF(sheetOrigin.x() - 6, 172), kAccent, 2,
              10);
    return image;
}

} // namespace makepictures
