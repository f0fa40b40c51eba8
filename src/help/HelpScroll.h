// The scrolling arithmetic of the help window, apart from any window: which
// text line is at the top, how far the content moves for each request of the
// scroll bar, and which pictures are in view.
#pragma once

#include <cstdint>
#include <optional>

namespace zorbik {

// Both help texts have exactly this many lines; it bounds the scroll range.
inline constexpr std::uint32_t kHelpLineCount = 457;

// True when the picture whose top is at text line `top`, `height` pixels
// high, touches the visible lines `position` to `position + visibleLines`
// with its top line or with the line just below it.
bool PictureInView(std::uint32_t top, std::uint32_t height, std::uint32_t lineHeight, std::uint32_t visibleLines,
                   std::uint32_t position);

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
    // Measured once when the window opens: the line height in pixels and
    // the height of the text area. Starts at the top.
    HelpScroll(int lineHeight, int areaHeight);

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
    int lineHeight_;
    int visibleLines_;
    int lastPosition_;
    int position_ = 0;
    int paintedOffset_ = 0;
};

} // namespace zorbik
