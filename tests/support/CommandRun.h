// Runs zorbik-convert's command in this process, with its output caught.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "ConvertCommand.h"

namespace zorbik::testing {

struct CommandRun {
    int code;
    std::string out;
    std::string err;
};

inline CommandRun Convert(const std::vector<std::string>& args, const char* lang = "en_US.UTF-8")
{
    std::ostringstream out;
    std::ostringstream err;
    CommandIo io{out, err, false, nullptr, nullptr, lang};
    const int code = RunConvertCommand(args, io);
    return {code, out.str(), err.str()};
}

inline bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace zorbik::testing
