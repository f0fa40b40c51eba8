// Typing in the byte list: the digits of a byte number take the list to
// that row, as a report list searches its first column; other keys find
// nothing, and no mark changes.
#include <QApplication>
#include <QtTest>

#include "qtcommon/ResourceNames.h"
#include "app/WindowTestSupport.h"

using namespace zorbik;
using namespace zorbik::testing;

class ByteListKeysQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void digitsGoToTheirRow();

private:
    QTemporaryDir dir_;
};

void ByteListKeysQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    // Keys further apart than this start a new number; short, so the test
    // need not wait long.
    QApplication::setKeyboardInputInterval(100);
}

void ByteListKeysQtTest::digitsGoToTheirRow()
{
    ShownWindow shown(UiLanguage::English);
    shown.Open(MakeFile(dir_, QStringLiteral("bytes.dat"), CountingBytes(3000)));
    Press(shown.window, MainWindow::MoreBytesButton);
    Press(shown.window, MainWindow::MoreBytesButton);
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 3000);
    ByteListView* view = shown.window.ByteList();
    view->setFocus();
    auto currentRow = [&] { return view->currentIndex().row(); };
    auto inSight = [&](int row) {
        return view->viewport()->rect().contains(view->visualRect(view->model()->index(row, 0)));
    };

    QTest::keyClicks(view, QStringLiteral("1500"));
    QCOMPARE(currentRow(), 1500);
    QVERIFY(inSight(1500));
    // A row that is not shown yet is not found; nor are letters.
    QTest::keyClicks(view, QStringLiteral("9"));
    QCOMPARE(currentRow(), 1500);
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(view, QStringLiteral("x"));
    QCOMPARE(currentRow(), 1500);

    // A new number starts below the current row: the next "2" is 2000,
    // then 2001.
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(view, QStringLiteral("2"));
    QCOMPARE(currentRow(), 2000);
    QVERIFY(inSight(2000));
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(view, QStringLiteral("2"));
    QCOMPARE(currentRow(), 2001);
    // Past the last "2…" row the search wraps round to row 2.
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(currentRow(), 2999);
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(view, QStringLiteral("2"));
    QCOMPARE(currentRow(), 2);
    QVERIFY(inSight(2));

    QVERIFY(shown.window.Rows().Markers().empty());
    QVERIFY(shown.window.Rows().FieldTypes().empty());
}

QTEST_MAIN(ByteListKeysQtTest)
#include "ByteListKeysQtTest.moc"
