#include "marks/FieldType.h"

#include <array>

namespace zorbik {
namespace {

// A type's word in layout files, its widest field and its name in the
// window, together.
struct TypeFacts {
    FieldType type;
    std::string_view word;
    std::uint32_t size;
    MessageId name;
};

constexpr std::array<TypeFacts, 5> kTypes = {{
    {FieldType::Text, "Text", 255, MessageId::TypeText},
    {FieldType::BinInteger, "BinInteger", 4, MessageId::TypeBinInteger},
    {FieldType::BinReal, "BinReal", 8, MessageId::TypeBinReal},
    {FieldType::DecimalNumber, "DecimalNumber", 20, MessageId::TypeDecimalNumber},
    {FieldType::Bcd, "Bcd", 10, MessageId::TypeBcd},
}};

} // namespace

MessageId FieldTypeName(FieldType type)
{
    for (const TypeFacts& facts : kTypes)
        if (facts.type == type)
            return facts.name;
    return MessageId::TypeNone;
}

std::string_view FieldTypeWord(FieldType type)
{
    for (const TypeFacts& facts : kTypes)
        if (facts.type == type)
            return facts.word;
    return {};
}

std::optional<FieldType> FieldTypeFromWord(std::string_view word)
{
    for (const TypeFacts& facts : kTypes)
        if (facts.word == word)
            return facts.type;
    return std::nullopt;
}

std::uint32_t FieldSize(FieldType type)
{
    for (const TypeFacts& facts : kTypes)
        if (facts.type == type)
            return facts.size;
    return 255;
}

} // namespace zorbik
