// The help window: where each scroll request takes the text and by how many
// pixels the content moves, how a resize changes the lines in view, the keys
// and the wheel that scroll it, the text that fills an enlarged window, and
// every picture of the resources shown in both languages.
#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <set>
#include <QtTest>

#include "help/HelpLayout.h"
#include "help/HelpWindow.h"
#include "qtcommon/ResourceNames.h"
#include "qtcommon/WindowGeometry.h"

using namespace zorbik;

namespace {

// 457 lines of 16 pixels, 25 in view (the last top line is 432), from the
// top line `start`: the top line after the request, and the pixels by which
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

// The same text from the top line `start`, its area resized to `height`
// pixels: the lines in view, the last top line and the top line after it.
struct Resize {
    int start; int height; int visible; int last; int position;
};

const Resize kResizes[] = {
    {100, 815, 50, 407, 100}, // more lines in view, the end comes sooner
    {432, 815, 50, 407, 407}, // at the end, the top line moves up to fill the room
    {100, 8000, 500, 0, 0},   // the whole text in view
    {100, 10, 0, 457, 100},   // not one line in view
};

QScrollBar* Bar(HelpWindow& help)
{
    return help.findChild<QScrollBar*>();
}

// The painted text area, where the user sees it.
QWidget* Page(HelpWindow& help)
{
    return help.childAt(10, 10);
}

// The row of `image` with the most changes of colour: no window background
// looks like it.
int BusiestRow(const QImage& image)
{
    int best = 0;
    int bestChanges = -1;
    for (int y = 0; y < image.height(); ++y) {
        int changes = 0;
        for (int x = 1; x < image.width(); ++x)
            changes += image.pixel(x, y) != image.pixel(x - 1, y);
        if (changes > bestChanges) {
            best = y;
            bestChanges = changes;
        }
    }
    return best;
}

void Shown(HelpWindow& help)
{
    help.show();
    if (!QTest::qWaitForWindowExposed(&help))
        qFatal("the help window does not show");
}

} // namespace

class HelpQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }
    void requests();
    void keysAndWheel();
    void enlarged();
    void pictures();
};

void HelpQtTest::requests()
{
    for (const Request& r : kRequests) {
        HelpScroll scroll(457, 16, 415);
        scroll.Apply(ScrollRequest::ThumbPosition, r.start);
        scroll.Painted();
        QCOMPARE(scroll.Apply(r.request, r.thumb), r.moved);
        QCOMPARE(scroll.Position(), r.position);
    }
    // A page moves the content from where it was last painted.
    HelpScroll scroll(457, 16, 400);
    scroll.Apply(ScrollRequest::LineDown);
    QCOMPARE(scroll.Apply(ScrollRequest::PageDown), -432 * 16);

    for (const Resize& r : kResizes) {
        HelpScroll resized(457, 16, 415);
        resized.MoveTo(r.start);
        resized.Resize(r.height);
        QCOMPARE(resized.VisibleLines(), r.visible);
        QCOMPARE(resized.LastPosition(), r.last);
        QCOMPARE(resized.Position(), r.position);
    }
}

// Keys and the wheel move by lines, a page, or to the ends, on the page and
// on the scroll bar alike; half a wheel notch waits for the other half.
void HelpQtTest::keysAndWheel()
{
    HelpWindow help(UiLanguage::English);
    Shown(help);
    QScrollBar* bar = Bar(help);
    QWidget* page = Page(help);
    const int visible = bar->pageStep();
    const int last = bar->maximum();
    const int notch = QApplication::wheelScrollLines();
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(page, &event);
    };
    const std::pair<std::function<void()>, int> steps[] = {
        {[&] { QTest::keyClick(page, Qt::Key_Down); }, 1},
        {[&] { QTest::keyClick(bar, Qt::Key_Up); }, 0},
        {[&] { QTest::keyClick(page, Qt::Key_Up); }, 0},
        {[&] { QTest::keyClick(page, Qt::Key_PageDown); }, visible},
        {[&] { QTest::keyClick(page, Qt::Key_Down, Qt::ControlModifier); }, visible},
        {[&] { QTest::keyClick(page, Qt::Key_End); }, last},
        {[&] { QTest::keyClick(page, Qt::Key_PageDown); }, last},
        {[&] { QTest::keyClick(page, Qt::Key_Home); }, 0},
        {[&] { wheel(-120); }, notch},
        {[&] { wheel(-60); }, notch},
        {[&] { wheel(-60); }, 2 * notch},
        {[&] { wheel(240); }, 0},
        {[&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); }, last},
        {[&] { bar->triggerAction(QAbstractSlider::SliderPageStepSub); }, 0},
    };
    for (const auto& [step, position] : steps) {
        step();
        QCOMPARE(bar->value(), position);
    }
    QSignalSpy closed(&help, &HelpWindow::Closed);
    QTest::keyClick(bar, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
}

// Enlarged, the window draws text below its opening height too, and shows
// more lines at a time: the scroll range shrinks by as many.
void HelpQtTest::enlarged()
{
    for (const UiLanguage language : {UiLanguage::German, UiLanguage::English}) {
        HelpWindow help(language);
        Shown(help);
        const int opening = help.height();
        const int lines = Bar(help)->maximum() + Bar(help)->pageStep();
        help.resize(help.width() + 200, 2 * opening);
        QTRY_COMPARE(Page(help)->height(), 2 * opening);
        QTest::keyClick(Page(help), Qt::Key_Home);
        QVERIFY(Bar(help)->pageStep() >= 2 * (opening / QFontMetrics(help.font()).lineSpacing()) - 1);
        QCOMPARE(Bar(help)->maximum() + Bar(help)->pageStep(), lines);

        // Rows of the new area with text in them, left of every picture.
        const QImage image = Page(help)->grab().toImage();
        int inkRows = 0;
        for (int y = opening; y < image.height(); ++y) {
            for (int x = 0; x < 60; ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    ++inkRows;
                    break;
                }
            }
        }
        QVERIFY2(inkRows > opening / 3, qPrintable(QString::number(inkRows)));
    }
}

// Paging from the top to the end shows every picture of the resources,
// unscaled, in both languages.
void HelpQtTest::pictures()
{
    const QStringList names = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("bitmap*.png")});
    QCOMPARE(names.size(), 11);
    for (const UiLanguage language : {UiLanguage::German, UiLanguage::English}) {
        HelpWindow help(language);
        Shown(help);
        std::set<QString> seen;
        for (int page = 0; page < 100 && seen.size() < std::size_t(names.size()); ++page) {
            const QImage shown = help.grab().toImage().convertToFormat(QImage::Format_RGB32);
            for (const QString& name : names) {
                const QImage picture = QImage(QStringLiteral(":/help/") + name).convertToFormat(QImage::Format_RGB32);
                // Its busiest row somewhere on a row of the window.
                const auto* want = reinterpret_cast<const QRgb*>(picture.constScanLine(BusiestRow(picture)));
                for (int y = 0; y < shown.height() && !seen.count(name); ++y) {
                    const auto* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
                    if (std::search(row, row + shown.width(), want, want + picture.width()) != row + shown.width())
                        seen.insert(name);
                }
            }
            if (Bar(help)->value() == Bar(help)->maximum())
                break;
            QTest::keyClick(Page(help), Qt::Key_PageDown);
        }
        QCOMPARE(seen.size(), std::size_t(names.size()));
    }
}

QTEST_MAIN(HelpQtTest)
#include "HelpQtTest.moc"
