// The byte list as the view sees it: pages of 1024 rows, the four columns
// with their titles, widths and alignment, the row texts in both languages
// and the marks shown on the rows.
#include <QSignalSpy>
#include <QtTest>

#include "app/ByteListModel.h"
#include "app/ByteListView.h"
#include "qtcommon/ResourceNames.h"
#include "source/SourceView.h"

using namespace zorbik;

Q_DECLARE_METATYPE(zorbik::UiLanguage)

namespace {

QString Text(const ByteListModel& model, int row, int column)
{
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

int Alignment(const QVariant& value)
{
    return value.toInt() & Qt::AlignHorizontal_Mask;
}

} // namespace

class ByteListQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void paging_data();
    void paging();
    void rowTexts_data();
    void rowTexts();
    void columns_data();
    void columns();
    void marksShowOnTheirRows();
    void marksStayWhilePaging();
    void clearingStartsAgainAtZero();
    void hugeSourceShowsPagesOnly();

private:
    MarkerIcons icons_;
};

void ByteListQtTest::initTestCase()
{
    InitResources();
    QVERIFY(icons_.Load(QString::fromLatin1(kMarkerStripResource)));
}

void ByteListQtTest::paging_data()
{
    QTest::addColumn<int>("size");
    // Rows after the first page and after each More bytes.
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<bool>>("morePages");
    QTest::addColumn<QString>("lastHex");

    // Byte i holds i & 0xFF.
    QTest::newRow("1 byte") << 1 << QList<int>{1, 1} << QList<bool>{false, false} << "00h";
    QTest::newRow("1023 bytes") << 1023 << QList<int>{1023, 1023} << QList<bool>{false, false} << "FEh";
    QTest::newRow("1024 bytes") << 1024 << QList<int>{1024, 1024, 1024} << QList<bool>{true, false, false}
                                << "FFh";
    QTest::newRow("1025 bytes") << 1025 << QList<int>{1024, 1025, 1025} << QList<bool>{true, false, false}
                                << "00h";
    QTest::newRow("2048 bytes") << 2048 << QList<int>{1024, 2048, 2048, 2048}
                                << QList<bool>{true, true, false, false} << "FFh";
    QTest::newRow("3000 bytes") << 3000 << QList<int>{1024, 2048, 3000, 3000}
                                << QList<bool>{true, true, false, false} << "B7h";
}

void ByteListQtTest::paging()
{
    QFETCH(int, size);
    QFETCH(QList<int>, rows);
    QFETCH(QList<bool>, morePages);
    QFETCH(QString, lastHex);

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i & 0xFF);
    const MemorySource source(bytes);
    RowStore store(UiLanguage::English);
    ByteListModel model(source, store, icons_);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    model.ShowFirstPage();
    for (int step = 0; step < rows.size(); ++step) {
        if (step > 0)
            model.ShowNextPage();
        QCOMPARE(model.rowCount(), rows[step]);
        QCOMPARE(store.RowCount(), rows[step]);
        QCOMPARE(model.HasNextPage(), morePages[step]);
    }
    // Every press that added rows told the view once; none told it of nothing.
    int pagesAdded = 0;
    for (int step = 0; step < rows.size(); ++step)
        pagesAdded += rows[step] > (step == 0 ? 0 : rows[step - 1]) ? 1 : 0;
    QCOMPARE(inserted.count(), pagesAdded);

    const int last = rows.back() - 1;
    QCOMPARE(Text(model, last, ByteListModel::NumberColumn), QString::number(size - 1));
    QCOMPARE(Text(model, last, ByteListModel::HexColumn), lastHex);
    QVERIFY(!model.index(rows.back(), 0).isValid());
}

void ByteListQtTest::rowTexts_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("hex");

    // Row r holds the byte of kBytes[r].
    QTest::newRow("de 0x00") << UiLanguage::German << 0 << QStringLiteral("Fernschreiber-Code(Leer)") << "00h";
    QTest::newRow("en 0x00") << UiLanguage::English << 0 << QStringLiteral("Teletype-Code(Null)") << "00h";
    QTest::newRow("de 0x0A") << UiLanguage::German << 1 << QStringLiteral("Zeilenvorschub") << "0Ah";
    QTest::newRow("en 0x0A") << UiLanguage::English << 1 << QStringLiteral("Line Feed") << "0Ah";
    QTest::newRow("de 0x20") << UiLanguage::German << 2 << QStringLiteral("Leertaste") << "20h";
    QTest::newRow("en 0x20") << UiLanguage::English << 2 << QStringLiteral("Space") << "20h";
    QTest::newRow("de 0x21") << UiLanguage::German << 3 << QStringLiteral("ANSI-Zeichen:\"!\"") << "21h";
    QTest::newRow("en 0x22") << UiLanguage::English << 4 << QStringLiteral("ANSI-character:\"\"\"") << "22h";
    QTest::newRow("de 0x41") << UiLanguage::German << 5 << QStringLiteral("ANSI-Zeichen:\"A\"") << "41h";
    QTest::newRow("en 0x41") << UiLanguage::English << 5 << QStringLiteral("ANSI-character:\"A\"") << "41h";
    QTest::newRow("de 0xE4") << UiLanguage::German << 6 << QStringLiteral("ANSI-Zeichen:\"ä\"") << "E4h";
    QTest::newRow("en 0x80") << UiLanguage::English << 7 << QStringLiteral("ANSI-character:\"€\"") << "80h";
    QTest::newRow("de 0xFF") << UiLanguage::German << 8 << QStringLiteral("ANSI-Zeichen:\"ÿ\"") << "FFh";
    QTest::newRow("de 0x1B") << UiLanguage::German << 9 << QStringLiteral("Escape-Sequenzen(Escape)") << "1Bh";
    QTest::newRow("en 0x1B") << UiLanguage::English << 9 << QStringLiteral("Escape-Sequenzen(Escape)") << "1Bh";
}

void ByteListQtTest::rowTexts()
{
    QFETCH(UiLanguage, language);
    QFETCH(int, row);
    QFETCH(QString, character);
    QFETCH(QString, hex);

    const MemorySource source({0x00, 0x0A, 0x20, 0x21, 0x22, 0x41, 0xE4, 0x80, 0xFF, 0x1B});
    RowStore store(language);
    ByteListModel model(source, store, icons_);
    model.ShowFirstPage();

    QCOMPARE(Text(model, row, ByteListModel::NumberColumn), QString::number(row));
    QCOMPARE(Text(model, row, ByteListModel::CharacterColumn), character);
    QCOMPARE(Text(model, row, ByteListModel::FieldTypeColumn),
             language == UiLanguage::German ? QStringLiteral("?-Feldtyp") : QStringLiteral("?-Fieldtype"));
    QCOMPARE(Text(model, row, ByteListModel::HexColumn), hex);
    // A name cut short by the column shows whole when the mouse rests on it.
    QCOMPARE(model.data(model.index(row, ByteListModel::CharacterColumn), Qt::ToolTipRole).toString(), character);
}

void ByteListQtTest::columns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("english");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("alignment");

    QTest::newRow("byte number") << 0 << "ByteNr." << "ByteNr." << 80 << int(Qt::AlignLeft);
    QTest::newRow("character") << 1 << "ANSI-Zeichen" << "ANSI-Character" << 120 << int(Qt::AlignLeft);
    QTest::newRow("field type") << 2 << "Datenfeld-Typ" << "Datafield-type" << 100 << int(Qt::AlignHCenter);
    QTest::newRow("hex byte") << 3 << "Hex-Byte" << "Hex-Byte" << 80 << int(Qt::AlignHCenter);
}

void ByteListQtTest::columns()
{
    QFETCH(int, column);
    QFETCH(QString, german);
    QFETCH(QString, english);
    QFETCH(int, width);
    QFETCH(int, alignment);

    const MemorySource source({0x41, 0x42});
    for (const UiLanguage language : {UiLanguage::German, UiLanguage::English}) {
        RowStore store(language);
        ByteListModel model(source, store, icons_);
        ByteListView view;
        view.setModel(&model);
        model.ShowFirstPage();
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                 language == UiLanguage::German ? german : english);
        QCOMPARE(Alignment(model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)), alignment);
        QCOMPARE(Alignment(model.data(model.index(1, column), Qt::TextAlignmentRole)), alignment);
        QCOMPARE(view.columnWidth(column), width);
    }
}

void ByteListQtTest::marksShowOnTheirRows()
{
    const MemorySource source(std::vector<std::uint8_t>(50, 0x41));
    RowStore store(UiLanguage::German);
    ByteListModel model(source, store, icons_);
    model.ShowFirstPage();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    auto iconKey = [&](int row) {
        return model.data(model.index(row, ByteListModel::NumberColumn), Qt::DecorationRole).value<QIcon>().cacheKey();
    };
    QCOMPARE(iconKey(7), icons_.For(MarkerKind::Unmarked).cacheKey());
    const MarkerKind cycle[] = {MarkerKind::LineBegin, MarkerKind::ColumnBegin, MarkerKind::ByteMark,
                                MarkerKind::ColumnEnd, MarkerKind::LineEnd,     MarkerKind::Unmarked};
    for (const MarkerKind kind : cycle) {
        store.CycleMarker(7);
        QCOMPARE(iconKey(7), icons_.For(kind).cacheKey());
    }
    QCOMPARE(changed.count(), 6);
    QCOMPARE(changed.front().at(0).toModelIndex().row(), 7);

    store.CycleFieldType(8);
    QCOMPARE(Text(model, 8, ByteListModel::FieldTypeColumn), QStringLiteral("BinInteger"));
    store.CycleFieldType(8);
    QCOMPARE(Text(model, 8, ByteListModel::FieldTypeColumn), QStringLiteral("BinRealzahl"));
    QCOMPARE(changed.count(), 8);
    QCOMPARE(changed.back().at(0).toModelIndex().row(), 8);
    QVERIFY(model.data(model.index(8, ByteListModel::HexColumn), Qt::DecorationRole).isNull());
}

void ByteListQtTest::marksStayWhilePaging()
{
    const MemorySource source(std::vector<std::uint8_t>(2500, 0x30));
    RowStore store(UiLanguage::English);
    ByteListModel model(source, store, icons_);
    model.ShowFirstPage();
    store.SetMarker(5, MarkerKind::ColumnBegin);
    store.SetFieldType(1023, FieldType::Bcd);
    model.ShowNextPage();
    model.ShowNextPage();
    QCOMPARE(model.rowCount(), 2500);
    QCOMPARE(store.GetMarker(5), MarkerKind::ColumnBegin);
    QCOMPARE(Text(model, 1023, ByteListModel::FieldTypeColumn), QStringLiteral("BCD-number"));
    QCOMPARE(Text(model, 1024, ByteListModel::FieldTypeColumn), QStringLiteral("?-Fieldtype"));
    QCOMPARE(Text(model, 2499, ByteListModel::NumberColumn), QStringLiteral("2499"));
}

void ByteListQtTest::clearingStartsAgainAtZero()
{
    const MemorySource source(std::vector<std::uint8_t>(1500, 0x30));
    RowStore store(UiLanguage::English);
    ByteListModel model(source, store, icons_);
    model.ShowFirstPage();
    model.ShowNextPage();
    store.SetMarker(3, MarkerKind::LineBegin);
    model.ClearRows();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.HasNextPage());
    QVERIFY(store.Markers().empty());

    model.ShowFirstPage();
    QCOMPARE(model.rowCount(), 1024);
    QCOMPARE(Text(model, 0, ByteListModel::NumberColumn), QStringLiteral("0"));
    QCOMPARE(store.GetMarker(3), MarkerKind::Unmarked);
}

// A source of 2 GiB opens and pages like a small one: only the rows asked
// for are read.
void ByteListQtTest::hugeSourceShowsPagesOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("huge.dat"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(2) << 30)); // sparse: no disk space taken
        QVERIFY(file.seek(1500));
        QVERIFY(file.putChar('Z'));
    }
    SourceView source;
    QVERIFY(source.Open(QFile::encodeName(path).toStdString()));
    QCOMPARE(source.Size(), 2u << 30);
    RowStore store(UiLanguage::English);
    ByteListModel model(source, store, icons_);
    QElapsedTimer timer;
    timer.start();
    model.ShowFirstPage();
    model.ShowNextPage();
    QCOMPARE(model.rowCount(), 2048);
    QVERIFY(model.HasNextPage());
    QCOMPARE(Text(model, 1500, ByteListModel::CharacterColumn), QStringLiteral("ANSI-character:\"Z\""));
    QCOMPARE(Text(model, 2047, ByteListModel::HexColumn), QStringLiteral("00h"));
    QVERIFY2(timer.elapsed() < 2000, "paging a huge source must not read it");
}

QTEST_MAIN(ByteListQtTest)
#include "ByteListQtTest.moc"
