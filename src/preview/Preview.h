// The first records of a source as the worksheet would get them, to show
// while the user marks: made by the conversion itself into memory and read
// back cell by cell, so the preview and the target file cannot disagree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/PrepareConversion.h"
#include "file/SourceBytes.h"

namespace zorbik {

struct PreviewCell {
    enum class Kind : std::uint8_t { Text, Integer, Number };
    Kind kind = Kind::Text;
    std::string bytes; // a text cell's bytes, as the worksheet holds them
    double number = 0; // an integer or number cell's value
};

struct Preview {
    // False when the source could not be read (changed or shortened).
    bool read = false;
    std::vector<FieldType> columnTypes;
    std::vector<std::vector<PreviewCell>> rows;
};

// Converts the first `records` records of a conversion that PrepareConversion
// found no fault in. Reads the bytes of those records only.
Preview MakePreview(const SourceBytes& source, const PreparedConversion& prepared, std::uint32_t records);

// A cell as text: a text in the code page's characters, with tabs, line
// breaks and other control characters written \t, \n and \xHH (and a
// backslash as \\); a number as the shortest text that reads back to the
// same double. UTF-8.
std::string PreviewCellText(const PreviewCell& cell, std::uint16_t codePage);

// The worksheet's name of column `column` (from 0): A .. Z, AA, AB, ...
std::string ColumnLetters(std::uint32_t column);

} // namespace zorbik
