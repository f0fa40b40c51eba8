// The first records of a source as every target gets them, to show while
// the user marks: made by the conversion's own record loop, so the preview
// and the target file cannot disagree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/PrepareConversion.h"
#include "file/SourceBytes.h"
#include "target/TargetFormat.h"

namespace zorbik {

struct PreviewCell {
    enum class Kind : std::uint8_t { Text, Integer, Number, Date, Empty, Invalid };
    Kind kind = Kind::Text;
    // A text cell's bytes, in the source's code page; an integer's digits;
    // a date's ISO 8601 text.
    std::string bytes;
    double number = 0; // a number cell's value
};

struct Preview {
    // False when the source could not be read (changed or shortened).
    bool read = false;
    std::vector<FieldType> columnTypes;
    std::vector<std::uint16_t> columnPages; // a text column's own page, 0 for the source's
    std::vector<std::string> columnNames;   // as the targets name the columns
    std::vector<std::vector<PreviewCell>> rows;
};

// Converts the first `records` records of a conversion that PrepareConversion
// found no fault in. Reads the bytes of those records only.
Preview MakePreview(const SourceBytes& source, const PreparedConversion& prepared, std::uint32_t records);

// A cell as text: a text in the code page's characters, with tabs, line
// breaks and other control characters written \t, \n and \xHH, HH the
// byte (and a backslash as \\); UTF-8's invalid sequences as U+FFFD; a
// number as the shortest text that reads back to the same double; a date
// as ISO 8601 writes it; an invalid field as a word of `language` that
// says so, an empty one as nothing. UTF-8.
std::string PreviewCellText(const PreviewCell& cell, std::uint16_t codePage, UiLanguage language);

} // namespace zorbik
