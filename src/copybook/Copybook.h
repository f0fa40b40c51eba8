// A COBOL copybook read as the record it describes: the data description
// entries of a program's record (levels, PICTURE, USAGE, SIGN, OCCURS,
// REDEFINES, SYNC …) laid out byte by byte as the common compilers lay them
// out, each elementary item with a name becoming one field of the record.
// Copybooks come from strangers: every size the reader works with is
// bounded, and what it cannot take is refused with its line and column.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "layout/RecordDescription.h"
#include "messages/Messages.h"

namespace zorbik {

// What the text alone does not say: whether the file comes from a mainframe
// (EBCDIC texts and zoned digits, big-endian COMP-5, IBM hexadecimal
// COMP-1/COMP-2), and the code page of its texts; 0 takes 037 for the
// mainframe and the program's default page otherwise.
struct CopybookOptions {
    bool mainframe = false;
    std::uint16_t codePage = 0;
};

// The bounds a copybook must keep; larger ones are refused with a message.
inline constexpr std::size_t kMaxCopybookBytes = 8u << 20;
inline constexpr std::size_t kMaxCopybookLine = 4096;
inline constexpr std::size_t kMaxEntryWords = 10000;
inline constexpr std::size_t kMaxCopybookItems = 100000;
inline constexpr std::uint64_t kMaxCopybookRecord = 16u << 20;
inline constexpr std::size_t kMaxCopybookFields = 65534;

// Why a copybook could not be read: the message in the user's language with
// the line and column (from 1) where the reader stopped; line 0 when the
// text as a whole is refused.
struct CopybookError {
    MessageId id{};
    int line = 0;
    int column = 0;
    std::string message;
    bool Failed() const { return !message.empty(); }
};

struct Copybook {
    RecordDescription description;
    // What was read but does not convert as written (RENAMES, OCCURS
    // DEPENDING ON, REDEFINES, slack bytes, further records, names given
    // twice), each a line in the user's language.
    std::vector<std::string> notes;
    CopybookError error;
};

// Reads the copybook `text`, in fixed format (sequence area, indicator
// column, code in columns 8 to 72) or free format, whichever its lines are
// (a ">>SOURCE FORMAT" directive decides where there is one).
Copybook ReadCopybook(std::string_view text, const CopybookOptions& options, UiLanguage language);

} // namespace zorbik
