// Why a file could not be used as a source or a target, kept apart from its
// words, so that the window and the command line can say it in the user's
// language.
#pragma once

#include <string>

#include "messages/Messages.h"

namespace zorbik {

struct FileFailure {
    enum class Kind {
        None,
        CannotOpen,   // the system refused to open it: systemError says why
        NotRegular,   // a folder, a device, a pipe
        SizeUnknown,
        Empty,
        TooLarge,     // 4 GiB and more
        Unreadable,   // opened, but its first byte cannot be read
        CannotCreate, // the system refused to create it: systemError says why
        IsSource,     // the chosen target is the source itself
        Exists,       // the target exists and may not be replaced
    };
    Kind kind = Kind::None;
    int systemError = 0; // errno, 0 when unknown
    std::string path;
};

// The path and the reason, in `language`. UTF-8.
std::string DescribeFileFailure(const FileFailure& failure, UiLanguage language);

} // namespace zorbik
