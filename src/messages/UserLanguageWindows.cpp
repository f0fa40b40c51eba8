// On Windows the user's display language decides, as it does for every
// other program there; the POSIX locale variables are not part of it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "messages/Messages.h"

namespace zorbik {

UiLanguage LanguageFromEnvironment()
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN ? UiLanguage::German : UiLanguage::English;
}

} // namespace zorbik
