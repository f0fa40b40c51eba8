// The window's "Find record": it sets the marks of the record the finder
// proposes and pages the list to it, asks before it replaces marks, warns
// before it sets the marks of an uncertain guess, and says when it finds
// nothing. A dBASE table gets the layout and code page its header gives.
#include <QComboBox>
#include <QtTest>

#include "support/DbaseTable.h"
#include "support/WindowTesting.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// `header` bytes, then `count` records of a 12-byte name and a 4-byte
// counter; bytes and names from a fixed pseudo-random sequence.
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

// A dBASE III table of two records, too few for a guess, in the code page
// language driver `driver` names.
QByteArray Dbase(std::uint8_t driver)
{
    const std::vector<std::uint8_t> table = testing::Table(0x03, driver, {{"NAME", 'C', 12}, {"AGE", 'N', 4}});
    return QByteArray(reinterpret_cast<const char*>(table.data()), static_cast<qsizetype>(table.size()));
}

struct FindCase {
    const char* name;
    QByteArray source;
    const char* marks;         // set by clicks before
    BoxAnswer answer;          // to the question whether to replace them
    std::vector<MessageId> messages; // shown, in order
    int lineBegin;             // afterwards (-1: none)
    int codePage = 1252;       // chosen afterwards
};

const FindCase kCases[] = {
    {"found and shown", Table(2000, 300), "", BoxAnswer::Yes, {}, 2000},
    {"marks replaced", Table(64, 300), "3 LineBegin\n", BoxAnswer::Yes, {MessageId::ReplaceMarks}, 64},
    {"marks kept", Table(64, 300), "3 LineBegin\n", BoxAnswer::No, {MessageId::ReplaceMarks}, 3},
    {"uncertain", Table(16, 5), "", BoxAnswer::Yes, {MessageId::RecordUncertain}, 16},
    {"nothing repeats", QByteArray(3000, 'x'), "", BoxAnswer::Yes, {MessageId::NoRecordFound}, -1},
    {"dBASE table", Dbase(0x02), "", BoxAnswer::Yes, {}, 97, 850},
    {"dBASE table with notes", Dbase(0), "", BoxAnswer::Yes, {MessageId::TableFoundNotes}, 97},
};

} // namespace

class FindRecordQtTest : public QObject {
    Q_OBJECT
private slots:
    void findRecord_data() { AddRows(kCases); }
    void findRecord();

private:
    QTemporaryDir dir_;
};

void FindRecordQtTest::findRecord()
{
    QFETCH(int, index);
    const FindCase& c = kCases[index];
    ShownWindow shown(MakeFile(dir_.filePath(QStringLiteral("source.dat")), c.source));
    MarkByClicks(shown.window, c.marks);
    shown.dialogs.answer = c.answer;
    Press(shown.window, MainWindow::FindRecordButton);
    QVERIFY(QTest::qWaitFor([&] { return ButtonOf(shown.window, MainWindow::FindRecordButton)->isEnabled(); }, 20000));
    QVERIFY(shown.dialogs.messages == c.messages);
    std::int32_t begin = kNoRow;
    const Marks marks = MarksOf(shown.window);
    for (const auto& [row, kind] : marks.Markers())
        if (kind == MarkerKind::LineBegin)
            begin = row;
    QCOMPARE(begin, c.lineBegin);
    QCOMPARE(shown.window.findChild<QComboBox*>()->currentData().toInt(), c.codePage);
    QCOMPARE(shown.window.focusWidget(), ByteList(shown.window));
    if (*c.marks == '\0' && begin != kNoRow) { // paged and scrolled to the record
        const ByteListView& view = *ByteList(shown.window);
        QVERIFY(view.viewport()->rect().contains(view.visualRect(view.model()->index(begin, 0))));
    }
}

QTEST_MAIN(FindRecordQtTest)
#include "FindRecordQtTest.moc"
