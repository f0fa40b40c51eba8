#include <clocale>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

#include "ConvertCommand.h"

int main(int argc, char** argv)
{
    // The user's locale, as the window has it: the libraries the targets
    // use must write their numbers the same under every locale.
    std::setlocale(LC_ALL, "");
    std::vector<std::string> args(argv + 1, argv + argc);
    zorbik::CommandIo io{std::cout, std::cerr, ::isatty(2) == 1, std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                         std::getenv("LANG")};
    const int code = zorbik::RunConvertCommand(args, io);
    std::cout.flush();
    return code;
}
