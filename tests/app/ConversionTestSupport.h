// What the conversion tests share: a source of records, marks for it, and
// the file the command line makes for the same source and marks.
#pragma once

#include <string>

#include <QProcess>

#include "app/WindowTestSupport.h"

namespace zorbik::testing {

// One mark: row, marker, right clicks for the field type.
using MarkList = QList<QList<int>>;

inline constexpr int kHeader = 16;

// A file header of 16 bytes, then `records` records of 24 bytes: a name, a
// 16-bit integer, a single real, a decimal text, a packed number and a
// filler byte.
inline QByteArray Records(int records)
{
    QByteArray bytes(kHeader, '\x01');
    for (int i = 0; i < records; ++i) {
        QByteArray record = QStringLiteral("Name%1").arg(i, 4, 10, QLatin1Char('0')).toLatin1();
        const auto small = static_cast<quint16>(i * 3);
        record.append(static_cast<char>(small & 0xFF)).append(static_cast<char>(small >> 8));
        const float real = static_cast<float>(i) * 1.5f;
        record.append(reinterpret_cast<const char*>(&real), 4);
        record.append(QStringLiteral("%1").arg(i * 7, 6).toLatin1());
        record.append('\x01').append(static_cast<char>(0x20 + i % 10)).append('\x3C');
        record.append('\xFF');
        bytes.append(record);
    }
    return bytes;
}

// Gives each row of `marks` its marker and field type with clicks.
inline void MarkAll(MainWindow& window, const MarkList& marks)
{
    for (const QList<int>& mark : marks) {
        ClickRow(window, mark[0], Qt::LeftButton, mark[1]);
        ClickRow(window, mark[0], Qt::RightButton, mark[2]);
    }
}

inline const int LB = int(MarkerKind::LineBegin);
inline const int CB = int(MarkerKind::ColumnBegin);
inline const int BM = int(MarkerKind::ByteMark);
inline const int CE = int(MarkerKind::ColumnEnd);
inline const int LE = int(MarkerKind::LineEnd);
inline const int NoType = 0, BinInteger = 1, BinReal = 2, Decimal = 3, Bcd = 4, Text = 5;

inline const MarkList kColumns = {{16, LB, NoType},     {17, CB, Text},    {23, CE, NoType}, {24, CB, BinInteger},
                           {25, CE, NoType},     {26, CB, BinReal}, {29, CE, NoType}, {30, CB, Decimal},
                           {35, CE, NoType},     {36, CB, Bcd},     {38, CE, NoType}, {39, LE, NoType}};

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The command line's file for the same source and marks.
inline QByteArray CommandLineOutput(const QTemporaryDir& dir, const QString& source, const std::string& layout)
{
    const QString layoutPath = dir.filePath(QStringLiteral("marks.layout"));
    QFile file(layoutPath);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(layout.data(), static_cast<qint64>(layout.size()));
    file.close();
    const QString out = dir.filePath(QStringLiteral("cli.xls"));
    QFile::remove(out);
    const int code = QProcess::execute(QStringLiteral(ZORBIK_CONVERT_EXE),
                                       {QStringLiteral("--layout"), layoutPath, source, out});
    if (code != 0)
        qWarning("zorbik-convert exited with %d", code);
    return ReadAll(out);
}


} // namespace zorbik::testing
