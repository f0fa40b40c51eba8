// The help text of a language: Windows-1252 bytes with CR LF line breaks in
// the resources, turned into one string per line.
#pragma once

#include <QByteArray>
#include <QStringList>

#include "messages/Messages.h"

namespace zorbik {

// Splits Windows-1252 text at CR LF; a text ending in CR LF ends with an
// empty line. A lone CR or LF stays part of its line.
QStringList HelpLinesFromBytes(const QByteArray& bytes);

// The help text of `language` from the resources; empty when missing.
QStringList LoadHelpText(UiLanguage language);

} // namespace zorbik
