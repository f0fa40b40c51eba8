// The core speaks UTF-8 in std::string_view; Qt wants QString.
#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "messages/Messages.h"

namespace zorbik {

inline QString QtText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A catalogue text in the user's language.
inline QString QtText(MessageId id, UiLanguage language)
{
    return QtText(Text(id, language));
}

// A file name as the core's file layer takes it: UTF-8 on every system.
// (QFile::encodeName would give the ANSI code page on Windows.)
inline std::string CorePath(const QString& path)
{
    return path.toStdString();
}

} // namespace zorbik
