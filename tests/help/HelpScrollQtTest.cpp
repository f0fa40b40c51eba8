// The help window's arithmetic: which pictures are in view, and where each
// scroll request takes the text and by how many pixels the content moves.
#include <QtTest>

#include "help/HelpScroll.h"

using zorbik::HelpScroll;
using zorbik::PictureInView;
using zorbik::ScrollRequest;

Q_DECLARE_METATYPE(ScrollRequest)

class HelpScrollQtTest : public QObject {
    Q_OBJECT
private slots:
    void pictureInView_data();
    void pictureInView();
    void measures_data();
    void measures();
    void request_data();
    void request();
    void pageDownUsesThePaintedOffset();
};

void HelpScrollQtTest::pictureInView_data()
{
    QTest::addColumn<uint>("top");
    QTest::addColumn<uint>("height");
    QTest::addColumn<uint>("lineHeight");
    QTest::addColumn<uint>("visible");
    QTest::addColumn<uint>("position");
    QTest::addColumn<bool>("inView");

    // Picture 1: top line 24, 64 pixels = 4 lines of 16, so line 28 is below it.
    QTest::newRow("top line is the last visible line") << 24u << 64u << 16u << 24u << 0u << true;
    QTest::newRow("top line one past the view") << 24u << 64u << 16u << 23u << 0u << false;
    QTest::newRow("top at the first visible line") << 24u << 64u << 16u << 25u << 24u << true;
    QTest::newRow("only the line below in view") << 24u << 64u << 16u << 25u << 28u << true;
    QTest::newRow("line below just scrolled out") << 24u << 64u << 16u << 25u << 29u << false;
    QTest::newRow("below line reaches the view") << 24u << 64u << 16u << 10u << 18u << true;
    QTest::newRow("neither line reaches the view") << 24u << 64u << 16u << 10u << 13u << false;
    // 65 pixels need 5 lines: the line below is 29.
    QTest::newRow("a started line counts whole") << 24u << 65u << 16u << 25u << 29u << true;
    QTest::newRow("past the rounded-up line") << 24u << 65u << 16u << 25u << 30u << false;
    // A picture taller than the view whose top is above and whose bottom is
    // below it is not drawn.
    QTest::newRow("covers the whole view") << 10u << 1600u << 16u << 25u << 20u << false;
    QTest::newRow("zero line height") << 24u << 64u << 0u << 25u << 0u << false;
}

void HelpScrollQtTest::pictureInView()
{
    QFETCH(uint, top);
    QFETCH(uint, height);
    QFETCH(uint, lineHeight);
    QFETCH(uint, visible);
    QFETCH(uint, position);
    QFETCH(bool, inView);
    QCOMPARE(PictureInView(top, height, lineHeight, visible, position), inView);
}

void HelpScrollQtTest::measures_data()
{
    QTest::addColumn<int>("lineHeight");
    QTest::addColumn<int>("areaHeight");
    QTest::addColumn<int>("visible");
    QTest::addColumn<int>("last");

    QTest::newRow("16-pixel lines, 25 in view") << 16 << 400 << 25 << 364;
    QTest::newRow("a part line is not counted") << 16 << 415 << 25 << 364;
    QTest::newRow("13-pixel lines in the window height") << 13 << 423 << 32 << 357;
    QTest::newRow("taller than the text") << 10 << 5000 << 500 << 0;
    QTest::newRow("lower than one line") << 16 << 10 << 0 << 389;
}

void HelpScrollQtTest::measures()
{
    QFETCH(int, lineHeight);
    QFETCH(int, areaHeight);
    QFETCH(int, visible);
    QFETCH(int, last);
    const HelpScroll scroll(lineHeight, areaHeight);
    QCOMPARE(scroll.VisibleLines(), visible);
    QCOMPARE(scroll.LastPosition(), last);
    QCOMPARE(scroll.Position(), 0);
}

void HelpScrollQtTest::request_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<ScrollRequest>("request");
    QTest::addColumn<int>("thumb");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<int>("dy");

    // 16-pixel lines and 25 visible lines: the last position is 364.
    QTest::newRow("line up at the top") << 0 << ScrollRequest::LineUp << 0 << 0 << false << 0;
    QTest::newRow("line up") << 10 << ScrollRequest::LineUp << 0 << 9 << true << 16;
    QTest::newRow("line down") << 0 << ScrollRequest::LineDown << 0 << 1 << true << -16;
    QTest::newRow("line down at the end") << 364 << ScrollRequest::LineDown << 0 << 364 << false << 0;
    QTest::newRow("page up goes to the top") << 100 << ScrollRequest::PageUp << 0 << 0 << true << 1600;
    QTest::newRow("page up at the top moves nothing") << 0 << ScrollRequest::PageUp << 0 << 0 << true << 0;
    QTest::newRow("page down goes to the end") << 1 << ScrollRequest::PageDown << 0 << 364 << true << -5808;
    QTest::newRow("page down at the end") << 364 << ScrollRequest::PageDown << 0 << 364 << false << 0;
    QTest::newRow("thumb released further down") << 0 << ScrollRequest::ThumbPosition << 100 << 100 << true << -1600;
    QTest::newRow("thumb released further up") << 100 << ScrollRequest::ThumbPosition << 40 << 40 << true << 960;
    QTest::newRow("thumb released where it was") << 50 << ScrollRequest::ThumbPosition << 50 << 50 << false << 0;
    QTest::newRow("thumb dragged") << 50 << ScrollRequest::ThumbTrack << 80 << 50 << false << 0;
    QTest::newRow("top request ignored") << 50 << ScrollRequest::Top << 0 << 50 << false << 0;
    QTest::newRow("bottom request ignored") << 50 << ScrollRequest::Bottom << 0 << 50 << false << 0;
    QTest::newRow("end of scrolling ignored") << 50 << ScrollRequest::EndScroll << 0 << 50 << false << 0;
}

void HelpScrollQtTest::request()
{
    QFETCH(int, start);
    QFETCH(ScrollRequest, request);
    QFETCH(int, thumb);
    QFETCH(int, position);
    QFETCH(bool, moves);
    QFETCH(int, dy);

    HelpScroll scroll(16, 400);
    scroll.Apply(ScrollRequest::ThumbPosition, start);
    scroll.Painted();
    QCOMPARE(scroll.Position(), start);

    const std::optional<int> moved = scroll.Apply(request, thumb);
    QCOMPARE(moved.has_value(), moves);
    if (moves)
        QCOMPARE(*moved, dy);
    QCOMPARE(scroll.Position(), position);
}

// Page down moves the content from where it was last painted, not from
// the position of a request that has not been painted yet.
void HelpScrollQtTest::pageDownUsesThePaintedOffset()
{
    HelpScroll scroll(16, 400);
    QCOMPARE(scroll.Apply(ScrollRequest::LineDown).value_or(0), -16);
    QCOMPARE(scroll.PaintedOffset(), 0);
    QCOMPARE(scroll.Apply(ScrollRequest::PageDown).value_or(0), -364 * 16);
    scroll.Painted();
    QCOMPARE(scroll.PaintedOffset(), 364 * 16);
    QCOMPARE(scroll.Apply(ScrollRequest::PageUp).value_or(0), 364 * 16);
}

QTEST_APPLESS_MAIN(HelpScrollQtTest)
#include "HelpScrollQtTest.moc"
