#include "help/HelpScroll.h"

#include <algorithm>

namespace zorbik {

HelpScroll::HelpScroll(int lineCount, int lineHeight, int areaHeight)
    : lineCount_(std::max(lineCount, 0)), lineHeight_(std::max(lineHeight, 1))
{
    Resize(areaHeight);
}

void HelpScroll::Resize(int areaHeight)
{
    visibleLines_ = std::max(areaHeight, 0) / lineHeight_;
    lastPosition_ = std::max(lineCount_ - visibleLines_, 0);
    position_ = std::min(position_, lastPosition_);
}

std::optional<int> HelpScroll::Apply(ScrollRequest request, int thumbPosition)
{
    switch (request) {
    case ScrollRequest::LineUp:
        if (position_ <= 0)
            return std::nullopt;
        --position_;
        return lineHeight_;
    case ScrollRequest::LineDown:
        if (position_ >= lastPosition_)
            return std::nullopt;
        ++position_;
        return -lineHeight_;
    case ScrollRequest::PageUp:
        position_ = 0;
        return paintedOffset_;
    case ScrollRequest::PageDown: {
        position_ = lastPosition_;
        const int distance = lastPosition_ * lineHeight_ - paintedOffset_;
        if (distance == 0)
            return std::nullopt;
        return -distance;
    }
    case ScrollRequest::ThumbPosition:
        return MoveTo(thumbPosition);
    case ScrollRequest::ThumbTrack:
    case ScrollRequest::Top:
    case ScrollRequest::Bottom:
    case ScrollRequest::EndScroll:
        break;
    }
    return std::nullopt;
}

std::optional<int> HelpScroll::MoveBy(int lines)
{
    // Far moves stop at an end; the sum must not wrap on the way.
    const long long target = static_cast<long long>(position_) + lines;
    return MoveTo(static_cast<int>(std::clamp<long long>(target, 0, lastPosition_)));
}

std::optional<int> HelpScroll::MoveTo(int position)
{
    const int target = std::clamp(position, 0, lastPosition_);
    if (target == position_)
        return std::nullopt;
    const int dy = (position_ - target) * lineHeight_;
    position_ = target;
    return dy;
}

} // namespace zorbik
