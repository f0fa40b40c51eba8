// The field types a row of the marks can carry: what the bytes of a column
// are and which cell they become. Numbered as the converter knows them;
// None is a row without a type of its own, whose column is text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "messages/Messages.h"

namespace zorbik {

enum class FieldType : std::uint8_t { Text = 0, BinInteger = 1, DecimalNumber = 2, BinReal = 3, Bcd = 4, None = 5 };

// The word of a type in layout files and in the command's output: "Text",
// "BinInteger", "BinReal", "DecimalNumber", "Bcd"; empty for None.
std::string_view FieldTypeWord(FieldType type);

// The name of a type in the window; a row without a type shows "?-Feldtyp".
MessageId FieldTypeName(FieldType type);

// The type a word names, or nothing for an unknown word.
std::optional<FieldType> FieldTypeFromWord(std::string_view word);

// The type a column converts as: a row without a type gives text.
constexpr FieldType ConvertedType(FieldType type)
{
    return type == FieldType::None ? FieldType::Text : type;
}

// Bytes a field of this type holds at most: 255, 4, 20, 8, 10.
std::uint32_t FieldSize(FieldType type);

} // namespace zorbik
