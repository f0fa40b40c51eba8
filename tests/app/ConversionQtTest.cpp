// Conversions started from the window that run to their end: the file
// equals the command line's for the same marks, the target dialog and its
// errors, the clamp message, and a target that cannot be written to the end.
#include <QProgressBar>
#include <QtTest>

#include "app/ConversionTestSupport.h"
#include "qtcommon/ResourceNames.h"
#include "layout/LayoutFile.h"

using namespace zorbik;
using namespace zorbik::testing;

Q_DECLARE_METATYPE(zorbik::UiLanguage)

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
    void writeFailureShowsMessage44();

private:
    ConversionFiles files_;
};

void ConversionQtTest::initTestCase()
{
    InitResources();
    QVERIFY(files_.Make());
}

void ConversionQtTest::init()
{
    files_.ClearTarget();
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

    ShownWindow shown(language);
    shown.Open(files_.records100);
    MarkAll(shown.window, marks);
    const std::string layout = FormatLayout(shown.window.Rows());
    shown.dialogs.saveAnswers.push_back(files_.target);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));

    QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(1));
    const FileQuestion& asked = shown.dialogs.saveQuestions[0];
    QCOMPARE(asked.title, title);
    QCOMPARE(asked.filter.name, QStringLiteral("Excel -Sheet (*.xls)"));
    // Names that got the default suffix are listed too.
    QCOMPARE(asked.filter.patterns, QStringLiteral("*.xls *.XLS"));
    QCOMPARE(asked.defaultSuffix, QStringLiteral("XLS"));
    QCOMPARE(asked.start, files_.dir.path());

    const QByteArray expected = CommandLineOutput(files_.dir, files_.records100, layout);
    QVERIFY(expected.size() > 680);
    QCOMPARE(ReadAll(files_.target), expected);
}

void ConversionQtTest::finishTakesTheClearPath()
{
    ShownWindow shown(UiLanguage::German);
    shown.Open(files_.records3000);
    MarkAll(shown.window, kColumns);
    shown.dialogs.saveAnswers.push_back(files_.target);
    Press(shown.window, MainWindow::ConvertButton);
    QCOMPARE(shown.window.ProgressBar()->maximum(), 3000);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));

    QVERIFY(shown.dialogs.messages.empty());
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);
    QVERIFY(shown.window.Rows().Markers().empty());
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    QVERIFY(QFile::exists(files_.target));
    // The next open dialog starts with the target's path.
    Press(shown.window, MainWindow::OpenButton);
    QCOMPARE(shown.dialogs.openQuestions.back().start, files_.target);
}

// Cancelling the target dialog shows it again; a target that cannot be
// opened shows message 35 and then the dialog again.
void ConversionQtTest::targetDialogUntilATargetOpens()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(files_.records100);
    MarkAll(shown.window, kColumns);
    shown.dialogs.saveAnswers = {QString(), QString(), files_.records100,
                                 files_.dir.filePath(QStringLiteral("no-such-folder/target.xls")), files_.dir.path(), files_.target};
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(6));
    QCOMPARE(shown.dialogs.MessageIds(), (std::vector<int>{MsgFileExists, MsgFileExists, MsgFileExists}));
    for (const MessageShown& message : shown.dialogs.messages) {
        QCOMPARE(message.boxType, int(BoxExclamation));
        QVERIFY(!message.detail.isEmpty());
    }
    QCOMPARE(ReadAll(files_.records100), Records(100));
    QVERIFY(ReadAll(files_.target).size() > 680);
}

// An existing file is written from its start and cut to the new length.
void ConversionQtTest::existingLongerTargetIsCut()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(files_.records100);
    MarkAll(shown.window, kColumns);
    const std::string layout = FormatLayout(shown.window.Rows());
    MakeFile(files_.dir, QStringLiteral("target.xls"), QByteArray(200000, 'x'));
    shown.dialogs.saveAnswers.push_back(files_.target);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(ReadAll(files_.target), CommandLineOutput(files_.dir, files_.records100, layout));
}

void ConversionQtTest::tooManyRecordsAreClamped()
{
    ShownWindow shown(UiLanguage::German);
    shown.Open(files_.twoByteRecords);
    MarkAll(shown.window, {{0, LB, NoType}, {1, LE, NoType}});
    const std::string layout = FormatLayout(shown.window.Rows());
    shown.dialogs.saveAnswers.push_back(files_.target);
    Press(shown.window, MainWindow::ConvertButton);
    // The message comes after the target has been chosen.
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgTooManyLines});
    QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(1));
    QCOMPARE(shown.window.ProgressBar()->maximum(), 65535);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(ReadAll(files_.target), CommandLineOutput(files_.dir, files_.twoByteRecords, layout));
}

// A target that cannot take the whole worksheet (here: a file size limit)
// is deleted, message 44 tells so, and the source stays shown.
void ConversionQtTest::writeFailureShowsMessage44()
{
    ShownWindow shown(UiLanguage::German);
    shown.Open(files_.twoByteRecords);
    MarkAll(shown.window, {{0, LB, NoType}, {1, LE, NoType}});

    const FileSizeLimit limit(64 * 1024);
    QVERIFY(limit.Set());

    shown.dialogs.saveAnswers.push_back(files_.target);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::SourceShown));
    QCOMPARE(shown.dialogs.MessageIds(), (std::vector<int>{MsgTooManyLines, MsgWriteError}));
    QCOMPARE(shown.dialogs.messages.back().boxType, int(BoxStop));
    QCOMPARE(shown.dialogs.messages.back().detail, files_.target);
    QVERIFY(!QFile::exists(files_.target));
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
}

QTEST_MAIN(ConversionQtTest)
#include "ConversionQtTest.moc"
