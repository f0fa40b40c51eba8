// The window with big sources: a 2 GiB source shows its first page at once,
// a page added after a thousand costs what the first one did, and the
// progress the conversion thread reports costs the conversion nothing one
// could measure while the bar still follows the records.
#include <algorithm>
#include <cstring>
#include <numeric>

#include <QElapsedTimer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include "app/ByteListModel.h"
#include "app/ConversionTask.h"
#include "app/ConversionTestSupport.h"
#include "qtcommon/ResourceNames.h"
#include "convert/Conversion.h"
#include "layout/NormaliseEdges.h"
#include "layout/ValidateLayout.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// A source of zeros of any size, without memory or disk behind it.
class ZeroSource : public SourceBytes {
public:
    explicit ZeroSource(std::uint32_t size) : size_(size) {}
    std::uint32_t Size() const override { return size_; }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        if (offset >= size_)
            return 0;
        const std::size_t count = std::min<std::size_t>(n, size_ - offset);
        std::memset(buffer, 0, count);
        return static_cast<std::int64_t>(count);
    }

private:
    std::uint32_t size_;
};

// Counts every call the view makes into the model.
class CountingModel : public ByteListModel {
public:
    using ByteListModel::ByteListModel;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        ++calls;
        return ByteListModel::index(row, column, parent);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        ++calls;
        return ByteListModel::data(index, role);
    }
    bool hasChildren(const QModelIndex& parent) const override
    {
        ++calls;
        // What a table model answers: rows hang from the root only.
        return !parent.isValid() && rowCount(parent) > 0;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        ++calls;
        return ByteListModel::flags(index);
    }
    mutable long calls = 0;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

QString MakeSparseFile(const QTemporaryDir& dir, qint64 size)
{
    const QString path = dir.filePath(QStringLiteral("huge.dat"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        qFatal("cannot make the sparse file %s", qPrintable(path));
    return path;
}

} // namespace

class WindowSpeedQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void hugeSourceOpensAtOnce();
    void pageCostDoesNotGrowWithPagesShown();
    void pageWorkDoesNotGrowWithPagesShown();
    void progressCostsTheConversionNothing();

private:
    QTemporaryDir dir_;
    MarkerIcons icons_;
};

void WindowSpeedQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    QVERIFY(icons_.Load(QString::fromLatin1(kMarkerStripResource)));
}

// From the press of Open to the first page painted.
void WindowSpeedQtTest::hugeSourceOpensAtOnce()
{
    const QString path = MakeSparseFile(dir_, qint64(2) << 30);
    ShownWindow shown(UiLanguage::English);
    QElapsedTimer timer;
    timer.start();
    shown.Open(path);
    QCoreApplication::processEvents();
    shown.window.ByteList()->viewport()->repaint();
    const double ms = Milliseconds(timer);
    qInfo("2 GiB source: first page shown after %.1f ms", ms);
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QVERIFY2(ms < 200, qPrintable(QStringLiteral("%1 ms").arg(ms)));
}

// More bytes as the user sees it: the press, the new page scrolled into
// view and painted. Medians of several presses; the factor is generous so
// that a busy machine cannot fail it, while a cost that grows with the rows
// shown (a thousand times more rows) cannot pass.
void WindowSpeedQtTest::pageCostDoesNotGrowWithPagesShown()
{
    const QString path = MakeSparseFile(dir_, qint64(2) << 30);
    ShownWindow shown(UiLanguage::English);
    shown.Open(path);
    ByteListView* view = shown.window.ByteList();
    auto pressMore = [&] {
        QElapsedTimer timer;
        timer.start();
        const int firstNew = shown.window.ByteListRows()->rowCount();
        Press(shown.window, MainWindow::MoreBytesButton);
        view->ShowRow(firstNew);
        QCoreApplication::processEvents();
        view->viewport()->repaint();
        return Milliseconds(timer);
    };
    constexpr int kPresses = 9;
    std::vector<double> early;
    for (int i = 0; i < kPresses; ++i)
        early.push_back(pressMore());
    // On to page 1000 without painting each page on the way.
    while (shown.window.ByteListRows()->rowCount() < 999 * 1024)
        shown.window.ByteListRows()->ShowNextPage();
    QCoreApplication::processEvents();
    std::vector<double> late;
    for (int i = 0; i < kPresses; ++i)
        late.push_back(pressMore());
    QCOMPARE(shown.window.ByteListRows()->rowCount(), (999 + kPresses) * 1024);

    const double first = Median(early);
    const double thousandth = Median(late);
    qInfo("More bytes with the new page painted: %.2f ms at page 2, %.2f ms at page 1000", first, thousandth);
    QVERIFY2(thousandth < 3 * first + 5, qPrintable(QStringLiteral("%1 ms against %2 ms").arg(thousandth).arg(first)));
}

// The same without a clock: the view asks the model as much for page 1000
// as for page 2, so nothing it does walks the rows already shown.
void WindowSpeedQtTest::pageWorkDoesNotGrowWithPagesShown()
{
    const ZeroSource source(2u << 30);
    RowStore store(UiLanguage::German);
    CountingModel model(source, store, icons_);
    ByteListView view;
    view.setModel(&model);
    view.resize(384, 341);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    model.ShowFirstPage();
    QCoreApplication::processEvents();

    auto workOfNextPage = [&] {
        QCoreApplication::processEvents();
        model.calls = 0;
        const int firstNew = model.rowCount();
        model.ShowNextPage();
        view.ShowRow(firstNew);
        QCoreApplication::processEvents();
        view.viewport()->repaint();
        return model.calls;
    };
    const long second = workOfNextPage();
    while (model.rowCount() < 999 * 1024)
        model.ShowNextPage();
    const long thousandth = workOfNextPage();
    QCOMPARE(model.rowCount(), 1000 * 1024);
    // The page in sight was painted: its first row is in the viewport.
    QVERIFY(view.viewport()->rect().contains(view.visualRect(model.index(999 * 1024, 0))));
    qInfo("model calls for a page: %ld at page 2, %ld at page 1000", second, thousandth);
    QVERIFY(second > 0);
    QVERIFY2(thousandth <= second + second / 4, qPrintable(QStringLiteral("%1 against %2").arg(thousandth).arg(second)));

    // Typing a byte number finds its row without reading the rows between,
    // also when no row has it.
    view.setFocus();
    model.calls = 0;
    QTest::keyClicks(&view, QStringLiteral("1000000"));
    QCOMPARE(view.currentIndex().row(), 1000000);
    QTest::keyClicks(&view, QStringLiteral("x"));
    QCOMPARE(view.currentIndex().row(), 1000000);
    QVERIFY2(model.calls < second, qPrintable(QStringLiteral("%1 calls for typing").arg(model.calls)));
}

// A conversion through the window's task against the bare core on the same
// input; medians of runs taken in turns.
void WindowSpeedQtTest::progressCostsTheConversionNothing()
{
    constexpr int kHeaderBytes = 128;
    constexpr int kRecordBytes = 64;
    constexpr std::uint32_t kRecords = 20000;
    QByteArray bytes(kHeaderBytes + kRecordBytes * int(kRecords), '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((static_cast<quint32>(i) * 7919u) >> 3);
    const QString sourcePath = MakeFile(dir_, QStringLiteral("records.dat"), bytes);
    SourceView source;
    QVERIFY(source.Open(QFile::encodeName(sourcePath).toStdString()));

    // Columns of every type in each 64-byte record.
    RowStore store(UiLanguage::English);
    store.AddRows(1024);
    struct Column {
        int first, last;
        FieldType type;
    };
    const Column columns[] = {{0, 19, FieldType::Text},           {20, 21, FieldType::BinInteger},
                              {22, 25, FieldType::BinInteger},    {26, 29, FieldType::BinReal},
                              {30, 37, FieldType::BinReal},       {38, 47, FieldType::DecimalNumber},
                              {48, 57, FieldType::Bcd},           {58, 61, FieldType::Text}};
    store.SetMarker(kHeaderBytes, MarkerKind::LineBegin);
    for (const Column& c : columns) {
        store.SetMarker(kHeaderBytes + 1 + c.first, MarkerKind::ColumnBegin);
        store.SetFieldType(kHeaderBytes + 1 + c.first, c.type);
        store.SetMarker(kHeaderBytes + 1 + c.last, MarkerKind::ColumnEnd);
    }
    store.SetMarker(kHeaderBytes + kRecordBytes - 1, MarkerKind::LineEnd);
    RecordLayout layout;
    QVERIFY(!ValidateLayout(store, source.Size(), layout));
    NormaliseEdges(store, layout);
    QCOMPARE(layout.recordCount, kRecords);
    const ColumnPlan plan = BuildColumnPlan(store, layout);

    const std::string bareTarget = QFile::encodeName(dir_.filePath(QStringLiteral("bare.xls"))).toStdString();
    const QString windowTarget = dir_.filePath(QStringLiteral("window.xls"));
    std::vector<double> bare;
    std::vector<double> window;
    std::vector<quint32> lastShown;
    for (int run = 0; run < 5; ++run) {
        {
            Conversion conversion;
            QVERIFY(conversion.OpenTarget(bareTarget, NativeFile::Create::OpenAlways, source) == TargetError::None);
            QElapsedTimer timer;
            timer.start();
            const ConversionOutcome outcome = conversion.RunHere(source, layout, plan, nullptr);
            bare.push_back(Milliseconds(timer));
            QVERIFY(outcome.status == ConversionStatus::Finished);
        }
        {
            ConversionTask task;
            QVERIFY(task.OpenTarget(QFile::encodeName(windowTarget).toStdString(), source, nullptr) ==
                    TargetError::None);
            QSignalSpy progress(&task, &ConversionTask::Progress);
            QSignalSpy finished(&task, &ConversionTask::Finished);
            QElapsedTimer timer;
            timer.start();
            task.Start(source, layout, plan);
            QVERIFY(finished.wait(60000));
            const ConversionOutcome outcome = task.Finish();
            const double ms = Milliseconds(timer);
            window.push_back(ms);
            QVERIFY(outcome.status == ConversionStatus::Finished);
            // The bar follows the records: rising counts, ending at the
            // last record, and no more of them than the interval allows.
            QVERIFY(!progress.isEmpty());
            quint32 previous = 0;
            for (const QList<QVariant>& signal : progress) {
                const quint32 done = signal.at(0).value<quint32>();
                QVERIFY(done > previous);
                previous = done;
            }
            QCOMPARE(previous, kRecords);
            QVERIFY2(progress.size() <= 2 + int(ms) / ConversionTask::kProgressIntervalMs,
                     qPrintable(QStringLiteral("%1 reports in %2 ms").arg(progress.size()).arg(ms)));
        }
    }
    QCOMPARE(ReadAll(windowTarget), ReadAll(QFile::decodeName(QByteArray::fromStdString(bareTarget))));
    const double bareMs = Median(bare);
    const double windowMs = Median(window);
    qInfo("%u records: %.1f ms bare, %.1f ms through the window's task", kRecords, bareMs, windowMs);
    QVERIFY2(windowMs < 1.5 * bareMs + 20, qPrintable(QStringLiteral("%1 ms against %2 ms").arg(windowMs).arg(bareMs)));
}

QTEST_MAIN(WindowSpeedQtTest)
#include "WindowSpeedQtTest.moc"
