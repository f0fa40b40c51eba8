// What the user chooses beside the marks: the code page the source's texts
// are in, and whether text cells lose their trailing blanks and zero bytes.
#pragma once

#include <cstdint>

#include "codepage/CodePages.h"

namespace zorbik {

struct ConversionSettings {
    std::uint16_t codePage = kDefaultCodePage;
    bool trimTexts = false;
    bool operator==(const ConversionSettings&) const = default;
};

} // namespace zorbik
