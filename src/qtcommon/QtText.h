// The core speaks UTF-8 in std::string_view; Qt wants QString.
#pragma once

#include <string_view>

#include <QString>

namespace zorbik {

inline QString QtText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace zorbik
