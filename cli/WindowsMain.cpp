// zorbik-convert's entry on Windows: the arguments are taken as UTF-16 from
// the system, whatever the console's code page, and handed on as UTF-8, the
// encoding of every path and text in the program; the console shows the
// messages as UTF-8 while the command runs. The default language is the
// user's display language.
#include <cstdio>
#include <io.h>
#include <iostream>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include "ConvertCommand.h"
#include "messages/Messages.h"

namespace {

std::string Utf8(const wchar_t* text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string utf8(static_cast<std::size_t>(n - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::vector<std::string> Utf8Arguments()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 1; argv != nullptr && i < argc; ++i)
        args.push_back(Utf8(argv[i]));
    ::LocalFree(argv);
    return args;
}

} // namespace

int main()
{
    const std::vector<std::string> args = Utf8Arguments();
    const UINT consoleCodePage = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(CP_UTF8);
    // The command takes the language as a locale name; the system's choice
    // is handed on as one.
    const bool german = zorbik::LanguageFromEnvironment() == zorbik::UiLanguage::German;
    zorbik::CommandIo io{std::cout, std::cerr, ::_isatty(::_fileno(stderr)) != 0, nullptr, nullptr,
                         german ? "de" : "en"};
    const int code = zorbik::RunConvertCommand(args, io);
    std::cout.flush();
    std::cerr.flush();
    if (consoleCodePage != 0)
        ::SetConsoleOutputCP(consoleCodePage);
    return code;
}
