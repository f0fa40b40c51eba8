// The layout file: the marks, one row a line, "ROW MARKER [TYPE [OPTION...]]", and the
// settings beside them, "codepage N" and "trim". Empty lines and lines
// starting with '#' are ignored; rows not listed are unmarked and untyped.
// The command, the window, the finder and the fuzzer all read and write
// layouts through these functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file/FileFailure.h"
#include "layout/ConversionSettings.h"
#include "marks/Marks.h"
#include "messages/Messages.h"

namespace zorbik {

// A layout as a file gives it: the marks and the settings it names.
struct Layout {
    Marks marks;
    ConversionSettings settings;
    bool operator==(const Layout&) const = default;
};

// Why a layout could not be read: the file itself (`file` failed), or its
// line `line` (from 1), with the reason in the user's language.
struct LayoutError {
    FileFailure file;
    int line = 0;
    std::string message;
    bool Failed() const { return file.Failed() || line != 0; }
    // The whole reason in one text: the file's path and why, or the line
    // and what is wrong there.
    std::string Describe(UiLanguage language) const;
};

struct LoadedLayout {
    Layout layout;
    LayoutError error;
};

// Whether `name` may name a column: 1 to 64 letters, digits, '_' and '-'
// (ASCII), so that every target takes it as it is.
bool IsColumnName(std::string_view name);
// What two names must differ in: SQLite, and people, take "City" and
// "CITY" for one name.
std::string NameKey(std::string_view name);

// The word of a marker in the file.
std::string_view MarkerWord(MarkerKind kind);

// A type's options as the file writes them after its word, each with a
// blank before it ("" without any): " big unsigned scale=2".
std::string FieldOptionWords(FieldType type, const FieldOptions& options);

// A row's traits as the file writes them after the options: " width=1 name=CITY".
std::string ColumnTraitWords(const ColumnTraits& traits);

// The options a type takes, as the file writes them, for messages and help.
std::string_view FieldOptionList(FieldType type);

// Reads the text of a layout file for a source of `sourceSize` bytes. The
// settings the text does not name keep the values of `defaults`. Refuses
// malformed lines, unknown code pages, rows listed twice and rows at or past
// the end of the source, naming the line.
LoadedLayout LoadLayout(std::string_view text, std::uint64_t sourceSize, UiLanguage language,
                        const ConversionSettings& defaults = {});

// Reads the layout file at `path` as LoadLayout reads its text; refuses a
// folder, an unreadable file and one too large to be a layout file.
LoadedLayout LoadLayoutFile(const std::string& path, std::uint64_t sourceSize, UiLanguage language,
                            const ConversionSettings& defaults = {});

// The text LoadLayout reads back as the same layout: the settings that
// differ from the defaults, then every marked or typed row in row order.
std::string FormatLayout(const Layout& layout);

} // namespace zorbik
