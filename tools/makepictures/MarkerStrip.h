// The six marker icons of the byte list (bitmap 108): one 16 by 16 image per
// MarkerKind, drawn pixel by pixel so that they stay crisp.
#pragma once

#include <QImage>
#include <QPainter>

#include "source/Marks.h"

namespace makepictures {

inline constexpr int kIconSize = 16;

// The strip of all six icons in MarkerKind order: 96 by 16 pixels.
QImage MakeMarkerStrip();

// One icon, enlarged by a whole factor without smoothing.
QImage MarkerIcon(zorbik::MarkerKind kind, int scale = 1);

// Draws one icon with its top-left corner at (x, y).
void DrawMarker(QPainter& painter, int x, int y, zorbik::MarkerKind kind, int scale = 1);

} // namespace makepictures
