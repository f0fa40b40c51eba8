// The window's "Find record": it sets the marks of the record the finder
// proposes and pages the list to it, asks before it replaces marks, warns
// before it sets the marks of an uncertain guess, and says when it finds
// nothing. Dialogs are answered by script.
#include <QtTest>

#include "app/WindowTestSupport.h"
#include "qtcommon/ResourceNames.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// `header` bytes, then `count` records of a 12-byte name and a 4-byte
// counter; bytes and names drawn from a fixed pseudo-random sequence.
QByteArray Table(int header, int count)
{
    const char* names[] = {"Anna", "Koch", "Wagner", "Mueller", "Jo"};
    quint32 random = 7;
    const auto next = [&random] { return (random = random * 1103515245u + 12345u) >> 16; };
    QByteArray bytes;
    for (int i = 0; i < header; ++i)
        bytes += static_cast<char>(next());
    for (int k = 0; k < count; ++k) {
        bytes += QByteArray(names[next() % 5]).leftJustified(12, ' ');
        const quint32 id = 1000 + 7 * static_cast<quint32>(k);
        bytes += QByteArray(reinterpret_cast<const char*>(&id), 4);
    }
    return bytes;
}

} // namespace

class FindRecordQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }
    void findRecord_data();
    void findRecord();

private:
    QTemporaryDir dir_;
};

void FindRecordQtTest::findRecord_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("marked");         // the user has set a mark before
    QTest::addColumn<QList<int>>("answers");  // to the questions asked
    QTest::addColumn<QList<int>>("messages"); // shown, in order
    QTest::addColumn<int>("lineBegin");       // afterwards (-1: none)

    QTest::newRow("found") << Table(2000, 300) << false << QList<int>{} << QList<int>{} << 2000;
    QTest::newRow("marks replaced") << Table(64, 300) << true << QList<int>{AnswerYes} << QList<int>{MsgReplaceMarks} << 64;
    QTest::newRow("marks kept") << Table(64, 300) << true << QList<int>{AnswerNo} << QList<int>{MsgReplaceMarks} << 3;
    QTest::newRow("uncertain") << Table(16, 5) << false << QList<int>{} << QList<int>{MsgRecordUncertain} << 16;
    QTest::newRow("nothing") << QByteArray(3000, 'x') << false << QList<int>{} << QList<int>{MsgNoRecordFound} << -1;
}

void FindRecordQtTest::findRecord()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, marked);
    QFETCH(QList<int>, answers);
    QFETCH(QList<int>, messages);
    QFETCH(int, lineBegin);
    ShownWindow shown(UiLanguage::English);
    shown.Open(MakeFile(dir_, QStringLiteral("source.dat"), source));
    if (marked)
        Mark(shown.window, 3, MarkerKind::LineBegin);
    shown.dialogs.yesNoAnswers.assign(answers.begin(), answers.end());
    Press(shown.window, MainWindow::FindRecordButton);
    QVERIFY(QTest::qWaitFor([&] { return shown.window.ButtonAt(MainWindow::FindRecordButton)->isEnabled(); }, 20000));
    const std::vector<int> shownIds = shown.dialogs.MessageIds();
    QCOMPARE(QList<int>(shownIds.begin(), shownIds.end()), messages);
    std::int32_t begin = kNoRow;
    for (const auto& [row, kind] : shown.window.Rows().Markers())
        if (kind == MarkerKind::LineBegin)
            begin = row;
    QCOMPARE(begin, lineBegin);
    if (lineBegin > 0 && !marked) { // paged and scrolled to the record
        const ByteListView& view = *shown.window.ByteList();
        QVERIFY(view.viewport()->rect().contains(view.visualRect(view.model()->index(lineBegin, 0))));
    }
}

QTEST_MAIN(FindRecordQtTest)
#include "FindRecordQtTest.moc"
