// The layout text file: the marks of a row store, one row a line,
// "ROW MARKER [TYPE]", and the settings beside them, "codepage N" and
// "trim". Empty lines and lines starting with '#' are ignored; rows not
// listed are unmarked and untyped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "layout/ConversionSettings.h"
#include "messages/Messages.h"
#include "marks/Marks.h"

namespace zorbik {

struct LayoutEntry {
    std::int32_t row = 0;
    MarkerKind marker = MarkerKind::Unmarked;
    FieldType type = FieldType::None;
    int line = 0; // line number in the file, from 1
};

struct LayoutParseError {
    int line = 0; // 0: no error
    std::string message;
    explicit operator bool() const { return line != 0; }
};

// The word of a marker in the file.
std::string_view MarkerWord(MarkerKind kind);

// Reads the text of a layout file for a source of `sourceSize` bytes, and
// the settings it names into `settings` (when given; the rest keep their
// values). Refuses malformed lines, unknown code pages, rows listed twice
// and rows at or past the end, with a message in `language` that names the
// line.
LayoutParseError ParseLayout(std::string_view text, std::uint32_t sourceSize, std::vector<LayoutEntry>& entries,
                             ConversionSettings* settings = nullptr, UiLanguage language = UiLanguage::English);

// Reads a layout file's text; false, with the reason in `error`, for a
// folder, an unreadable file and one too large to be a layout file.
bool ReadLayoutFile(const std::string& path, std::string& text, std::string& error);

// Puts the entries into `store`, which must already hold the rows.
void ApplyLayout(const std::vector<LayoutEntry>& entries, Marks& store);

// Every marked or typed row of `store`, in row order, as file text, after
// the settings that differ from the defaults.
std::string FormatLayout(const Marks& store, const ConversionSettings& settings = {});

} // namespace zorbik
