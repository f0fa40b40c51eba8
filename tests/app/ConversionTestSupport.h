// What the conversion tests share: a source of records, marks for it, and
// the file the command line makes for the same source and marks.
#pragma once

#include <csignal>
#include <string>

#include <sys/resource.h>

#include <QProcess>
#include <QProgressBar>

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

// The files of the conversion tests: sources of 100 and 3000 records, one
// of 65535 records of two bytes (one more than a worksheet takes), and a
// target that Clear() removes.
struct ConversionFiles {
    // False where there is no folder for them.
    bool Make()
    {
        if (!dir.isValid())
            return false;
        records100 = MakeFile(dir, QStringLiteral("records100.dat"), Records(100));
        records3000 = MakeFile(dir, QStringLiteral("records3000.dat"), Records(3000));
        twoByteRecords = MakeFile(dir, QStringLiteral("two.dat"), CountingBytes(2 * 65535));
        return true;
    }
    void ClearTarget()
    {
        target = dir.filePath(QStringLiteral("target.xls"));
        QFile::remove(target);
    }

    QTemporaryDir dir;
    QString target;
    QString records100;
    QString records3000;
    QString twoByteRecords;
};

// Starts converting the marked source into `target` with the worker held
// back, and waits until the first records are done: false if they are not.
inline bool StartHeldConversion(ShownWindow& shown, const QString& target)
{
    shown.window.Task().HoldWorkerForTest(true);
    shown.dialogs.saveAnswers.push_back(target);
    Press(shown.window, MainWindow::ConvertButton);
    return QTest::qWaitFor([&] { return shown.window.ProgressBar()->value() > 0; });
}

// Limits the size of every file this process writes, for as long as it
// lives; writes beyond fail instead of raising a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        saved_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        set_ = saved_ && ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (saved_)
            ::setrlimit(RLIMIT_FSIZE, &old_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // Whether the limit holds.
    bool Set() const { return set_; }

private:
    rlimit old_{};
    bool saved_ = false;
    bool set_ = false;
};

} // namespace zorbik::testing
