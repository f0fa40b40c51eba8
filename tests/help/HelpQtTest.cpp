// The help window: where each scroll request takes the text and by how many
// pixels the content moves, and the help text in both languages, with as many
// lines as the window scrolls over and room left for every picture.
#include <QScrollBar>
#include <QtTest>

#include "help/HelpPictures.h"
#include "help/HelpText.h"
#include "help/HelpWindow.h"
#include "qtcommon/ResourceNames.h"

using namespace zorbik;

namespace {

// From the top line `start`, in lines of 16 pixels with 25 in view (the last
// top line is 364): the top line after the request, and the pixels by which
// the content moves (nothing: it stays).
struct Request {
    int start; ScrollRequest request; int thumb; int position; std::optional<int> moved;
};

const Request kRequests[] = {
    {0, ScrollRequest::LineUp, 0, 0, std::nullopt},        {10, ScrollRequest::LineUp, 0, 9, 16},
    {0, ScrollRequest::LineDown, 0, 1, -16},               {364, ScrollRequest::LineDown, 0, 364, std::nullopt},
    {100, ScrollRequest::PageUp, 0, 0, 1600},              {1, ScrollRequest::PageDown, 0, 364, -5808},
    {364, ScrollRequest::PageDown, 0, 364, std::nullopt},  {0, ScrollRequest::ThumbPosition, 100, 100, -1600},
    {100, ScrollRequest::ThumbPosition, 500, 364, -4224},  {50, ScrollRequest::ThumbPosition, 50, 50, std::nullopt},
    {50, ScrollRequest::ThumbTrack, 80, 50, std::nullopt}, {50, ScrollRequest::Bottom, 0, 50, std::nullopt},
};

} // namespace

class HelpQtTest : public QObject {
    Q_OBJECT
private slots:
    void requests();
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
    QCOMPARE(scroll.Apply(ScrollRequest::PageDown), -364 * 16);
}

// The lines under each picture are empty, in lines of 16 pixels; letters of
// Windows-1252 come out as themselves. The window's scroll bar pages to the
// end, where the last picture is drawn.
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
        help.Page()->grab();
        QCOMPARE(help.ScrollBar()->value(), help.Scroll().LastPosition());
        QCOMPARE(help.DrawnPictures(), std::vector<int>{122});
    }
    QCOMPARE(HelpLinesFromBytes("Gr\xF6\xDF" "e\r\nA\rB\n\r\n"), QStringList({"Größe", "A\rB\n", ""}));
}

QTEST_MAIN(HelpQtTest)
#include "HelpQtTest.moc"
