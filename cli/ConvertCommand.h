// zorbik-convert: converts a source file with a layout file into a
// worksheet, the same way the window's Convert does.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zorbik {

enum ExitCode : int {
    ExitOk = 0,
    ExitLayoutFault = 1, // the marks do not describe a record
    ExitUsage = 2,       // bad arguments, bad layout file, unusable source or target
    ExitWriteFailed = 3, // the target could not be written (or the source read) to the end
};

struct CommandIo {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    // Locale variables, for the default language.
    const char* lcAll = nullptr;
    const char* lcMessages = nullptr;
    const char* lang = nullptr;
};

int RunConvertCommand(const std::vector<std::string>& args, CommandIo& io);

} // namespace zorbik
