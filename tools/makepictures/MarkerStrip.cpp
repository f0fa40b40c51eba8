#include "MarkerStrip.h"

#include <array>
#include <string>

namespace makepictures {
namespace {

using Art = std::array<const char*, kIconSize>;

// Pixel art, one string per pixel row. g grey frame, . white, k black,
// r red, b blue, G bright green, d dark green.
constexpr std::array<Art, 6> kArt = {{
    // Unmarked: black X on white.
    {"gggggggggggggggg", "g..............g", "g..............g", "g..kk......kk..g", "g...kk....kk...g",
     "g....kk..kk....g", "g.....kkkk.....g", "g......kk......g", "g......kk......g", "g.....kkkk.....g",
     "g....kk..kk....g", "g...kk....kk...g", "g..kk......kk..g", "g..............g", "g..............g",
     "gggggggggggggggg"},
    // LineBegin: red arrow pointing down from a red bar along the top.
    {"gggggggggggggggg", "g..............g", "g.rrrrrrrrrrrr.g", "g.rrrrrrrrrrrr.g", "g......rr......g",
     "g......rr......g", "g......rr......g", "g......rr......g", "g......rr......g", "g...rrrrrrrr...g",
     "g....rrrrrr....g", "g.....rrrr.....g", "g......rr......g", "g..............g", "g..............g",
     "gggggggggggggggg"},
    // ColumnBegin: solid blue triangle pointing down.
    {"gggggggggggggggg", "g..............g", "g..............g", "g..............g", "g..............g",
     "g.bbbbbbbbbbbb.g", "g..bbbbbbbbbb..g", "g...bbbbbbbb...g", "g....bbbbbb....g", "g.....bbbb.....g",
     "g......bb......g", "g..............g", "g..............g", "g..............g", "g..............g",
     "gggggggggggggggg"},
    // ByteMark: bright green letter B on dark green.
    {"gggggggggggggggg", "gddddddddddddddg", "gddddddddddddddg", "gdddGGGGGGGddddg", "gdddGGddddGGdddg",
     "gdddGGddddGGdddg", "gdddGGdddGGddddg", "gdddGGGGGGGddddg", "gdddGGddddGGdddg", "gdddGGddddGGdddg",
     "gdddGGddddGGdddg", "gdddGGddddGGdddg", "gdddGGGGGGGddddg", "gddddddddddddddg", "gddddddddddddddg",
     "gggggggggggggggg"},
    // ColumnEnd: solid blue triangle pointing up.
    {"gggggggggggggggg", "g..............g", "g..............g", "g..............g", "g..............g",
     "g......bb......g", "g.....bbbb.....g", "g....bbbbbb....g", "g...bbbbbbbb...g", "g..bbbbbbbbbb..g",
     "g.bbbbbbbbbbbb.g", "g..............g", "g..............g", "g..............g", "g..............g",
     "gggggggggggggggg"},
    // LineEnd: red arrow pointing down onto a red bar along the bottom.
    {"gggggggggggggggg", "g..............g", "g..............g", "g......rr......g", "g......rr......g",
     "g......rr......g", "g......rr......g", "g...rrrrrrrr...g", "g....rrrrrr....g", "g.....rrrr.....g",
     "g......rr......g", "g..............g", "g.rrrrrrrrrrrr.g", "g.rrrrrrrrrrrr.g", "g..............g",
     "gggggggggggggggg"},
}};

constexpr bool ArtIsSquare()
{
    for (const Art& art : kArt) {
        for (const char* row : art) {
            if (std::char_traits<char>::length(row) != kIconSize)
                return false;
        }
    }
    return true;
}
static_assert(ArtIsSquare(), "every icon row has 16 pixels");

QRgb PaletteColour(char c)
{
    switch (c) {
    case 'g':
        return qRgb(0x80, 0x80, 0x80);
    case 'k':
        return qRgb(0x00, 0x00, 0x00);
    case 'r':
        return qRgb(0xE0, 0x00, 0x00);
    case 'b':
        return qRgb(0x00, 0x30, 0xD0);
    case 'G':
        return qRgb(0x30, 0xFF, 0x30);
    case 'd':
        return qRgb(0x00, 0x64, 0x00);
    default:
        return qRgb(0xFF, 0xFF, 0xFF);
    }
}

} // namespace

QImage MarkerIcon(zorbik::MarkerKind kind, int scale)
{
    const Art& art = kArt[static_cast<std::size_t>(kind)];
    QImage icon(kIconSize * scale, kIconSize * scale, QImage::Format_RGB888);
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x)
            icon.setPixel(x, y, PaletteColour(art[static_cast<std::size_t>(y / scale)][x / scale]));
    }
    return icon;
}

QImage MakeMarkerStrip()
{
    QImage strip(kIconSize * 6, kIconSize, QImage::Format_RGB888);
    QPainter painter(&strip);
    for (int kind = 0; kind < 6; ++kind)
        painter.drawImage(kind * kIconSize, 0, MarkerIcon(static_cast<zorbik::MarkerKind>(kind)));
    return strip;
}

void DrawMarker(QPainter& painter, int x, int y, zorbik::MarkerKind kind, int scale)
{
    painter.drawImage(x, y, MarkerIcon(kind, scale));
}

} // namespace makepictures
