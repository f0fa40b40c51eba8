// The main window without conversions: its controls, the button states of
// opening, paging and cancelling, the clicks on rows, layout faults, the
// help button, and that only Quit closes it. Dialogs are answered by script.
#include <QProgressBar>
#include <QScrollBar>
#include <QtTest>

#include "qtcommon/ResourceNames.h"
#include "app/WindowTestSupport.h"
#include "help/HelpWindow.h"

using namespace zorbik;
using namespace zorbik::testing;

Q_DECLARE_METATYPE(zorbik::UiLanguage)

namespace {

bool RowFullyVisible(const ByteListView& view, int row)
{
    const QRect rect = view.visualRect(view.model()->index(row, 0));
    return rect.isValid() && view.viewport()->rect().contains(rect);
}

} // namespace

class MainWindowQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void controls_data();
    void controls();
    void geometry();
    void openCancelledChangesNothing();
    void openRefusesWithMessage34_data();
    void openRefusesWithMessage34();
    void openShowsTheFirstPage_data();
    void openShowsTheFirstPage();
    void longPathOpens();
    void moreBytesAddsPages();
    void cancelAsksWhetherToKeep_data();
    void cancelAsksWhetherToKeep();
    void openStartsAtTheLastPath();
    void clicksCycle();
    void clickBelowTheRowsChangesNothing();
    void quickDoubleClickStepsTwice();
    void layoutFaultShowsItsRow_data();
    void layoutFaultShowsItsRow();
    void onlyQuitCloses();
    void helpButton();
    void quitClosesHelpToo();

private:
    QTemporaryDir dir_;
    QString file3000_;
};

void MainWindowQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    file3000_ = MakeFile(dir_, QStringLiteral("bytes3000.dat"), CountingBytes(3000));
}

void MainWindowQtTest::controls_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("German") << UiLanguage::German
                            << QStringList{"Öffnen", "Mehr Bytes", "Konvertieren", "Abbruch", "Ende", "Hilfe"};
    QTest::newRow("English") << UiLanguage::English
                             << QStringList{"Open", "More bytes", "Convert", "Cancel", "Quit", "Help"};
}

void MainWindowQtTest::controls()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, buttons);
    ShownWindow shown(language);
    QCOMPARE(shown.window.windowTitle(), QStringLiteral("ZORBIK"));
    for (int i = 0; i < MainWindow::ButtonCount; ++i)
        QCOMPARE(shown.window.ButtonAt(static_cast<MainWindow::Button>(i))->text(), buttons[i]);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    // No close box: the title bar has no button besides the caption.
    QVERIFY(!(shown.window.windowFlags() & Qt::WindowCloseButtonHint));
}

// The template's dialog units at 1.5 pixels across and 1.625 down.
void MainWindowQtTest::geometry()
{
    ShownWindow shown(UiLanguage::English);
    QCOMPARE(shown.window.size(), QSize(615, 423));
    QCOMPARE(shown.window.ByteList()->geometry(), QRect(11, 10, 384, 341));
    QCOMPARE(shown.window.ProgressBar()->geometry(), QRect(11, 358, 595, 22));
    const int lefts[] = {11, 104, 212, 305, 413, 506};
    for (int i = 0; i < MainWindow::ButtonCount; ++i)
        QCOMPARE(shown.window.ButtonAt(static_cast<MainWindow::Button>(i))->geometry(), QRect(lefts[i], 390, 78, 29));

    // Picture 107 stands unscaled at (406, 10).
    const QImage window = shown.window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = QImage(QStringLiteral(":/picture107.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(picture.size(), QSize(199, 341));
    for (const QPoint inside : {QPoint(0, 0), QPoint(50, 30), QPoint(100, 170), QPoint(198, 340)})
        QCOMPARE(window.pixel(QPoint(406, 10) + inside), picture.pixel(inside));

    // A taller window gives the room to the list; the buttons keep their
    // distance from the bottom.
    shown.window.resize(615, 523);
    QCOMPARE(shown.window.ByteList()->geometry(), QRect(11, 10, 384, 441));
    QCOMPARE(shown.window.ButtonAt(MainWindow::QuitButton)->geometry(), QRect(413, 490, 78, 29));
}

void MainWindowQtTest::openCancelledChangesNothing()
{
    ShownWindow shown(UiLanguage::German);
    Press(shown.window, MainWindow::OpenButton);
    QCOMPARE(shown.dialogs.openQuestions.size(), std::size_t(1));
    QVERIFY(shown.dialogs.messages.empty());
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
}

void MainWindowQtTest::openRefusesWithMessage34_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty file") << MakeFile(dir_, QStringLiteral("empty.dat"), {});
    QTest::newRow("missing file") << dir_.filePath(QStringLiteral("no-such-file"));
    QTest::newRow("folder") << dir_.path();
}

void MainWindowQtTest::openRefusesWithMessage34()
{
    QFETCH(QString, path);
    ShownWindow shown(UiLanguage::English);
    shown.Open(path);
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgImportFileError});
    QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxExclamation));
    QVERIFY(!shown.dialogs.messages[0].detail.isEmpty());
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);
}

void MainWindowQtTest::openShowsTheFirstPage_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::newRow("German") << UiLanguage::German << "Daten Importieren" << "alle Dateien (*.*)";
    QTest::newRow("English") << UiLanguage::English << "Import data" << "all files (*.*)";
}

void MainWindowQtTest::openShowsTheFirstPage()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    ShownWindow shown(language);
    shown.Open(file3000_);
    QCOMPARE(shown.dialogs.openQuestions.size(), std::size_t(1));
    const FileQuestion& asked = shown.dialogs.openQuestions[0];
    QCOMPARE(asked.title, title);
    QCOMPARE(asked.filter.name, filter);
    // Files without a dot in their name are listed too.
    QCOMPARE(asked.filter.patterns, QStringLiteral("*"));
    QVERIFY(asked.start.isEmpty());
    QVERIFY(shown.dialogs.messages.empty());
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
}

// Paths are not limited to 99 characters.
void MainWindowQtTest::longPathOpens()
{
    QString folder = dir_.path();
    for (int i = 0; i < 6; ++i)
        folder += QStringLiteral("/a-rather-long-folder-name-%1").arg(i);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/data.dat");
    QVERIFY(path.size() > 200);
    QFile::copy(file3000_, path);
    ShownWindow shown(UiLanguage::English);
    shown.Open(path);
    QVERIFY(shown.dialogs.messages.empty());
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
}

void MainWindowQtTest::moreBytesAddsPages()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(file3000_);
    const int expected[] = {2048, 3000, 3000};
    for (const int rows : expected) {
        Press(shown.window, MainWindow::MoreBytesButton);
        QCOMPARE(shown.window.ByteListRows()->rowCount(), rows);
        // More bytes stays on after the last page; pressing it is harmless.
        QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    }
}

void MainWindowQtTest::cancelAsksWhetherToKeep_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("states");
    QTest::addColumn<int>("rows");
    QTest::newRow("Yes keeps the source") << int(AnswerYes) << "-xxxxx" << 1024;
    QTest::newRow("No clears the list") << int(AnswerNo) << "x---xx" << 0;
}

void MainWindowQtTest::cancelAsksWhetherToKeep()
{
    QFETCH(int, answer);
    QFETCH(QString, states);
    QFETCH(int, rows);
    ShownWindow shown(UiLanguage::German);
    shown.Open(file3000_);
    Mark(shown.window, 4, MarkerKind::ColumnBegin, FieldType::BinReal);
    shown.dialogs.yesNoAnswers.push_back(answer);
    Press(shown.window, MainWindow::CancelButton);
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgKeepSource});
    QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxQuestionYesNo));
    QCOMPARE(ButtonStates(shown.window), states);
    QCOMPARE(shown.window.ByteListRows()->rowCount(), rows);
    if (rows > 0) {
        QCOMPARE(shown.window.Rows().GetMarker(4), MarkerKind::ColumnBegin);
        QCOMPARE(shown.window.Rows().GetFieldTypeId(4), FieldType::BinReal);
    } else {
        QVERIFY(shown.window.Rows().Markers().empty());
        // After the clear path a new source opens again from byte 0.
        shown.Open(file3000_);
        QCOMPARE(shown.window.ByteListRows()->data(shown.window.ByteListRows()->index(0, 0)).toString(),
                 QStringLiteral("0"));
        QCOMPARE(shown.window.Rows().GetMarker(4), MarkerKind::Unmarked);
    }
}

void MainWindowQtTest::openStartsAtTheLastPath()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(file3000_);
    shown.dialogs.yesNoAnswers.push_back(AnswerNo);
    Press(shown.window, MainWindow::CancelButton);
    Press(shown.window, MainWindow::OpenButton);
    QCOMPARE(shown.dialogs.openQuestions.size(), std::size_t(2));
    QCOMPARE(shown.dialogs.openQuestions[1].start, file3000_);
}

void MainWindowQtTest::clicksCycle()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(file3000_);
    const RowStore& rows = shown.window.Rows();
    const MarkerKind kinds[] = {MarkerKind::LineBegin, MarkerKind::ColumnBegin, MarkerKind::ByteMark,
                                MarkerKind::ColumnEnd, MarkerKind::LineEnd,     MarkerKind::Unmarked,
                                MarkerKind::LineBegin};
    for (const MarkerKind kind : kinds) {
        ClickRow(shown.window, 600, Qt::LeftButton, 1);
        QCOMPARE(rows.GetMarker(600), kind);
        QCOMPARE(rows.GetFieldTypeId(600), FieldType::None);
    }
    const FieldType types[] = {FieldType::BinInteger, FieldType::BinReal, FieldType::DecimalNumber,
                               FieldType::Bcd,        FieldType::Text,    FieldType::BinInteger};
    const QString texts[] = {"BinInteger", "BinRealnumber", "Decimalnumber", "BCD-number", "Text", "BinInteger"};
    for (int i = 0; i < 6; ++i) {
        ClickRow(shown.window, 601, Qt::RightButton, 1);
        QCOMPARE(rows.GetFieldTypeId(601), types[i]);
        QCOMPARE(shown.window.ByteListRows()->data(shown.window.ByteListRows()->index(601, 2)).toString(), texts[i]);
        QCOMPARE(rows.GetMarker(601), MarkerKind::Unmarked);
    }
    QCOMPARE(rows.GetMarker(600), MarkerKind::LineBegin);
}

// A click below the last row hits no row and changes nothing.
void MainWindowQtTest::clickBelowTheRowsChangesNothing()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(MakeFile(dir_, QStringLiteral("five.dat"), CountingBytes(5)));
    ByteListView* view = shown.window.ByteList();
    const QRect last = view->visualRect(view->model()->index(4, 1));
    QVERIFY(last.bottom() + 40 < view->viewport()->height());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, last.center() + QPoint(0, 30));
    QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, last.center() + QPoint(0, 30));
    QVERIFY(shown.window.Rows().Markers().empty());
    QVERIFY(shown.window.Rows().FieldTypes().empty());
}

void MainWindowQtTest::quickDoubleClickStepsTwice()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(file3000_);
    ByteListView* view = shown.window.ByteList();
    const QPoint at = view->visualRect(view->model()->index(2, 1)).center();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(shown.window.Rows().GetMarker(2), MarkerKind::ColumnBegin);
}

void MainWindowQtTest::layoutFaultShowsItsRow_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<int>>("kinds");
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("faultRow");

    const int begin = int(MarkerKind::LineBegin);
    const int colBegin = int(MarkerKind::ColumnBegin);
    const int colEnd = int(MarkerKind::ColumnEnd);
    const int end = int(MarkerKind::LineEnd);
    QTest::newRow("no marks") << QList<int>{} << QList<int>{} << int(MsgMissingLineBegin) << -1;
    QTest::newRow("record end before its begin") << QList<int>{700, 900} << QList<int>{end, begin}
                                                 << int(MsgMissingLineBegin) << 700;
    QTest::newRow("no record end") << QList<int>{900} << QList<int>{begin} << int(MsgMissingLineEnd) << 900;
    QTest::newRow("column end without begin") << QList<int>{10, 700, 950} << QList<int>{begin, colEnd, end}
                                              << int(MsgMissingColumnBegin) << 700;
    QTest::newRow("column begin without end") << QList<int>{10, 800, 950} << QList<int>{begin, colBegin, end}
                                              << int(MsgMissingColumnEnd) << 800;
}

void MainWindowQtTest::layoutFaultShowsItsRow()
{
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, kinds);
    QFETCH(int, message);
    QFETCH(int, faultRow);
    ShownWindow shown(UiLanguage::German);
    shown.Open(file3000_);
    for (int i = 0; i < rows.size(); ++i)
        Mark(shown.window, rows[i], static_cast<MarkerKind>(kinds[i]));
    shown.window.ByteList()->scrollToTop();
    Press(shown.window, MainWindow::ConvertButton);

    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{message});
    QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxExclamation));
    if (faultRow >= 0)
        QVERIFY(RowFullyVisible(*shown.window.ByteList(), faultRow));
    QVERIFY(shown.dialogs.saveQuestions.empty());
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QCOMPARE(shown.window.Rows().Markers().size(), std::size_t(rows.size()));
}

void MainWindowQtTest::onlyQuitCloses()
{
    ShownWindow shown(UiLanguage::English);
    QTest::keyClick(&shown.window, Qt::Key_Escape);
    QVERIFY(shown.window.isVisible());
    QVERIFY(!shown.window.close());
    QVERIFY(shown.window.isVisible());
    Press(shown.window, MainWindow::QuitButton);
    QVERIFY(!shown.window.isVisible());
    QVERIFY(shown.dialogs.messages.empty());
}

void MainWindowQtTest::helpButton()
{
    ShownWindow shown(UiLanguage::German);
    Press(shown.window, MainWindow::HelpButton);
    QPointer<HelpWindow> help = shown.window.Help();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("HILFE"));
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---x-"));
    // Opening a source leaves Help off while help is open.
    shown.Open(file3000_);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxx-"));

    help->Request(ScrollRequest::LineDown);
    QTest::keyClick(help, Qt::Key_Escape);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QTRY_VERIFY(help.isNull());

    // A second opening starts again at the top.
    Press(shown.window, MainWindow::HelpButton);
    QVERIFY(shown.window.Help());
    QCOMPARE(shown.window.Help()->Scroll().Position(), 0);
    QCOMPARE(shown.window.Help()->ScrollBar()->value(), 0);
    shown.window.Help()->close();
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
}

void MainWindowQtTest::quitClosesHelpToo()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(file3000_);
    Press(shown.window, MainWindow::HelpButton);
    QPointer<HelpWindow> help = shown.window.Help();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("HELP"));
    Press(shown.window, MainWindow::QuitButton);
    QVERIFY(!shown.window.isVisible());
    QTRY_VERIFY(help.isNull());
    QVERIFY(shown.dialogs.messages.empty());
}

QTEST_MAIN(MainWindowQtTest)
#include "MainWindowQtTest.moc"
