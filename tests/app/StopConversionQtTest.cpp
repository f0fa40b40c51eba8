// Conversions stopped from the window: Cancel and Quit in the middle of a
// run, a finish notice that comes after the stop, and Cancel or Quit while
// a clamp message is shown.
#include <chrono>
#include <thread>

#include <QFileInfo>
#include <QProgressBar>
#include <QtTest>

#include "app/ConversionTestSupport.h"
#include "app/ResourceNames.h"
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
    QTemporaryDir dir_;
    QString target_;
    QString records100_;
    QString records3000_;
    QString twoByteRecords_;
};

void StopConversionQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    records100_ = MakeFile(dir_, QStringLiteral("records100.dat"), Records(100));
    records3000_ = MakeFile(dir_, QStringLiteral("records3000.dat"), Records(3000));
    // 65535 records of two bytes: one more than a worksheet takes.
    twoByteRecords_ = MakeFile(dir_, QStringLiteral("two.dat"), CountingBytes(2 * 65535));
}

void StopConversionQtTest::init()
{
    target_ = dir_.filePath(QStringLiteral("target.xls"));
    QFile::remove(target_);
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
    shown.Open(records3000_);
    MarkAll(shown.window, {{16, LB, Text}, {24, CB, BinInteger}, {25, CE, NoType}, {39, LE, NoType}});
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

void StopConversionQtTest::quitDuringConversion()
{
    ShownWindow shown(UiLanguage::German);
    shown.Open(records3000_);
    MarkAll(shown.window, kColumns);
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

void StopConversionQtTest::lateFinishNoticeIsIgnored()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(records100_);
    MarkAll(shown.window, kColumns);
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
    MarkAll(shown.window, kColumns);
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(ReadAll(target_).size(), finalSize);
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
    shown.Open(twoByteRecords_);
    MarkAll(shown.window, {{0, LB, NoType}, {1, LE, NoType}});
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

QTEST_MAIN(StopConversionQtTest)
#include "StopConversionQtTest.moc"
