// The sizes the windows start from: the window template's sizes in dialog
// units (for the 8-point dialog font at 96 dpi one unit is 1.5 pixels
// across and 1.625 pixels down), the picture's and the byte list columns'.
#pragma once

#include <QRect>
#include <QSize>

namespace zorbik {

// One rectangle of the template, in dialog units.
struct DialogRect {
    int x;
    int y;
    int width;
    int height;
};

// Converts the edges separately and rounds each to the nearest pixel (half
// away from zero), so neighbouring controls keep their gaps.
inline int DialogUnitsAcross(int units)
{
    return (units * 3 + 1) / 2;
}
inline int DialogUnitsDown(int units)
{
    return (units * 13 + 4) / 8;
}

inline QRect ToPixels(const DialogRect& r)
{
    const int left = DialogUnitsAcross(r.x);
    const int top = DialogUnitsDown(r.y);
    const int right = DialogUnitsAcross(r.x + r.width);
    const int bottom = DialogUnitsDown(r.y + r.height);
    return QRect(left, top, right - left, bottom - top);
}

inline constexpr DialogRect kWindowUnits{0, 0, 410, 260};
// Each of the six buttons: Open, More bytes, Convert, Cancel, Quit, Help.
inline constexpr DialogRect kButtonUnits{7, 240, 52, 18};

// Picture 107, in pixels.
inline constexpr int kPictureWidth = 199;
inline constexpr int kPictureHeight = 341;

// Widths of the byte list's columns in pixels.
inline constexpr int kColumnWidths[4] = {80, 120, 100, 80};

inline QSize WindowPixels()
{
    return ToPixels(kWindowUnits).size();
}

} // namespace zorbik
