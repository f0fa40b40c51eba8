// Conversions stopped from the window: Cancel and Quit in the middle of a
// run, a finish notice that comes after the stop, and Cancel or Quit while
// a clamp message is shown.
#include <chrono>
#include <thread>

#include <QFileInfo>
#include <QProgressBar>
#include <QtTest>

#include "app/ConversionTestSupport.h"
#include "qtcommon/ResourceNames.h"
#include "layout/LayoutFile.h"

using namespace zorbik;
using namespace zorbik::testing;

class StopConversionQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cancelDuringConversion_data();
    void cancelDuringConversion();
    void quitDuringConversion();
    void lateFinishNoticeIsIgnored();
    void cancelOrQuitDuringClampMessage_data();
    void cancelOrQuitDuringClampMessage();

private:
    ConversionFiles files_;
};

void StopConversionQtTest::initTestCase()
{
    InitResources();
    QVERIFY(files_.Make());
}

void StopConversionQtTest::init()
{
    files_.ClearTarget();
}

void StopConversionQtTest::cancelDuringConversion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("states");
    QTest::newRow("Yes keeps the source") << int(AnswerYes) << "-xxxxx";
    QTest::newRow("No clears the list") << int(AnswerNo) << "x---xx";
}

void StopConversionQtTest::cancelDuringConversion()
{
    QFETCH(int, answer);
    QFETCH(QString, states);
    ShownWindow shown(UiLanguage::English);
    shown.Open(files_.records3000);
    MarkAll(shown.window, {{16, LB, Text}, {24, CB, BinInteger}, {25, CE, NoType}, {39, LE, NoType}});
    QVERIFY(StartHeldConversion(shown, files_.target));
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("---xxx"));
    QVERIFY(QFile::exists(files_.target));
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
    QVERIFY(!QFile::exists(files_.target));
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
    QVERIFY(!QFile::exists(files_.target));
}

void StopConversionQtTest::quitDuringConversion()
{
    ShownWindow shown(UiLanguage::German);
    shown.Open(files_.records3000);
    MarkAll(shown.window, kColumns);
    QVERIFY(StartHeldConversion(shown, files_.target));
    QVERIFY(QFile::exists(files_.target));

    Press(shown.window, MainWindow::QuitButton);
    QVERIFY(!shown.window.isVisible());
    QVERIFY(!QFile::exists(files_.target));
    QVERIFY(shown.dialogs.messages.empty());
    QTest::qWait(100);
    QVERIFY(!QFile::exists(files_.target));
}

void StopConversionQtTest::lateFinishNoticeIsIgnored()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(files_.records100);
    MarkAll(shown.window, kColumns);
    const std::string layout = FormatLayout(shown.window.Rows());
    const qsizetype finalSize = CommandLineOutput(files_.dir, files_.records100, layout).size();
    shown.dialogs.saveAnswers.push_back(files_.target);
    Press(shown.window, MainWindow::ConvertButton);

    // No events are served here, so the notice stays queued.
    for (int i = 0; i < 2000 && QFileInfo(files_.target).size() < finalSize; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QCOMPARE(shown.window.CurrentState(), MainWindow::State::Converting);

    shown.dialogs.yesNoAnswers.push_back(AnswerNo);
    shown.window.CancelCommand();
    QVERIFY(!QFile::exists(files_.target));
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));

    QTest::qWait(100);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgKeepSource});
    QVERIFY(!QFile::exists(files_.target));

    // The next conversion runs as the first would have.
    shown.Open(files_.records100);
    MarkAll(shown.window, kColumns);
    shown.dialogs.saveAnswers.push_back(files_.target);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(ReadAll(files_.target).size(), finalSize);
}

void StopConversionQtTest::cancelOrQuitDuringClampMessage_data()
{
    QTest::addColumn<bool>("quit");
    QTest::newRow("Cancel, then No") << false;
    QTest::newRow("Quit") << true;
}

void StopConversionQtTest::cancelOrQuitDuringClampMessage()
{
    QFETCH(bool, quit);
    ShownWindow shown(UiLanguage::English);
    shown.Open(files_.twoByteRecords);
    MarkAll(shown.window, {{0, LB, NoType}, {1, LE, NoType}});
    shown.dialogs.saveAnswers.push_back(files_.target);
    shown.dialogs.yesNoAnswers.push_back(AnswerNo);
    shown.dialogs.duringMessage = [&](int messageId) {
        if (messageId != MsgTooManyLines)
            return;
        QVERIFY(QFile::exists(files_.target));
        if (quit)
            shown.window.QuitCommand();
        else
            shown.window.CancelCommand();
    };
    Press(shown.window, MainWindow::ConvertButton);
    shown.dialogs.duringMessage = nullptr;

    QVERIFY(!shown.window.Task().Started());
    QVERIFY(!shown.window.Task().Active());
    QVERIFY(!QFile::exists(files_.target));
    if (quit) {
        QVERIFY(!shown.window.isVisible());
        QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgTooManyLines});
    } else {
        QCOMPARE(shown.dialogs.MessageIds(), (std::vector<int>{MsgTooManyLines, MsgKeepSource}));
        QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    }
    QTest::qWait(100);
    QVERIFY(!QFile::exists(files_.target));
}

QTEST_MAIN(StopConversionQtTest)
#include "StopConversionQtTest.moc"
