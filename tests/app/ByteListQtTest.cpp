// The byte list: clicks on rows, pages added by More bytes, reads and the
// typed row search that do not grow with the rows shown, and the row-number
// search against reading every row.
#include <algorithm>
#include <cstring>
#include <string>

#include <QTemporaryDir>

#include "app/RowNumberSearch.h"
#include "qtcommon/QtText.h"
#include "qtcommon/WindowTexts.h"
#include "source/RowText.h"
#include "support/WindowTesting.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// 2 GiB of zeros without memory or disk behind them; counts its reads.
class CountingSource : public SourceBytes {
public:
    std::uint32_t Size() const override { return 2u << 30; }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        ++reads;
        const std::size_t count = std::min<std::uint64_t>(n, Size() - offset);
        std::memset(buffer, 0, count);
        return static_cast<std::int64_t>(count);
    }
    mutable int reads = 0;
};

struct Click {
    const char* name;
    int size; // of the source: rows in the list
    int row;  // past the last row: a click below the rows
    Qt::MouseButton button;
    int times;
    bool twice; // each click a quick double click
    MarkerKind marker;
    FieldType type;
};

const Click kClicks[] = {
    {"left: record begin", 1024, 600, Qt::LeftButton, 1, false, MarkerKind::LineBegin, FieldType::None},
    {"left six times: unmarked again", 1024, 600, Qt::LeftButton, 6, false, MarkerKind::Unmarked, FieldType::None},
    {"right: BinInteger", 1024, 601, Qt::RightButton, 1, false, MarkerKind::Unmarked, FieldType::BinInteger},
    {"right six times: BinInteger again", 1024, 601, Qt::RightButton, 6, false, MarkerKind::Unmarked,
     FieldType::BinInteger},
    {"a quick double click steps twice", 1024, 2, Qt::LeftButton, 1, true, MarkerKind::ColumnBegin, FieldType::None},
    {"below the last row", 5, 7, Qt::RightButton, 1, false, MarkerKind::Unmarked, FieldType::None},
};

// Rows after Open and after each More bytes.
const std::vector<std::vector<int>> kPages = {
    {1, 1}, {1024, 1024}, {1025, 1024, 1025, 1025}, {5000, 1024, 2048, 3072, 4096, 5000, 5000}};

// The plain way: read every row's number from `start` on, then from 0.
std::int64_t ScanForPrefix(const std::string& digits, std::int64_t start, std::int64_t rows)
{
    start = start < 0 || start >= rows ? 0 : start;
    for (std::int64_t i = 0; i < rows && !digits.empty(); ++i)
        if (std::to_string((start + i) % rows).rfind(digits, 0) == 0)
            return (start + i) % rows;
    return -1;
}

} // namespace

class ByteListQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void clicks_data();
    void clicks();
    void moreBytes_data();
    void moreBytes();
    void readsDoNotGrowWithTheRowsShown();
    void rowNumberSearch();

private:
    QTemporaryDir dir_;
};

void ByteListQtTest::clicks_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kClicks)); ++i)
        QTest::newRow(kClicks[i].name) << i;
}

void ByteListQtTest::clicks()
{
    QFETCH(int, index);
    const Click& c = kClicks[index];
    ShownWindow shown;
    shown.Open(MakeFile(dir_.filePath("clicked.dat"), Bytes(c.size)));
    ByteListView* view = shown.window.ByteList();
    const QRect last = view->visualRect(view->model()->index(c.size - 1, 1));
    for (int i = 0; i < c.times; ++i) {
        if (c.row < c.size)
            ClickRow(shown.window, c.row, c.button, c.twice);
        else
            ClickAt(view->viewport(), last.center() + QPoint(0, (c.row - c.size + 1) * last.height()), c.button);
    }
    const RowStore& rows = shown.window.Rows();
    QCOMPARE(rows.GetMarker(c.row), c.marker);
    QCOMPARE(rows.GetFieldType(c.row), c.type);
    QCOMPARE(rows.Markers().size() + rows.FieldTypes().size(),
             std::size_t(c.marker != MarkerKind::Unmarked) + std::size_t(c.type != FieldType::None));
    if (c.row < c.size) // the list shows the row's own type
        QCOMPARE(view->model()->index(c.row, ByteListModel::FieldTypeColumn).data().toString(),
                 QtText(FieldTypeText(c.type).In(UiLanguage::English)));
}

void ByteListQtTest::moreBytes_data()
{
    QTest::addColumn<std::vector<int>>("pages");
    for (const std::vector<int>& pages : kPages)
        QTest::newRow(QByteArray::number(pages[0]) + " bytes") << pages;
}

void ByteListQtTest::moreBytes()
{
    QFETCH(std::vector<int>, pages);
    ShownWindow shown;
    shown.Open(MakeFile(dir_.filePath("paged.dat"), Bytes(pages[0])));
    const ByteListModel* model = shown.window.ByteListRows();
    for (std::size_t step = 1; step < pages.size(); ++step) {
        if (step > 1)
            Press(shown.window, MainWindow::MoreBytesButton);
        QCOMPARE(model->rowCount(), pages[step]);
    }
    // Each row shows its own byte, across the blocks the list reads.
    for (int row = 0; row < model->rowCount(); ++row)
        QCOMPARE(model->index(row, ByteListModel::HexColumn).data().toString(),
                 QtText(FormatHexByte(static_cast<std::uint8_t>(row % 251))));
}

// More bytes at page 1000 reads no more than at page 2; typing a byte number
// goes to its row without reading the rows between. Keys typed in quick
// succession make one number; a new number starts below the current row.
void ByteListQtTest::readsDoNotGrowWithTheRowsShown()
{
    InitResources();
    MarkerIcons icons;
    QVERIFY(icons.Load(QString::fromLatin1(kMarkerStripResource)));
    const CountingSource source;
    RowStore store;
    ByteListModel model(source, store, icons, UiLanguage::English);
    ByteListView view;
    view.setModel(&model);
    view.resize(384, 341);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    model.ShowFirstPage();
    const auto readsOfNextPage = [&] {
        QCoreApplication::processEvents();
        source.reads = 0;
        const int firstNew = model.rowCount();
        model.ShowNextPage();
        view.ShowRow(firstNew);
        view.viewport()->repaint();
        return source.reads;
    };
    QVERIFY(readsOfNextPage() <= 2);
    while (model.rowCount() < 999 * 1024)
        model.ShowNextPage();
    QVERIFY(readsOfNextPage() <= 2);

    QApplication::setKeyboardInputInterval(300);
    view.setFocus();
    source.reads = 0;
    QTest::keyClicks(&view, QStringLiteral("1000000"));
    QCOMPARE(view.currentIndex().row(), 1000000);
    view.viewport()->repaint();
    QVERIFY(source.reads <= 2);
    QTest::keyClicks(&view, QStringLiteral("x"));
    QCOMPARE(view.currentIndex().row(), 1000000);
    QTest::qWait(400);
    QTest::keyClicks(&view, QStringLiteral("1"));
    QCOMPARE(view.currentIndex().row(), 1000001);
}

void ByteListQtTest::rowNumberSearch()
{
    const char* const prefixes[] = {"0", "1", "2", "9", "10", "12", "99", "100", "102", "1024", "01", "1a", ""};
    for (const std::int64_t rows : {1, 2, 9, 10, 11, 100, 101, 1024, 3000}) {
        std::vector<std::int64_t> starts = {-5, 0, 1, 9, 10, 99, 100, 101, 999, 1000, 1023, 1024, rows - 1, rows};
        for (std::int64_t start = 0; rows <= 101 && start < rows; ++start)
            starts.push_back(start);
        for (const char* prefix : prefixes)
            for (const std::int64_t start : starts)
                QVERIFY2(FirstRowWithPrefix(prefix, start, rows) == ScanForPrefix(prefix, start, rows),
                         qPrintable(QStringLiteral("%1 rows, \"%2\" from %3").arg(rows).arg(prefix).arg(start)));
    }
    // Lists too long to read row by row.
    constexpr std::int64_t kMost = 2147483647;
    QCOMPARE(FirstRowWithPrefix("2147483646", 0, kMost), 2147483646);
    QCOMPARE(FirstRowWithPrefix("2147483647", 0, kMost), -1);
    QCOMPARE(FirstRowWithPrefix("21474836460", 0, kMost), -1);
    QCOMPARE(FirstRowWithPrefix("7", 8000000, kMost), 70000000);
    QCOMPARE(FirstRowWithPrefix("7", 800000000, kMost), 7);
    QCOMPARE(FirstRowWithPrefix("15", 1600, 1000000), 15000);
}

QTEST_MAIN(ByteListQtTest)
#include "ByteListQtTest.moc"
