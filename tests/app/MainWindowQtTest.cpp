// The main window's part of a conversion: for each way Convert can go (a bad
// source, marks that describe no record, a cancelled or refused save dialog,
// a source or target spoilt meanwhile, Cancel or Quit at chosen moments, no
// worker thread), the messages shown, the target left or not, and the window
// after. And that a message box holds back the user's clicks.
#include <optional>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>

#include "convert/PrepareConversion.h"
#include "support/WindowTesting.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// The process as an ordinary user who may start no more threads, while this
// lives. Root is never held to the limit, so it becomes nobody, keeping its
// saved id to come back.
class NoMoreThreads {
public:
    NoMoreThreads()
    {
        if (::getrlimit(RLIMIT_NPROC, &old_) != 0)
            return;
        const rlimit none{0, old_.rlim_max};
        limited_ = ::setrlimit(RLIMIT_NPROC, &none) == 0;
        switched_ = limited_ && ::geteuid() == 0 && ::setresuid(65534, 65534, 0) == 0;
    }
    ~NoMoreThreads()
    {
        if ((switched_ && ::setresuid(0, 0, 0) != 0) || (limited_ && ::setrlimit(RLIMIT_NPROC, &old_) != 0))
            qFatal("cannot lift the thread limit");
    }
    bool Ok() const { return limited_ && (switched_ || ::geteuid() != 0); }

private:
    rlimit old_{};
    bool limited_ = false;
    bool switched_ = false;
};

// What happens while message 42 is up or, without it, right after Convert
// returns (before the window serves an event).
enum class Act { None, CutSource, DeleteTarget, CancelYes, CancelNo, Quit, NoThread };
// The window after: the source shown with the marks as clicked, or as the
// conversion rewrote them; no source; closed.
enum class After { Kept, Normalised, Cleared, Closed };

struct Case {
    const char* name;
    const char* source;
    const char* marks;    // layout text
    QStringList targets;  // the save dialog's answers; a null one cancels
    Act act;
    std::vector<int> messages;
    After after;
    bool target;          // t.xls is there afterwards
    int rowInSight = -1;
};

// two.dat holds 65535 records of two bytes, one more than a worksheet takes.
const char* const kTwo = "0 LineBegin Text\n1 LineEnd";
const char* const kFour = "0 LineBegin Text\n3 LineEnd";
const QString kNone;
const QString kTarget = QStringLiteral("t.xls");
constexpr int kTwoSize = 2 * 65535;

const Case kCases[] = {
    {"empty source", "empty.dat", "", {}, Act::None, {MsgImportFileError}, After::Cleared, false},
    {"folder as source", ".", "", {}, Act::None, {MsgImportFileError}, After::Cleared, false},
    {"no marks", "two.dat", "", {}, Act::None, {MsgMissingLineBegin}, After::Kept, false},
    {"column end without begin", "two.dat", "10 LineBegin\n700 ColumnEnd\n950 LineEnd", {}, Act::None,
     {MsgMissingColumnBegin}, After::Kept, false, 700},
    {"save dialog cancelled", "two.dat", kFour, {kNone}, Act::None, {}, After::Kept, false},
    {"targets refused, then cancelled", "two.dat", kFour, {"no/t.xls", "two.dat", kNone}, Act::None,
     {MsgFileExists, MsgFileExists}, After::Kept, false},
    {"converted after a refused target", "two.dat", kFour, {"no/t.xls", kTarget}, Act::None, {MsgFileExists},
     After::Cleared, true},
    {"clamped and converted", "two.dat", kTwo, {kTarget}, Act::None, {MsgTooManyLines}, After::Cleared, true},
    {"source cut", "two.dat", kTwo, {kTarget}, Act::CutSource, {MsgTooManyLines, MsgImportFileError},
     After::Normalised, false},
    {"target deleted", "two.dat", kTwo, {kTarget}, Act::DeleteTarget, {MsgTooManyLines, MsgWriteError},
     After::Normalised, false},
    {"Cancel, Yes at message 42", "two.dat", kTwo, {kTarget}, Act::CancelYes, {MsgTooManyLines, MsgKeepSource},
     After::Normalised, false},
    {"Cancel, No at message 42", "two.dat", kTwo, {kTarget}, Act::CancelNo, {MsgTooManyLines, MsgKeepSource},
     After::Cleared, false},
    {"Quit at message 42", "two.dat", kTwo, {kTarget}, Act::Quit, {MsgTooManyLines}, After::Closed, false},
    {"Cancel, Yes while converting", "two.dat", kFour, {kTarget}, Act::CancelYes, {MsgKeepSource},
     After::Normalised, false},
    {"Cancel, No while converting", "two.dat", kFour, {kTarget}, Act::CancelNo, {MsgKeepSource}, After::Cleared,
     false},
    {"Quit while converting", "two.dat", kFour, {kTarget}, Act::Quit, {}, After::Closed, false},
    {"no worker thread, then Cancel", "two.dat", kFour, {kTarget}, Act::NoThread, {MsgKeepSource},
     After::Normalised, false},
};

} // namespace

class MainWindowQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void convert_data();
    void convert();
    void messageBoxHoldsClicksBack();
    void helpAndQuit();

private:
    QTemporaryDir dir_;
};

void MainWindowQtTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    // Open to everyone: nobody makes the target too.
    QVERIFY(QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7777)));
    MakeFile(dir_.filePath("empty.dat"), {});
}

void MainWindowQtTest::init()
{
    MakeFile(dir_.filePath("two.dat"), Bytes(kTwoSize));
    QFile::remove(dir_.filePath(kTarget));
}

void MainWindowQtTest::convert_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kCases)); ++i)
        QTest::newRow(kCases[i].name) << i;
}

void MainWindowQtTest::convert()
{
    QFETCH(int, index);
    const Case& c = kCases[index];
    const QString source = dir_.filePath(c.source);
    const QString target = dir_.filePath(kTarget);
    ShownWindow shown;
    MainWindow& window = shown.window;
    WindowDialogs& dialogs = shown.dialogs;
    shown.Open(source);
    const RowStore made = Marks(c.marks, window.Rows().RowCount());
    MarkByClicks(window, made);
    window.ByteList()->scrollToTop();
    for (const QString& answer : c.targets)
        dialogs.savePaths.push_back(answer.isNull() ? answer : dir_.filePath(answer));
    dialogs.answer = c.act == Act::CancelNo ? AnswerNo : AnswerYes;

    bool acted = false;
    const auto act = [&] {
        if (std::exchange(acted, true))
            return;
        if (c.act == Act::CutSource)
            QVERIFY(QFile::resize(source, 0));
        if (c.act == Act::DeleteTarget)
            QVERIFY(QFile::remove(target));
        if (c.act == Act::NoThread) {
            QVERIFY(window.Task().Active() && !window.Task().Started());
            ClickRow(window, 2, Qt::LeftButton); // ignored while converting
        }
        if (c.act == Act::CancelYes || c.act == Act::CancelNo || c.act == Act::NoThread)
            window.CancelCommand();
        if (c.act == Act::Quit)
            window.QuitCommand();
    };
    dialogs.duringMessage = [&](int id) {
        if (id == MsgTooManyLines)
            act();
    };
    {
        std::optional<NoMoreThreads> limit;
        if (c.act == Act::NoThread && !limit.emplace().Ok())
            QSKIP("this user cannot be kept from starting threads");
        window.ConvertCommand();
    }
    act();
    QVERIFY(!window.isVisible() ||
            QTest::qWaitFor([&] { return window.CurrentState() != MainWindow::State::Converting; }, 60000));
    QCoreApplication::processEvents(); // a finish notice still on its way changes nothing

    QCOMPARE(dialogs.messages, c.messages);
    for (std::size_t i = 0; i < dialogs.messages.size(); ++i)
        if (dialogs.messages[i] == MsgImportFileError || dialogs.messages[i] == MsgFileExists ||
            dialogs.messages[i] == MsgWriteError)
            QVERIFY(!dialogs.details[int(i)].isEmpty());
    QCOMPARE(QFile::exists(target), c.target);
    QVERIFY(!window.Task().Active());
    QCOMPARE(window.ProgressBar()->value(), 0);
    QCOMPARE(window.isVisible(), c.after != After::Closed);
    if (c.act != Act::CutSource && made.RowCount() > 0)
        QCOMPARE(ReadAll(source), Bytes(kTwoSize));
    if (c.rowInSight >= 0)
        QVERIFY(window.ByteList()->viewport()->rect().contains(
            window.ByteList()->visualRect(window.ByteListRows()->index(c.rowInSight, 0))));
    if (c.after == After::Kept || c.after == After::Normalised) {
        QCOMPARE(window.CurrentState(), MainWindow::State::SourceShown);
        const RowStore expected = c.after == After::Kept ? made : PrepareConversion(made, kTwoSize).marks;
        QVERIFY(SameMarks(window.Rows(), expected));
    }
    if (c.after == After::Cleared) {
        QCOMPARE(window.CurrentState(), MainWindow::State::NoSource);
        QCOMPARE(window.ByteListRows()->rowCount(), 0);
    }
    if (c.target) { // the same file as zorbik-convert makes
        const QString layout = MakeFile(dir_.filePath("marks.layout"), c.marks);
        const QString cli = dir_.filePath("cli.xls");
        QFile::remove(cli);
        QCOMPARE(QProcess::execute(ZORBIK_CONVERT_EXE, {"--layout", layout, source, cli}), 0);
        QCOMPARE(ReadAll(target), ReadAll(cli));
    }
}

// Clicks on the list and on Quit while the box is up change nothing.
void MainWindowQtTest::messageBoxHoldsClicksBack()
{
    ShownWindow shown;
    QtUserDialogs real(UiLanguage::English, &shown.window);
    shown.dialogs.realBoxes = &real;
    shown.Open(dir_.filePath("two.dat"));
    QTimer::singleShot(0, [&] {
        auto* box = shown.window.findChild<QMessageBox*>();
        if (box == nullptr)
            qFatal("no message box is up");
        ClickRow(shown.window, 5, Qt::LeftButton);
        ClickRow(shown.window, 5, Qt::RightButton);
        Press(shown.window, MainWindow::QuitButton);
        box->defaultButton()->click(); // Yes
    });
    Press(shown.window, MainWindow::CancelButton);
    QCOMPARE(shown.dialogs.messages, std::vector<int>{MsgKeepSource});
    QCOMPARE(shown.window.CurrentState(), MainWindow::State::SourceShown);
    QVERIFY(shown.window.isVisible());
    QVERIFY(SameMarks(shown.window.Rows(), RowStore()));
}

// Help opens once; Escape closes it; only Quit closes the window, and the
// help with it.
void MainWindowQtTest::helpAndQuit()
{
    ShownWindow shown;
    Press(shown.window, MainWindow::HelpButton);
    QPointer<HelpWindow> help = shown.window.Help();
    QVERIFY(help && help->isVisible());
    help->Request(ScrollRequest::LineDown);
    Press(shown.window, MainWindow::HelpButton);
    QCOMPARE(shown.window.Help(), help.data());
    QTest::keyClick(help, Qt::Key_Escape);
    QTRY_VERIFY(help.isNull());
    Press(shown.window, MainWindow::HelpButton);
    help = shown.window.Help();
    QVERIFY(help && help->Scroll().Position() == 0);
    QVERIFY(!shown.window.close());
    Press(shown.window, MainWindow::QuitButton);
    QVERIFY(!shown.window.isVisible());
    QTRY_VERIFY(help.isNull());
}

QTEST_MAIN(MainWindowQtTest)
#include "MainWindowQtTest.moc"
