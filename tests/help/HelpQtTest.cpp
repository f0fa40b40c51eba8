// The help window: where each scroll request takes the text and by how many
// pixels the content moves, and the help text in both languages, with as many
// lines as the window scrolls over and room left for every picture, and the
// keys and the wheel that scroll it.
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <functional>
#include <QtTest>

#include "help/HelpPictures.h"
#include "help/HelpText.h"
#include "help/HelpWindow.h"
#include "qtcommon/ResourceNames.h"

using namespace zorbik;

namespace {

// From the top line `start`, in lines of 16 pixels with 25 in view (the last
// top line is 432): the top line after the request, and the pixels by which
// the content moves (nothing: it stays).
struct Request {
    int start; ScrollRequest request; int thumb; int position; std::optional<int> moved;
};

const Request kRequests[] = {
    {0, ScrollRequest::LineUp, 0, 0, std::nullopt},        {10, ScrollRequest::LineUp, 0, 9, 16},
    {0, ScrollRequest::LineDown, 0, 1, -16},               {432, ScrollRequest::LineDown, 0, 432, std::nullopt},
    {100, ScrollRequest::PageUp, 0, 0, 1600},              {1, ScrollRequest::PageDown, 0, 432, -6896},
    {432, ScrollRequest::PageDown, 0, 432, std::nullopt},  {0, ScrollRequest::ThumbPosition, 100, 100, -1600},
    {100, ScrollRequest::ThumbPosition, 500, 432, -5312},  {50, ScrollRequest::ThumbPosition, 50, 50, std::nullopt},
    {50, ScrollRequest::ThumbTrack, 80, 50, std::nullopt}, {50, ScrollRequest::Bottom, 0, 50, std::nullopt},
};

} // namespace

class HelpQtTest : public QObject {
    Q_OBJECT
private slots:
    void requests();
    void keysAndWheel();
    void text();
};

void HelpQtTest::requests()
{
    for (const Request& r : kRequests) {
        HelpScroll scroll(16, 415);
        scroll.Apply(ScrollRequest::ThumbPosition, r.start);
        scroll.Painted();
        QCOMPARE(scroll.Apply(r.request, r.thumb), r.moved);
        QCOMPARE(scroll.Position(), r.position);
    }
    // A page moves the content from where it was last painted.
    HelpScroll scroll(16, 400);
    scroll.Apply(ScrollRequest::LineDown);
    QCOMPARE(scroll.Apply(ScrollRequest::PageDown), -432 * 16);
}

// Keys and the wheel move by lines, a page, or to the ends, on the page and
// on the scroll bar alike; half a wheel notch waits for the other half.
void HelpQtTest::keysAndWheel()
{
    HelpWindow help(UiLanguage::English);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const int page = help.Scroll().VisibleLines();
    const int last = help.Scroll().LastPosition();
    const int notch = QApplication::wheelScrollLines();
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(help.Page(), &event);
    };
    const std::pair<std::function<void()>, int> steps[] = {
        {[&] { QTest::keyClick(help.Page(), Qt::Key_Down); }, 1},
        {[&] { QTest::keyClick(help.ScrollBar(), Qt::Key_Up); }, 0},
        {[&] { QTest::keyClick(help.Page(), Qt::Key_Up); }, 0},
        {[&] { QTest::keyClick(help.Page(), Qt::Key_PageDown); }, page},
        {[&] { QTest::keyClick(help.Page(), Qt::Key_Down, Qt::ControlModifier); }, page},
        {[&] { QTest::keyClick(help.Page(), Qt::Key_End); }, last},
        {[&] { QTest::keyClick(help.Page(), Qt::Key_PageDown); }, last},
        {[&] { QTest::keyClick(help.Page(), Qt::Key_Home); }, 0},
        {[&] { wheel(-120); }, notch},
        {[&] { wheel(-60); }, notch},
        {[&] { wheel(-60); }, 2 * notch},
        {[&] { wheel(240); }, 0},
    };
    for (const auto& [step, position] : steps) {
        step();
        QCOMPARE(help.Scroll().Position(), position);
        QCOMPARE(help.ScrollBar()->value(), position);
    }
    QSignalSpy closed(&help, &HelpWindow::Closed);
    QTest::keyClick(help.ScrollBar(), Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
}

// The lines under each picture are empty, in lines of 16 pixels; letters of
// Windows-1252 come out as themselves. The window's scroll bar pages to the
// end; a page above it the last picture is drawn.
void HelpQtTest::text()
{
    InitResources();
    for (const UiLanguage language : {UiLanguage::German, UiLanguage::English}) {
        const QStringList lines = LoadHelpText(language);
        QCOMPARE(lines.size(), qsizetype(kHelpLineCount));
        for (const HelpPicture& picture : kHelpPictures)
            for (std::uint32_t line = picture.topLine; line < picture.topLine + (picture.height + 15) / 16; ++line)
                QVERIFY2(lines[int(line)].trimmed().isEmpty(), qPrintable(QString::number(line)));
        HelpWindow help(language);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        help.ScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(help.ScrollBar()->value(), help.Scroll().LastPosition());
        // A page above the end, the last picture is in view.
        QTest::keyClick(help.Page(), Qt::Key_PageUp);
        help.Page()->grab();
        QCOMPARE(help.DrawnPictures(), std::vector<int>{122});
    }
    QCOMPARE(HelpLinesFromBytes("Gr\xF6\xDF" "e\r\nA\rB\n\r\n"), QStringList({"Größe", "A\rB\n", ""}));
}

QTEST_MAIN(HelpQtTest)
#include "HelpQtTest.moc"
