// Why a file could not be used as a source, a target or a layout file, kept
// apart from its words, so that the window and the command line can say it
// in the user's language.
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
        Unreadable,   // opened, but its first byte cannot be read
        CannotCreate, // the system refused to create it: systemError says why
        IsSource,     // the chosen target is the source itself
        Exists,       // the target exists and may not be replaced
        LayoutIsFolder, // a layout file that is a folder
        LayoutTooLarge, // a layout file too large to be one
    };
    Kind kind = Kind::None;
    int systemError = 0; // errno, 0 when unknown
    std::string path;
    bool Failed() const { return kind != Kind::None; }
};

// The path and the reason, in `language`. UTF-8.
std::string DescribeFileFailure(const FileFailure& failure, UiLanguage language);

} // namespace zorbik
