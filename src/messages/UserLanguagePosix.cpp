#include <cstdlib>

#include "messages/Messages.h"

namespace zorbik {

UiLanguage LanguageFromEnvironment()
{
    return LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

} // namespace zorbik
