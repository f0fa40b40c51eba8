// The constant parts of a worksheet file.
#pragma once

#include <array>
#include <cstdint>

namespace zorbik {

extern const std::array<std::uint8_t, 680> kSheetHeader;
extern const std::array<std::uint8_t, 55> kSheetTrailer;

} // namespace zorbik
