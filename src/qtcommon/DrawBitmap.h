// Draws a picture of the resources unscaled: the rectangle of `width` by
// `height` from its top-left corner, placed at (x, y). The picture is loaded
// anew at every call and nothing is kept. Used by the main window and the
// help window.
#pragma once

#include <QString>

class QPainter;

namespace zorbik {

// False when the picture cannot be loaded; nothing is drawn then.
bool DrawBitmap(QPainter& painter, const QString& resource, int x, int y, int width, int height);

} // namespace zorbik
