// Conversions started from the window: the file equals the command line's
// for the same marks, the target dialog and its errors, the clamp message,
// Cancel and Quit in the middle of a run, a finish notice that comes too
// late, and a target that cannot be written to the end.
#include <csignal>
#include <thread>

#include <sys/resource.h>

#include <QProcess>
#include <QProgressBar>
#include <QScopeGuard>
#include <QtTest>

#include "app/ResourceNames.h"
#include "app/WindowTestSupport.h"
#include "layout/LayoutFile.h"

using namespace zorbik;
using namespace zorbik::testing;

Q_DECLARE_METATYPE(zorbik::UiLanguage)

namespace {

// One mark: row, marker, right clicks for the field type.
using MarkList = QList<QList<int>>;

constexpr int kHeader = 16;
constexpr int kRecord = 24;

// A file header, then `records` records of 24 bytes: a name, a 16-bit and
// a 32-bit integer, a single real, a decimal text and a packed number.
QByteArray Records(int records)
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

struct Shown {
    explicit Shown(UiLanguage language) : window(language, dialogs)
    {
        if (!window.SetUp())
            qFatal("the marker pictures are missing from the resources");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the window did not show");
    }
    void Open(const QString& path)
    {
        dialogs.openAnswers.push_back(path);
        Press(window, MainWindow::OpenButton);
    }
    void MarkAll(const MarkList& marks)
    {
        for (const QList<int>& mark : marks) {
            ClickRow(window, mark[0], Qt::LeftButton, mark[1]);
            ClickRow(window, mark[0], Qt::RightButton, mark[2]);
        }
    }
    bool WaitForState(MainWindow::State state)
    {
        return QTest::qWaitFor([&] { return window.CurrentState() == state; }, 20000);
    }
    ScriptedDialogs dialogs;
    MainWindow window;
};

const int LB = int(MarkerKind::LineBegin);
const int CB = int(MarkerKind::ColumnBegin);
const int BM = int(MarkerKind::ByteMark);
const int CE = int(MarkerKind::ColumnEnd);
const int LE = int(MarkerKind::LineEnd);
const int NoType = 0, BinInteger = 1, BinReal = 2, Decimal = 3, Bcd = 4, Text = 5;

const MarkList kColumns = {{16, LB, NoType},     {17, CB, Text},    {23, CE, NoType}, {24, CB, BinInteger},
                           {25, CE, NoType},     {26, CB, BinReal}, {29, CE, NoType}, {30, CB, Decimal},
                           {35, CE, NoType},     {36, CB, Bcd},     {38, CE, NoType}, {39, LE, NoType}};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The command line's file for the same source and marks.
QByteArray CommandLineOutput(const QTemporaryDir& dir, const QString& source, const std::string& layout)
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

} // namespace

class ConversionQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void sameFileAsCommandLine_data();
    void sameFileAsCommandLine();
    void finishTakesTheClearPath();
    void targetDialogUntilATargetOpens();
    void existingLongerTargetIsCut();
    void tooManyRecordsAreClamped();
    void cancelDuringConversion_data();
    void cancelDuringConversion();
    void quitDuringConversion();
    void lateFinishNoticeIsIgnored();
    void cancelOrQuitDuringClampMessage_data();
    void cancelOrQuitDuringClampMessage();
    void writeFailureShowsMessage44();

private:
    QTemporaryDir dir_;
    QString target_;
    QString records100_;
    QString records3000_;
    QString twoByteRecords_;
};

void ConversionQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    records100_ = MakeFile(dir_, QStringLiteral("records100.dat"), Records(100));
    records3000_ = MakeFile(dir_, QStringLiteral("records3000.dat"), Records(3000));
    // 65535 records of two bytes: one more than a worksheet takes.
    twoByteRecords_ = MakeFile(dir_, QStringLiteral("two.dat"), CountingBytes(2 * 65535));
}

void ConversionQtTest::init()
{
    target_ = dir_.filePath(QStringLiteral("target.xls"));
    QFile::remove(target_);
}

void ConversionQtTest::sameFileAsCommandLine_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<MarkList>("marks");
    QTest::addColumn<QString>("title");

    QTest::newRow("columns of every type") << UiLanguage::English << kColumns << "Export Excel -sheet";
    QTest::newRow("columns of every type, German") << UiLanguage::German << kColumns << "Excel -Sheet Exportieren";
    QTest::newRow("typed record edges become columns")
        << UiLanguage::English << MarkList{{16, LB, Text}, {24, CB, BinInteger}, {25, CE, NoType}, {39, LE, Text}}
        << "Export Excel -sheet";
    QTest::newRow("byte marks pick bytes")
        << UiLanguage::German
        << MarkList{{16, LB, NoType}, {17, CB, Text}, {18, BM, NoType}, {20, BM, NoType}, {23, CE, NoType},
                    {26, CB, BinReal}, {29, CE, NoType}, {39, LE, NoType}}
        << "Excel -Sheet Exportieren";
    QTest::newRow("no column: the whole record")
        << UiLanguage::English << MarkList{{16, LB, NoType}, {39, LE, NoType}} << "Export Excel -sheet";
}

void ConversionQtTest::sameFileAsCommandLine()
{
    QFETCH(UiLanguage, language);
    QFETCH(MarkList, marks);
    QFETCH(QString, title);

    Shown shown(language);
    shown.Open(records100_);
    shown.MarkAll(marks);
    const std::string layout = FormatLayout(shown.window.Rows());
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));

    QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(1));
    const FileQuestion& asked = shown.dialogs.saveQuestions[0];
    QCOMPARE(asked.title, title);
    QCOMPARE(asked.filter.name, QStringLiteral("Excel -Sheet (*.xls)"));
    // Names that got the default suffix are listed too.
    QCOMPARE(asked.filter.patterns, QStringLiteral("*.xls *.XLS"));
    QCOMPARE(asked.defaultSuffix, QStringLiteral("XLS"));
    QCOMPARE(asked.start, dir_.path());

    const QByteArray expected = CommandLineOutput(dir_, records100_, layout);
    QVERIFY(expected.size() > 680);
    QCOMPARE(ReadAll(target_), expected);
}

void ConversionQtTest::finishTakesTheClearPath()
{
    Shown shown(UiLanguage::German);
    shown.Open(records3000_);
    shown.MarkAll(kColumns);
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QCOMPARE(shown.window.ProgressBar()->maximum(), 3000);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));

    QVERIFY(shown.dialogs.messages.empty());
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);
    QVERIFY(shown.window.Rows().Markers().empty());
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    QVERIFY(QFile::exists(target_));
    // The next open dialog starts with the target's path.
    Press(shown.window, MainWindow::OpenButton);
    QCOMPARE(shown.dialogs.openQuestions.back().start, target_);
}

// Cancelling the target dialog shows it again; a target that cannot be
// opened shows message 35 and then the dialog again.
void ConversionQtTest::targetDialogUntilATargetOpens()
{
    Shown shown(UiLanguage::English);
    shown.Open(records100_);
    shown.MarkAll(kColumns);
    shown.dialogs.saveAnswers = {QString(), QString(), records100_,
                                 dir_.filePath(QStringLiteral("no-such-folder/target.xls")), dir_.path(), target_};
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(6));
    QCOMPARE(shown.dialogs.MessageIds(), (std::vector<int>{MsgFileExists, MsgFileExists, MsgFileExists}));
    for (const MessageShown& message : shown.dialogs.messages) {
        QCOMPARE(message.boxType, int(BoxExclamation));
        QVERIFY(!message.detail.isEmpty());
    }
    QCOMPARE(ReadAll(records100_), Records(100));
    QVERIFY(ReadAll(target_).size() > 680);
}

// An existing file is written from its start and cut to the new length.
void ConversionQtTest::existingLongerTargetIsCut()
{
    Shown shown(UiLanguage::English);
    shown.Open(records100_);
    shown.MarkAll(kColumns);
    const std::string layout = FormatLayout(shown.window.Rows());
    MakeFile(dir_, QStringLiteral("target.xls"), QByteArray(200000, 'x'));
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(ReadAll(target_), CommandLineOutput(dir_, records100_, layout));
}

void ConversionQtTest::tooManyRecordsAreClamped()
{
    Shown shown(UiLanguage::German);
    shown.Open(twoByteRecords_);
    shown.MarkAll({{0, LB, NoType}, {1, LE, NoType}});
    const std::string layout = FormatLayout(shown.window.Rows());
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    // The message comes after the target has been chosen.
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgTooManyLines});
    QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(1));
    QCOMPARE(shown.window.ProgressBar()->maximum(), 65535);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(ReadAll(target_), CommandLineOutput(dir_, twoByteRecords_, layout));
}

void ConversionQtTest::cancelDuringConversion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("states");
    QTest::newRow("Yes keeps the source") << int(AnswerYes) << "-xxxxx";
    QTest::newRow("No clears the list") << int(AnswerNo) << "x---xx";
}

void ConversionQtTest::cancelDuringConversion()
{
    QFETCH(int, answer);
    QFETCH(QString, states);
    Shown shown(UiLanguage::English);
    shown.Open(records3000_);
    shown.MarkAll({{16, LB, Text}, {24, CB, BinInteger}, {25, CE, NoType}, {39, LE, NoType}});
    shown.window.Task().HoldWorkerForTest(true);
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);

    QTRY_VERIFY(shown.window.ProgressBar()->value() > 0);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("---xxx"));
    QVERIFY(QFile::exists(target_));
    // The typed record begin has become a column of its own.
    QCOMPARE(shown.window.Rows().GetMarker(16), MarkerKind::ColumnBegin);
    QCOMPARE(shown.window.Rows().GetMarker(23), MarkerKind::ColumnEnd);
    // Clicks on rows are ignored while converting.
    ClickRow(shown.window, 30, Qt::LeftButton, 1);
    ClickRow(shown.window, 31, Qt::RightButton, 1);
    QCOMPARE(shown.window.Rows().GetMarker(30), MarkerKind::Unmarked);
    QCOMPARE(shown.window.Rows().GetFieldTypeId(31), FieldType::None);

    shown.dialogs.yesNoAnswers.push_back(answer);
    Press(shown.window, MainWindow::CancelButton);
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgKeepSource});
    QVERIFY(!QFile::exists(target_));
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    QCOMPARE(ButtonStates(shown.window), states);
    if (answer == AnswerYes) {
        QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
        QCOMPARE(shown.window.Rows().GetMarker(16), MarkerKind::ColumnBegin);
        QCOMPARE(shown.window.Rows().GetMarker(23), MarkerKind::ColumnEnd);
        // The record begin became a column: the marks must be set again.
        Press(shown.window, MainWindow::ConvertButton);
        QCOMPARE(shown.dialogs.MessageIds(), (std::vector<int>{MsgKeepSource, MsgMissingLineBegin}));
        QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(1));
    } else {
        QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);
    }
    QTest::qWait(100);
    QCOMPARE(ButtonStates(shown.window), states);
    QVERIFY(!QFile::exists(target_));
}

void ConversionQtTest::quitDuringConversion()
{
    Shown shown(UiLanguage::German);
    shown.Open(records3000_);
    shown.MarkAll(kColumns);
    shown.window.Task().HoldWorkerForTest(true);
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QTRY_VERIFY(shown.window.ProgressBar()->value() > 0);
    QVERIFY(QFile::exists(target_));

    Press(shown.window, MainWindow::QuitButton);
    QVERIFY(!shown.window.isVisible());
    QVERIFY(!QFile::exists(target_));
    QVERIFY(shown.dialogs.messages.empty());
    QTest::qWait(100);
    QVERIFY(!QFile::exists(target_));
}

// The worker has ended and its notice waits in the queue when Cancel stops
// the conversion: the notice must neither finish nor clear anything.
void ConversionQtTest::lateFinishNoticeIsIgnored()
{
    Shown shown(UiLanguage::English);
    shown.Open(records100_);
    shown.MarkAll(kColumns);
    const std::string layout = FormatLayout(shown.window.Rows());
    const qsizetype finalSize = CommandLineOutput(dir_, records100_, layout).size();
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);

    // No events are served here, so the notice stays queued.
    for (int i = 0; i < 2000 && QFileInfo(target_).size() < finalSize; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QCOMPARE(shown.window.CurrentState(), MainWindow::State::Converting);

    shown.dialogs.yesNoAnswers.push_back(AnswerNo);
    shown.window.CancelCommand();
    QVERIFY(!QFile::exists(target_));
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));

    QTest::qWait(100);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgKeepSource});
    QVERIFY(!QFile::exists(target_));

    // The next conversion runs as the first would have.
    shown.Open(records100_);
    shown.MarkAll(kColumns);
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(ReadAll(target_).size(), finalSize);
}

void ConversionQtTest::cancelOrQuitDuringClampMessage_data()
{
    QTest::addColumn<bool>("quit");
    QTest::newRow("Cancel, then No") << false;
    QTest::newRow("Quit") << true;
}

// Should Cancel or Quit get in while a clamp message is shown, no
// conversion may start without its target and source.
void ConversionQtTest::cancelOrQuitDuringClampMessage()
{
    QFETCH(bool, quit);
    Shown shown(UiLanguage::English);
    shown.Open(twoByteRecords_);
    shown.MarkAll({{0, LB, NoType}, {1, LE, NoType}});
    shown.dialogs.saveAnswers.push_back(target_);
    shown.dialogs.yesNoAnswers.push_back(AnswerNo);
    shown.dialogs.duringMessage = [&](int messageId) {
        if (messageId != MsgTooManyLines)
            return;
        QVERIFY(QFile::exists(target_));
        if (quit)
            shown.window.QuitCommand();
        else
            shown.window.CancelCommand();
    };
    Press(shown.window, MainWindow::ConvertButton);
    shown.dialogs.duringMessage = nullptr;

    QVERIFY(!shown.window.Task().Started());
    QVERIFY(!shown.window.Task().Active());
    QVERIFY(!QFile::exists(target_));
    if (quit) {
        QVERIFY(!shown.window.isVisible());
        QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgTooManyLines});
    } else {
        QCOMPARE(shown.dialogs.MessageIds(), (std::vector<int>{MsgTooManyLines, MsgKeepSource}));
        QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    }
    QTest::qWait(100);
    QVERIFY(!QFile::exists(target_));
}

// A target that cannot take the whole worksheet (here: a file size limit)
// is deleted, message 44 tells so, and the source stays shown.
void ConversionQtTest::writeFailureShowsMessage44()
{
    Shown shown(UiLanguage::German);
    shown.Open(twoByteRecords_);
    shown.MarkAll({{0, LB, NoType}, {1, LE, NoType}});

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &old); });

    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::SourceShown));
    QCOMPARE(shown.dialogs.MessageIds(), (std::vector<int>{MsgTooManyLines, MsgWriteError}));
    QCOMPARE(shown.dialogs.messages.back().boxType, int(BoxStop));
    QCOMPARE(shown.dialogs.messages.back().detail, target_);
    QVERIFY(!QFile::exists(target_));
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
}

QTEST_MAIN(ConversionQtTest)
#include "ConversionQtTest.moc"
