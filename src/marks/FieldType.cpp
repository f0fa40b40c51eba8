#include "marks/FieldType.h"

#include <array>

namespace zorbik {
namespace {

struct TypeFacts {
    FieldType type;
    std::string_view word;
    std::uint32_t size;
};

constexpr std::array<TypeFacts, 5> kTypes = {{
    {FieldType::Text, "Text", 255},
    {FieldType::BinInteger, "BinInteger", 4},
    {FieldType::BinReal, "BinReal", 8},
    {FieldType::DecimalNumber, "DecimalNumber", 20},
    {FieldType::Bcd, "Bcd", 10},
}};

} // namespace

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
