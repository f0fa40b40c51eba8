// The scrolling arithmetic of the help window, apart from any window: which
// line of the help is at the top, and how far the content moves for each
// request of the scroll bar.
#pragma once

#include <optional>

namespace zorbik {

// The requests a vertical scroll bar makes, numbered as the platform's
// scroll codes.
enum class ScrollRequest : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbTrack = 4,
    ThumbPosition = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

class HelpScroll {
public:
    // `lineCount` lines of `lineHeight` pixels in an area `areaHeight`
    // pixels high. Starts at the top.
    HelpScroll(int lineCount, int lineHeight, int areaHeight);

    // The area has a new height: as many whole lines as fit now are in view,
    // and the top line moves up where the last one would leave room below.
    void Resize(int areaHeight);

    int LineHeight() const { return lineHeight_; }
    int VisibleLines() const { return visibleLines_; }
    int LastPosition() const { return lastPosition_; }
    int Position() const { return position_; }
    int PaintedOffset() const { return paintedOffset_; }

    // Painting records where the text was drawn: Position() * LineHeight().
    void Painted() { paintedOffset_ = position_ * lineHeight_; }

    // Carries out one request. Returns the pixels by which the drawn content
    // has to move (positive: down), or nothing when it stays. Page requests
    // go to the first or the last position; a thumb is followed only when
    // released (ThumbPosition with `thumbPosition`); the other requests do
    // nothing.
    std::optional<int> Apply(ScrollRequest request, int thumbPosition = 0);

    // The wheel and the keys: `lines` whole lines down (negative: up), or
    // to `position`, stopping at the first and the last position. Returns
    // the pixels to move as Apply does.
    std::optional<int> MoveBy(int lines);
    std::optional<int> MoveTo(int position);

private:
    int lineCount_;
    int lineHeight_;
    int visibleLines_ = 0;
    int lastPosition_ = 0;
    int position_ = 0;
    int paintedOffset_ = 0;
};

} // namespace zorbik
