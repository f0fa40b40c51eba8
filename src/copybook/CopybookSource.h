// A copybook's text as the compiler's first pass sees it: the code of its
// lines (fixed or free format, comments and continuations resolved) cut
// into words and literals, and the words into entries at their periods.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "messages/Messages.h"

namespace zorbik {

struct CopybookToken {
    std::string text;  // as written; a literal with its quotes
    int line = 0;      // from 1
    int column = 0;    // from 1
    bool literal = false;
};

// Where the text itself is faulty, with the arguments of its message.
struct CopybookFault {
    MessageId id{};
    int line = 0;
    int column = 0;
    std::vector<std::string> args;
    bool Failed() const { return line != 0 || id != MessageId{}; }
};

// Calls `entry` with the words of each entry in turn (the last one may lack
// its period); stops when `entry` returns false or at the first fault of
// the text, which it returns.
CopybookFault ReadCopybookEntries(std::string_view text,
                                  const std::function<bool(const std::vector<CopybookToken>&)>& entry);

} // namespace zorbik
