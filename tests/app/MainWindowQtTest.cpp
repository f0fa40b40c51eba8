// The main window. For each way Convert can go (a bad source, marks that
// describe no record, a refused or cancelled save dialog, a source or target
// spoilt meanwhile, Cancel or Quit at chosen moments, no worker thread): the
// messages shown, the target left or not, the window after. The byte list:
// clicks on rows (held back while a message box is up), More bytes, and the
// row-number search against reading every row.
#include <algorithm>
#include <optional>

#include <sys/resource.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QSplitter>
#include <QTableWidget>

#include "app/RowNumberSearch.h"
#include "convert/PrepareConversion.h"
#include "codepage/RowText.h"
#include "support/WindowTesting.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// No new threads while this lives. Root, never held to the limit, acts as
// nobody meanwhile and keeps its saved id to come back.
struct NoMoreThreads {
    NoMoreThreads()
    {
        ::getrlimit(RLIMIT_NPROC, &old);
        const rlimit none{0, old.rlim_max};
        ok = ::setrlimit(RLIMIT_NPROC, &none) == 0 && (!root || ::setresuid(65534, 65534, 0) == 0);
    }
    ~NoMoreThreads()
    {
        if ((root && ::setresuid(0, 0, 0) != 0) || ::setrlimit(RLIMIT_NPROC, &old) != 0)
            qFatal("cannot lift the thread limit");
    }
    const bool root = ::geteuid() == 0;
    bool ok = false;
    rlimit old{};
};

// What happens while message 42 is up or, without it, right after Convert
// returns (before the window serves an event).
enum class Act { None, CutSource, DeleteTarget, CancelYes, CancelNo, Quit, NoThread };
// The window after: the source shown with the marks as clicked or as the
// conversion rewrote them; no source, with or without a target; closed.
enum class After { Kept, Cleared, Converted, Closed };
using enum Act;
using enum After;

// The marks as layout text; the save dialog's answers (null cancels); a row
// the list must show. two.dat holds 65535 records of two bytes, one more than
// a worksheet takes.
struct Case {
    const char* name; const char* marks; std::vector<const char*> targets; Act act; std::vector<MessageId> messages;
    After after; int rowInSight = -1; const char* source = "two.dat";
    const char* status = ""; // the status line's start ("…" stands for the target's path), after the run
    int filter = -1;         // the type of file the user picks in the save dialog; -1: the one shown
};

const char* const kTwo = "0 LineBegin Text\n1 LineEnd";
const char* const kFour = "0 LineBegin Text\n3 LineEnd";
constexpr int kTwoSize = 2 * 65535;

const Case kCases[] = {
    {"folder as source", "", {}, None, {MessageId::ImportFileError}, Cleared, -1, "."},
    {"no marks", "", {}, None, {MessageId::MissingLineBegin}, Kept},
    {"column end without begin", "10 LineBegin\n700 ColumnEnd\n950 LineEnd", {}, None, {MessageId::MissingColumnBegin},
     Kept, 700},
    {"targets refused, then cancelled", kFour, {"no/t.xls", "two.dat", nullptr}, None, {MessageId::FileExists, MessageId::FileExists},
     Kept},
    {"converted after a refused target", kFour, {"no/t.xls", "t.xls"}, None, {MessageId::FileExists}, Converted, -1,
     "two.dat", "32,767 rows written to …"},
    {"clamped and converted", kTwo, {"t.xls"}, None, {MessageId::TooManyLines}, Converted, -1, "two.dat",
     "65,534 rows written to … More than 65534 lines; maximum lines is selected!"},
    {"source cut", kTwo, {"t.xls"}, CutSource, {MessageId::TooManyLines, MessageId::ImportFileError}, Kept},
    {"target deleted", kTwo, {"t.xls"}, DeleteTarget, {MessageId::TooManyLines, MessageId::WriteError}, Kept},
    {"Cancel, Yes at message 42", kTwo, {"t.xls"}, CancelYes, {MessageId::TooManyLines, MessageId::KeepSource}, Kept,
     -1, "two.dat", "Cancelled: the unfinished file … was deleted"},
    {"Cancel, No at message 42", kTwo, {"t.xls"}, CancelNo, {MessageId::TooManyLines, MessageId::KeepSource}, Cleared,
     -1, "two.dat", "Cancelled: the unfinished file … was deleted"},
    {"Quit at message 42", kTwo, {"t.xls"}, Quit, {MessageId::TooManyLines}, Closed},
    {"Cancel, Yes while converting", kFour, {"t.xls"}, CancelYes, {MessageId::KeepSource}, Kept, -1, "two.dat",
     "Cancelled: the unfinished file … was deleted"},
    {"Quit while converting", kFour, {"t.xls"}, Quit, {}, Closed},
    {"no worker thread, then Cancel", kFour, {"t.xls"}, NoThread, {MessageId::KeepSource}, Kept, -1, "two.dat",
     "Cancelled: the unfinished file … was deleted"},
    {"CSV by the name: every record", kTwo, {"t.csv"}, None, {}, Converted, -1, "two.dat",
     "65,535 rows written to …. 2,610 bytes had no character in code page 1252"},
    {"no extension: the type chosen", kTwo, {"t"}, None, {}, Converted, -1, "two.dat",
     "65,535 rows written to …. 2,610 bytes had no character in code page 1252", 2},
    {"Cancel while converting to CSV", kFour, {"t.csv"}, CancelYes, {MessageId::KeepSource}, Kept, -1, "two.dat",
     "Cancelled: the unfinished file … was deleted"},
};

// Clicks (quick double clicks if `twice`) on a row of a five-row list, row 7
// below the rows; with a message box up if `boxUp`. Then the row's marks.
struct Click {
    const char* name; int row; Qt::MouseButton button; int times; bool twice; MarkerKind marker; FieldType type;
    bool boxUp = false;
};

const Click kClicks[] = {
    {"left: record begin", 1, Qt::LeftButton, 1, false, MarkerKind::LineBegin, FieldType::None},
    {"left six times: unmarked again", 1, Qt::LeftButton, 6, false, MarkerKind::Unmarked, FieldType::None},
    {"right: BinInteger", 3, Qt::RightButton, 1, false, MarkerKind::Unmarked, FieldType::BinInteger},
    {"right six times: BinInteger again", 3, Qt::RightButton, 6, false, MarkerKind::Unmarked, FieldType::BinInteger},
    {"a quick double click steps twice", 4, Qt::LeftButton, 1, true, MarkerKind::ColumnBegin, FieldType::None},
    {"below the rows", 7, Qt::RightButton, 1, false, MarkerKind::Unmarked, FieldType::None},
    {"while a message box is up", 1, Qt::LeftButton, 1, false, MarkerKind::Unmarked, FieldType::None, true},
};

// The source's size, then the rows after Open and after each More bytes.
const std::vector<std::vector<int>> kPages = {
    {1, 1}, {1024, 1024, 1024}, {1025, 1024, 1025, 1025}, {5000, 1024, 2048, 3072, 4096, 5000, 5000}};

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

class MainWindowQtTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    // Open to everyone: nobody makes a target too.
    void initTestCase() { QVERIFY(QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7777))); }
    void init()
    {
        for (const char* name : {"t.xls", "t.csv", "t"})
            QFile::remove(dir_.filePath(name));
    }
    void convert_data() { AddRows(kCases); }
    void convert();
    void clicks_data() { AddRows(kClicks); }
    void clicks();
    void moreBytes();
    void marksFiles();
    void keysAndPreview();
    void copybook();
    void smallestLayout();
    void rowNumberSearch();
};

void MainWindowQtTest::convert()
{
    QFETCH(int, index);
    const Case& c = kCases[index];
    MakeFile(dir_.filePath("two.dat"), Bytes(kTwoSize));
    const QString source = dir_.filePath(c.source);
    const QString target = dir_.filePath(c.targets.empty() || c.targets.back() == nullptr ? "t.xls" : c.targets.back());
    ShownWindow shown(source);
    shown.dialogs.targetFilter = c.filter;
    MainWindow& window = shown.window;
    const Marks made = MarkByClicks(window, c.marks);
    ByteList(window)->scrollToTop();
    for (const char* answer : c.targets)
        shown.dialogs.paths << (answer != nullptr ? dir_.filePath(answer) : QString());
    shown.dialogs.answer = c.act == CancelNo ? BoxAnswer::No : BoxAnswer::Yes;
    const auto act = [&] {
        if (c.act == CutSource || c.act == DeleteTarget)
            QVERIFY(c.act == CutSource ? QFile::resize(source, 0) : QFile::remove(target));
        if (c.act == NoThread) {
            QCOMPARE(window.CurrentState(), MainWindow::State::Converting);
            ClickRow(window, 2, Qt::LeftButton); // ignored while converting
        }
        if (c.act == CancelYes || c.act == CancelNo || c.act == NoThread)
            window.CancelCommand();
        if (c.act == Quit)
            window.QuitCommand();
    };
    shown.dialogs.duringMessage = [&](MessageId id) {
        if (id == MessageId::TooManyLines)
            act();
    };
    shown.dialogs.paths.prepend(dir_.filePath("saved.zlayout"));
    window.SaveMarksCommand();
    std::optional<NoMoreThreads> limit;
    if (c.act == NoThread && !limit.emplace().ok)
        QSKIP("this user cannot be kept from starting threads");
    window.ConvertCommand();
    limit.reset();
    if (std::ranges::count(shown.dialogs.messages, MessageId::TooManyLines) == 0)
        act();
    QVERIFY(!window.isVisible() ||
            QTest::qWaitFor([&] { return window.CurrentState() != MainWindow::State::Converting; }, 60000));
    QCoreApplication::processEvents(); // a finish notice still on its way changes nothing

    QCOMPARE(shown.dialogs.messages, c.messages);
    QCOMPARE(QFile::exists(target), c.after == Converted);
    QCOMPARE(window.findChild<QProgressBar*>()->value(), 0);
    if (window.isVisible())
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("status"))->text(), QString(c.status).replace("…", target));
    QCOMPARE(window.isVisible(), c.after != Closed);
    const QRect rowInSight = ByteList(window)->visualRect(ListRows(window)->index(c.rowInSight, 0));
    QVERIFY(c.rowInSight < 0 || ByteList(window)->viewport()->rect().contains(rowInSight));
    if (c.after == Kept) { // the user's own marks, and the keys work at once
        QCOMPARE(window.CurrentState(), MainWindow::State::SourceShown);
        QVERIFY(MarksOf(window) == made);
        QCOMPARE(window.focusWidget(), ByteList(window));
    }
    if (c.after == Cleared || c.after == Converted)
        QVERIFY(window.CurrentState() == MainWindow::State::NoSource && ListRows(window)->rowCount() == 0);
    if (c.after == Converted) { // the same file as zorbik-convert makes with the marks the window saved
        const QString layout = dir_.filePath("saved.zlayout");
        const QString again = source + (target.endsWith(".xls") ? ".xls" : ".csv");
        QCOMPARE(QProcess::execute(ZORBIK_CONVERT_EXE, {"--force", "--layout", layout, source, again}), 0);
        QCOMPARE(QProcess::execute("cmp", {target, again}), 0);
        // The save dialog offers every type this build writes, first the one last chosen.
        QCOMPARE(shown.dialogs.filterNames.size(), 4);
        QCOMPARE(shown.dialogs.shownFilter, 0);
        shown.dialogs.paths << source;
        Press(window, MainWindow::OpenButton);
        MarkByClicks(window, c.marks);
        shown.dialogs.paths << QString();
        window.ConvertCommand();
        QCOMPARE(shown.dialogs.shownFilter, c.filter < 0 ? 0 : c.filter);
    }
}

// A message box holds back clicks on the list and on Quit.
void MainWindowQtTest::clicks()
{
    QFETCH(int, index);
    const Click& c = kClicks[index];
    ShownWindow shown(MakeFile(dir_.filePath("five.dat"), Bytes(5)));
    const QRect last = ByteList(shown.window)->visualRect(ListRows(shown.window)->index(4, 1));
    const auto click = [&] {
        for (int i = 0; i < c.times; ++i)
            ClickAt(ByteList(shown.window)->viewport(), last.center() + QPoint(0, (c.row - 4) * last.height()),
                    c.button, c.twice);
    };
    if (c.boxUp) {
        QTimer::singleShot(0, [&] {
            click();
            Press(shown.window, MainWindow::QuitButton);
            shown.window.findChild<QMessageBox*>()->defaultButton()->click();
        });
        QtUserDialogs(UiLanguage::English, &shown.window).ShowMessage(MessageId::KeepSource);
    } else {
        click();
    }
    const Marks& rows = MarksOf(shown.window);
    QVERIFY(shown.window.isVisible() && rows.GetMarker(c.row) == c.marker && rows.GetFieldType(c.row) == c.type);
    QCOMPARE(rows.Markers().size() + rows.FieldTypes().size(),
             std::size_t(c.marker != MarkerKind::Unmarked) + std::size_t(c.type != FieldType::None));
}

// Each row shows its own byte, across the blocks the list reads.
void MainWindowQtTest::moreBytes()
{
    for (const std::vector<int>& pages : kPages) {
        ShownWindow shown(MakeFile(dir_.filePath("paged.dat"), Bytes(pages[0])));
        const QAbstractItemModel* model = ListRows(shown.window);
        for (std::size_t step = 1; step < pages.size(); ++step) {
            if (step > 1)
                Press(shown.window, MainWindow::MoreBytesButton);
            QCOMPARE(model->rowCount(), pages[step]);
            QCOMPARE(shown.window.focusWidget(), ByteList(shown.window)); // after Open and More bytes alike
            QCOMPARE(ByteList(shown.window)->currentIndex().row(), 0); // the first byte, where marking starts
        }
        for (int row = 0; row < model->rowCount(); ++row)
            QCOMPARE(model->index(row, ByteListModel::HexColumn).data().toString(),
                     QString::fromStdString(FormatHexByte(static_cast<std::uint8_t>(row % 251))));
    }
}

// Load checks the whole file first: a faulty one leaves the marks as they
// were; a good one brings back marks, code page and trim, paging the list
// as far as its rows reach.
void MainWindowQtTest::marksFiles()
{
    ShownWindow shown(MakeFile(dir_.filePath("long.dat"), Bytes(5000)));
    MainWindow& window = shown.window;
    const Marks made = MarkByClicks(window, "5 LineBegin\n9 LineEnd Text");
    const struct { const char* text; bool loads; } files[] = {
        {"0 LineBegin\n0 LineEnd\n", false},             // a row listed twice
        {"codepage 850\n0 LineBegin\n5000 LineEnd\n", false}, // past the end of the source
        {"codepage 851\n", false},
        {"# saved\ncodepage 850\ntrim\n3000 LineBegin Text\n3999 LineEnd\n", true},
    };
    for (const auto& file : files) {
        shown.dialogs.paths << MakeFile(dir_.filePath("m.zlayout"), file.text);
        shown.dialogs.messages.clear();
        window.LoadMarksCommand();
        QCOMPARE(shown.dialogs.messages, file.loads ? std::vector<MessageId>{} : std::vector<MessageId>{MessageId::FaultyMarksFile});
        QCOMPARE(MarksOf(window).Markers() == made.Markers(), !file.loads);
    }
    QCOMPARE(ListRows(window)->rowCount(), 4096);
    QCOMPARE(window.CurrentLayout().settings, (ConversionSettings{850, true}));
    QCOMPARE(MarksOf(window).GetMarker(3999), MarkerKind::LineEnd);
    QVERIFY(ByteList(window)->viewport()->rect().contains(
        ByteList(window)->visualRect(ListRows(window)->index(3000, 0))));
}

// Keys set the current row's marks; the preview follows every change.
void MainWindowQtTest::keysAndPreview()
{
    ShownWindow shown(MakeFile(dir_.filePath("keys.dat"), "AB12CDEF34GH"));
    MainWindow& window = shown.window;
    const std::pair<int, Qt::Key> keys[] = {{0, Qt::Key_B}, {2, Qt::Key_BracketLeft}, {2, Qt::Key_D},
                                            {3, Qt::Key_BracketRight}, {5, Qt::Key_E}, {0, Qt::Key_T}};
    const char* const previews[] = {"Missing symbol for lineend! (row 0; click to show it)",
                                    "Missing symbol for lineend! (row 0; click to show it)",
                                    "Missing symbol for lineend! (row 0; click to show it)",
                                    "Missing symbol for lineend! (row 0; click to show it)", "12|34",
                                    "AB|12|EF|34"};
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        ByteList(window)->setCurrentIndex(ListRows(window)->index(keys[i].first, 0));
        QTest::keyClick(ByteList(window), keys[i].second);
        const QTableWidget* table = window.findChild<PreviewPanel*>()->Table();
        QString shown = table->rowCount() == 0 ? window.findChild<PreviewPanel*>()->StatusText() : QString();
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < table->columnCount(); ++c)
                shown += (r + c == 0 ? "" : "|") + table->item(r, c)->text();
        QCOMPARE(shown, QString(previews[i]));
    }
    // F2: the type dialog for the current row; its choice types the column.
    // A name goes with it, into the list and the preview's header; no other row may take it.
    shown.dialogs.fieldChoice = FieldChoice{FieldType::Zoned, FieldOptions{.scale = 1}, {"Betrag", 0}};
    ByteList(window)->setCurrentIndex(ListRows(window)->index(2, 0));
    QTest::keyClick(ByteList(window), Qt::Key_F2);
    QCOMPARE(shown.dialogs.shownChoice, (FieldChoice{FieldType::DecimalNumber, {}}));
    QCOMPARE(window.findChild<PreviewPanel*>()->Table()->item(0, 1)->text(), QString("1.2"));
    QCOMPARE(window.findChild<PreviewPanel*>()->Table()->horizontalHeaderItem(1)->text(), QString("Betrag\nZoned (DISPLAY)"));
    QCOMPARE(ListRows(window)->index(2, ByteListModel::FieldTypeColumn).data().toString(),
             QString("Zoned 1 name=Betrag"));
    shown.dialogs.fieldChoice = FieldChoice{FieldType::Text, {}, {"BETRAG", 0}};
    ByteList(window)->setCurrentIndex(ListRows(window)->index(0, 0));
    QTest::keyClick(ByteList(window), Qt::Key_F2);
    QCOMPARE(shown.dialogs.messages.back(), MessageId::NameTaken);
    QVERIFY(MarksOf(window).GetTraits(0).name.empty());
    ByteList(window)->setCurrentIndex(ListRows(window)->index(2, 0));
    QTest::keyClick(ByteList(window), Qt::Key_Delete);
    QCOMPARE(MarksOf(window).GetMarker(2), MarkerKind::Unmarked);
}

// A copybook marks its record from the current row, its notes told after;
// a faulty one, or one longer than the source from there, changes nothing.
void MainWindowQtTest::copybook()
{
    ShownWindow shown(MakeFile(dir_.filePath("cobol.dat"), "HDAB012CD345"));
    MainWindow& window = shown.window;
    const struct { const char* text; MessageId message; const char* preview; } rows[] = {
        {"01 R. 05 A PIC X(2) 05 B.", MessageId::FaultyMarksFile, "Missing symbol for linebegin!"},
        {"01 R. 05 A PIC X(11).", MessageId::FaultyMarksFile, "Missing symbol for linebegin!"},
        {"01 R. 05 A PIC XX. 05 B REDEFINES A PIC 99. 05 C PIC 9(3).", MessageId::CopybookNotesTitle, "AB|12|CD|345"},
    };
    for (const auto& row : rows) {
        shown.dialogs.paths << MakeFile(dir_.filePath("r.cpy"), row.text);
        shown.dialogs.messages.clear();
        ByteList(window)->setCurrentIndex(ListRows(window)->index(2, 0));
        Press(window, MainWindow::LoadCopybookButton);
        const PreviewPanel* preview = window.findChild<PreviewPanel*>();
        QString cells = preview->Table()->rowCount() == 0 ? preview->StatusText().section(" (", 0, 0) : QString();
        for (int r = 0; r < preview->Table()->rowCount(); ++r)
            for (int c = 0; c < preview->Table()->columnCount(); ++c)
                cells += (r + c == 0 ? "" : "|") + preview->Table()->item(r, c)->text();
        QCOMPARE(shown.dialogs.messages, std::vector<MessageId>{row.message});
        QCOMPARE(cells, QString(row.preview));
    }
}

// At its smallest the controls do not overlap and stay inside the window.
// At its least size and at the sizes it opens at on a small and a big
// screen, in both languages: nothing overlaps, nothing sticks out, no button
// is cut; the least size fits a screen of 1024 × 600 with a title bar.
void MainWindowQtTest::smallestLayout()
{
    for (const UiLanguage language : {UiLanguage::German, UiLanguage::English}) {
        WindowDialogs dialogs;
        MainWindow window(language, dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize least = window.minimumSizeHint();
        QVERIFY(least.width() <= 1024 && least.height() <= 600 - 40);
        const QSize small = MainWindow::StartSize({1024, 768 - 40}, least);
        QCOMPARE(small, QSize(921, 655).expandedTo(least));
        QCOMPARE(MainWindow::StartSize({1920, 1080 - 40}, least), QSize(1280, 860));
        QCOMPARE(MainWindow::StartSize({800, 560}, least), QSize(720, 504).expandedTo(least));
        for (const QSize size : {least, small, QSize(1280, 860)}) {
            window.resize(size);
            QCoreApplication::processEvents();
            std::vector<QWidget*> widgets = {ByteList(window), window.findChild<QWidget*>(QStringLiteral("picture")),
                                             window.findChild<QProgressBar*>(),
                                             window.findChild<QLabel*>(QStringLiteral("status"))};
            for (QWidget* w : window.findChild<PreviewPanel*>()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                widgets.push_back(w);
            for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (qobject_cast<QPushButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QCheckBox*>(w))
                    widgets.push_back(w);
            for (std::size_t i = 0; i < widgets.size(); ++i) {
                const QRect rect(widgets[i]->mapTo(&window, QPoint()), widgets[i]->size());
                QVERIFY2(window.rect().contains(rect), qPrintable(widgets[i]->objectName()));
                for (std::size_t j = i + 1; j < widgets.size(); ++j)
                    QVERIFY(!rect.intersects(QRect(widgets[j]->mapTo(&window, QPoint()), widgets[j]->size())));
            }
            for (QPushButton* button : window.findChildren<QPushButton*>())
                QVERIFY(button->width() >= button->sizeHint().width());
        }
    }
}

void MainWindowQtTest::rowNumberSearch()
{
    const char* const prefixes[] = {"0", "1", "2", "9", "10", "12", "99", "100", "102", "1024", "01", "1a", ""};
    for (const std::int64_t rows : {1, 2, 9, 10, 11, 100, 101, 1024, 3000}) {
        std::vector<std::int64_t> starts = {-5, 0, 1, 9, 10, 99, 100, 101, 999, 1000, 1023, 1024, rows - 1, rows};
        for (std::int64_t start = 0; rows <= 101 && start < rows; ++start)
            starts.push_back(start);
        for (const char* prefix : prefixes)
            for (const std::int64_t start : starts)
                QCOMPARE(FirstRowWithPrefix(prefix, start, rows), ScanForPrefix(prefix, start, rows));
    }
    // Lists too long to read row by row.
    QCOMPARE(FirstRowWithPrefix("7", 8000000, 2147483647), 70000000);
    QCOMPARE(FirstRowWithPrefix("7", 800000000, 2147483647), 7);
}

QTEST_MAIN(MainWindowQtTest)
#include "MainWindowQtTest.moc"
