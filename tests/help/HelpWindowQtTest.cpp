// The help window: its caption and text in both languages, its measures,
// the scroll bar's requests as the window carries them out, and the
// pictures it paints at their lines.
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "qtcommon/ResourceNames.h"
#include "help/HelpPictures.h"
#include "help/HelpText.h"
#include "help/HelpWindow.h"

using namespace zorbik;

Q_DECLARE_METATYPE(zorbik::UiLanguage)

namespace {

bool Drawn(const HelpWindow& help, int bitmapId)
{
    const std::vector<int>& drawn = help.DrawnPictures();
    return std::find(drawn.begin(), drawn.end(), bitmapId) != drawn.end();
}

// Paints the page as the screen would and returns it.
QImage Painted(HelpWindow& help)
{
    return help.Page()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class HelpWindowQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textAndCaption_data();
    void textAndCaption();
    void linesSplitAtCrLf();
    void measures();
    void scrollBarRequests();
    void thumbMovesTheTextOnlyWhenReleased();
    void wheelAndKeysDoNotScroll();
    void picturesAtTheirLines();
    void enlargingKeepsTheMeasures();
    void escapeCloses();
};

void HelpWindowQtTest::initTestCase()
{
    InitResources();
}

void HelpWindowQtTest::textAndCaption_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("caption");
    QTest::newRow("German") << UiLanguage::German << "HILFE";
    QTest::newRow("English") << UiLanguage::English << "HELP";
}

void HelpWindowQtTest::textAndCaption()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, caption);
    HelpWindow help(language);
    QCOMPARE(help.windowTitle(), caption);
    QCOMPARE(help.LineCount(), 389);
    const QStringList lines = LoadHelpText(language);
    QVERIFY(lines.last().isEmpty());
    // Every picture's top line is one of the empty lines left for it.
    for (const HelpPicture& picture : kHelpPictures)
        QVERIFY2(lines[int(picture.topLine)].trimmed().isEmpty(), qPrintable(QString::number(picture.bitmapId)));
    // Windows-1252 letters come out as the letters they are.
    if (language == UiLanguage::German)
        QVERIFY(lines.join(QLatin1Char('\n')).contains(QStringLiteral("ü")));
}

void HelpWindowQtTest::linesSplitAtCrLf()
{
    const QStringList lines = HelpLinesFromBytes(QByteArray("Gr\xF6\xDF" "e\r\n\r\nA\rB\nC\r\n", 16));
    QCOMPARE(lines, (QStringList{QStringLiteral("Größe"), QString(), QStringLiteral("A\rB\nC"), QString()}));
    QCOMPARE(HelpLinesFromBytes({}), QStringList{QString()});
}

void HelpWindowQtTest::measures()
{
    HelpWindow help(UiLanguage::English);
    const HelpScroll& scroll = help.Scroll();
    QVERIFY(scroll.LineHeight() >= 16);
    QVERIFY(scroll.LineHeight() >= QFontMetrics(help.font()).lineSpacing());
    QCOMPARE(help.TextRect().height(), 423);
    QCOMPARE(scroll.VisibleLines(), 423 / scroll.LineHeight());
    QCOMPARE(scroll.LastPosition(), 389 - scroll.VisibleLines());
    QCOMPARE(scroll.Position(), 0);
    QCOMPARE(help.ScrollBar()->minimum(), 0);
    QCOMPARE(help.ScrollBar()->maximum(), scroll.LastPosition());
    QCOMPARE(help.ScrollBar()->value(), 0);
    // Long lines and the widest picture fit without being cut.
    QVERIFY(help.TextRect().width() >= 615);
    for (const HelpPicture& picture : kHelpPictures)
        QVERIFY(picture.x + picture.width <= help.TextRect().width());
}

void HelpWindowQtTest::scrollBarRequests()
{
    HelpWindow help(UiLanguage::German);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QScrollBar* bar = help.ScrollBar();
    const int last = help.Scroll().LastPosition();

    struct Step {
        QAbstractSlider::SliderAction action;
        int position;
    };
    const Step steps[] = {
        {QAbstractSlider::SliderSingleStepSub, 0}, // nothing above the top
        {QAbstractSlider::SliderSingleStepAdd, 1},
        {QAbstractSlider::SliderSingleStepAdd, 2},
        {QAbstractSlider::SliderPageStepAdd, last}, // a page goes to the very end
        {QAbstractSlider::SliderSingleStepAdd, last},
        {QAbstractSlider::SliderSingleStepSub, last - 1},
        {QAbstractSlider::SliderPageStepSub, 0}, // and to the very top
        {QAbstractSlider::SliderToMaximum, 0},   // ignored
    };
    for (const Step& step : steps) {
        bar->triggerAction(step.action);
        QCOMPARE(help.Scroll().Position(), step.position);
        QCOMPARE(bar->value(), step.position);
        QCOMPARE(help.Scroll().PaintedOffset(), step.position * help.Scroll().LineHeight());
    }
}

void HelpWindowQtTest::thumbMovesTheTextOnlyWhenReleased()
{
    HelpWindow help(UiLanguage::English);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QScrollBar* bar = help.ScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(120);
    QCOMPARE(help.Scroll().Position(), 0);
    bar->setSliderPosition(150);
    QCOMPARE(help.Scroll().Position(), 0);
    bar->setSliderDown(false);
    QCOMPARE(help.Scroll().Position(), 150);
    QCOMPARE(bar->value(), 150);

    // Released where it was: nothing moves.
    bar->setSliderDown(true);
    bar->setSliderDown(false);
    QCOMPARE(help.Scroll().Position(), 150);
}

void HelpWindowQtTest::wheelAndKeysDoNotScroll()
{
    HelpWindow help(UiLanguage::English);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    for (QWidget* target : {static_cast<QWidget*>(help.ScrollBar()), help.Page(), static_cast<QWidget*>(&help)}) {
        const QPoint at = target->rect().center();
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        QTest::keyClick(target, Qt::Key_PageDown);
        QTest::keyClick(target, Qt::Key_Down);
    }
    QCOMPARE(help.Scroll().Position(), 0);
    QCOMPARE(help.ScrollBar()->value(), 0);
}

void HelpWindowQtTest::picturesAtTheirLines()
{
    HelpWindow help(UiLanguage::German);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const int lineHeight = help.Scroll().LineHeight();

    QImage page = Painted(help);
    QVERIFY(Drawn(help, 105));
    QVERIFY(!Drawn(help, 115));
    // Picture 105 stands at x 160, line 24, unscaled.
    const QImage picture105 = QImage(QStringLiteral(":/help/bitmap105.png")).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!picture105.isNull());
    for (const QPoint inside : {QPoint(5, 5), QPoint(200, 30), QPoint(380, 20)})
        QCOMPARE(page.pixel(QPoint(160, 24 * lineHeight) + inside), picture105.pixel(inside));

    // Scrolled so that picture 116 (line 263, x 60) is at the top.
    help.Request(ScrollRequest::ThumbPosition, 263);
    page = Painted(help);
    QVERIFY(Drawn(help, 116));
    QVERIFY(!Drawn(help, 105));
    const QImage picture116 = QImage(QStringLiteral(":/help/bitmap116.png")).convertToFormat(QImage::Format_RGB32);
    for (const QPoint inside : {QPoint(3, 3), QPoint(300, 100), QPoint(560, 250)})
        QCOMPARE(page.pixel(QPoint(60, 0) + inside), picture116.pixel(inside));

    help.Request(ScrollRequest::PageDown);
    Painted(help);
    QVERIFY(Drawn(help, 122));
}

// The size taken at opening stays: a larger window adds room without text
// and changes neither the visible lines nor the scroll range.
void HelpWindowQtTest::enlargingKeepsTheMeasures()
{
    HelpWindow help(UiLanguage::English);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const int visible = help.Scroll().VisibleLines();
    const QRect text = help.TextRect();
    help.resize(help.width() + 100, help.height() + 200);
    QTRY_COMPARE(help.Page()->height(), text.height() + 200);
    QCOMPARE(help.Scroll().VisibleLines(), visible);
    QCOMPARE(help.ScrollBar()->maximum(), 389 - visible);
    QCOMPARE(help.TextRect(), text);
    const QImage page = Painted(help);
    // Left of the pictures, where lines 30 and on would stand.
    const QRgb background = page.pixel(page.width() - 2, page.height() - 2);
    for (int y = text.bottom() + 2; y < page.height(); y += 2)
        for (int x = 0; x < 150; x += 2)
            QCOMPARE(page.pixel(x, y), background);
}

void HelpWindowQtTest::escapeCloses()
{
    HelpWindow help(UiLanguage::English);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QSignalSpy closed(&help, &HelpWindow::Closed);
    QTest::keyClick(&help, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!help.isVisible());
}

QTEST_MAIN(HelpWindowQtTest)
#include "HelpWindowQtTest.moc"
