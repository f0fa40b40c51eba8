// Drawing helpers shared by all pictures: the fonts, classic 3D frames,
// push buttons and arrows, so that every picture looks like the same program.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <string_view>

namespace makepictures {

// Colours of the classic Windows look that the pictures imitate.
inline const QColor kFace(0xD4, 0xD0, 0xC8);
inline const QColor kShadow(0x80, 0x80, 0x80);
inline const QColor kDarkShadow(0x40, 0x40, 0x40);
inline const QColor kHighlight(0xFF, 0xFF, 0xFF);
inline const QColor kCaption(0x0A, 0x24, 0x6A);
inline const QColor kCaptionEnd(0xA6, 0xCA, 0xF0);
inline const QColor kInk(0x00, 0x00, 0x00);
inline const QColor kAccent(0x1F, 0x4E, 0x9A);

// DejaVu Sans at a pixel size; bold on request.
QFont UiFont(int pixelSize, bool bold = false);
// DejaVu Sans Condensed, for a wide row of controls in a narrow picture.
QFont CondensedUiFont(int pixelSize);

// A picture of the given size, filled with one colour, 24 bits per pixel.
QImage NewPicture(int width, int height, const QColor& fill);

// A painter for text and shapes with antialiasing on.
void PrepareSmooth(QPainter& painter);

// UTF-8 text of the core (row texts, messages) as a QString.
QString FromUtf8(std::string_view text);

// Sunken frame around a list or a sheet (two pixels), raised frame of a
// button or a window (two pixels).
void DrawSunkenFrame(QPainter& painter, const QRect& outer);
void DrawRaisedFrame(QPainter& painter, const QRect& outer);

// A push button with its caption centred, in `font` or else the 11-pixel
// UiFont; a default button gets the extra black frame.
void DrawButton(QPainter& painter, const QRect& rect, const QString& caption, bool isDefault = false,
                const QFont* font = nullptr);

// A window title bar with a caption, as the program's windows have it.
void DrawTitleBar(QPainter& painter, const QRect& rect, const QString& caption);

// A straight arrow with a filled head at `to`.
void DrawArrow(QPainter& painter, QPointF from, QPointF to, const QColor& color, qreal width = 2.0,
               qreal headLength = 8.0);

// A computer mouse seen from above, with its left or right button pressed
// (filled in the accent colour).
enum class MouseButton { Left, Right };
void DrawMouse(QPainter& painter, const QRectF& body, MouseButton pressed);

// Text inside a rectangle, cut with an ellipsis if it does not fit; reports
// a cut text on stderr so that a picture with clipped text is noticed.
void DrawCellText(QPainter& painter, const QRect& rect, Qt::Alignment alignment, const QString& text);

} // namespace makepictures
