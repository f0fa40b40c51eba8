// The ten pictures of the help text: which picture stands at which text
// line, and where across. The same in both languages; each text leaves a
// run of empty lines there.
#pragma once

#include <array>
#include <cstdint>

namespace zorbik {

struct HelpPicture {
    int bitmapId;           // the picture's number, resources/help/bitmap<id>.png
    std::uint32_t topLine;  // text line of its top edge, from 0
    int x;                  // pixels from the left
    int width;              // pixels, the picture's own size
    int height;
};

// In drawing order.
inline constexpr std::array<HelpPicture, 10> kHelpPictures = {{
    {105, 24, 160, 386, 64},
    {115, 65, 160, 387, 152},
    {101, 83, 160, 474, 65},
    {100, 106, 160, 268, 99},
    {119, 134, 160, 275, 121},
    {118, 192, 160, 273, 186},
    {120, 228, 160, 284, 122},
    {116, 311, 60, 572, 259},
    {121, 391, 160, 291, 54},
    {122, 426, 4, 664, 62},
}};

} // namespace zorbik
