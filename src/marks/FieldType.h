// The field types a row of the marks can carry: what the bytes of a column
// are and which cell they become. Numbered as the converter knows them;
// None is a row without a type of its own, whose column is text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "messages/Messages.h"

namespace zorbik {

enum class FieldType : std::uint8_t {
    Text = 0,
    BinInteger = 1,
    DecimalNumber = 2,
    BinReal = 3,
    Bcd = 4,
    None = 5,
    // The types of COBOL, Pascal and C records and of mainframe files.
    Integer = 6,
    Packed = 7,
    Zoned = 8,
    Extended = 9,
    Real48 = 10,
    Date = 11,
    PascalText = 12,
};

// Every type a column can have, in the order the window lists them.
inline constexpr FieldType kFieldTypes[] = {
    FieldType::Text,    FieldType::BinInteger, FieldType::BinReal, FieldType::DecimalNumber, FieldType::Bcd,
    FieldType::Integer, FieldType::Packed,     FieldType::Zoned,   FieldType::Extended,      FieldType::Real48,
    FieldType::Date,    FieldType::PascalText,
};

// The word of a type in layout files and in the command's output: "Text",
// "BinInteger", "BinReal", "DecimalNumber", "Bcd", "Integer", "Packed",
// "Zoned", "Extended", "Real48", "Date", "PascalText"; empty for None.
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

// Bytes a field of this type holds at most: 255, 4, 20, 8, 10 for the
// design's types, which take the first bytes of a longer field; the others
// refuse a field longer than this.
std::uint32_t FieldSize(FieldType type);

// Whether a field of `bytes` bytes can have this type with these options,
// and the widths it can have, as the user reads them ("1–8", "10").
struct FieldOptions;
bool FieldWidthFits(FieldType type, const FieldOptions& options, std::uint32_t bytes);
std::string FieldWidths(FieldType type, const FieldOptions& options);

// A type's name in the window with its options in short, as the byte
// list's type column shows it: "Packed 2" (two implied decimals),
// "Integer BE U" (big-endian, unsigned), "Date YYMMDD".
std::string FieldTypeShort(FieldType type, const FieldOptions& options, UiLanguage language);

// The types the design knew, which a field of any width can have.
constexpr bool IsDesignType(FieldType type)
{
    return static_cast<std::uint8_t>(type) <= static_cast<std::uint8_t>(FieldType::None);
}

} // namespace zorbik
