#include "marks/FieldType.h"

#include <algorithm>
#include <array>
#include <utility>

#include "marks/FieldOptions.h"

namespace zorbik {
namespace {

// A type's word in layout files, its narrowest and widest field and its
// name in the window, together.
struct TypeFacts {
    FieldType type;
    std::string_view word;
    std::uint32_t least, size;
    MessageId name;
};

constexpr std::array<TypeFacts, 12> kTypes = {{
    {FieldType::Text, "Text", 1, 255, MessageId::TypeText},
    {FieldType::BinInteger, "BinInteger", 1, 4, MessageId::TypeBinInteger},
    {FieldType::BinReal, "BinReal", 1, 8, MessageId::TypeBinReal},
    {FieldType::DecimalNumber, "DecimalNumber", 1, 20, MessageId::TypeDecimalNumber},
    {FieldType::Bcd, "Bcd", 1, 10, MessageId::TypeBcd},
    {FieldType::Integer, "Integer", 1, 8, MessageId::TypeInteger},
    {FieldType::Packed, "Packed", 1, 16, MessageId::TypePacked},
    {FieldType::Zoned, "Zoned", 1, 31, MessageId::TypeZoned},
    {FieldType::Extended, "Extended", 10, 10, MessageId::TypeExtended},
    {FieldType::Real48, "Real48", 6, 6, MessageId::TypeReal48},
    {FieldType::Date, "Date", 6, 8, MessageId::TypeDate},
    {FieldType::PascalText, "PascalText", 2, 256, MessageId::TypePascalText},
}};

const TypeFacts* FactsOf(FieldType type)
{
    for (const TypeFacts& facts : kTypes)
        if (facts.type == type)
            return &facts;
    return nullptr;
}

// The widths a field can have: least..most, or the one width of a form.
std::pair<std::uint32_t, std::uint32_t> WidthRange(FieldType type, const FieldOptions& options)
{
    if (type == FieldType::Date)
        return {DateWidth(options.date), DateWidth(options.date)};
    if (type == FieldType::Zoned && (options.sign == ZonedSign::SeparateLeading ||
                                     options.sign == ZonedSign::SeparateTrailing))
        return {2, 32};
    const TypeFacts* facts = FactsOf(type);
    return facts == nullptr ? std::pair<std::uint32_t, std::uint32_t>{1, 255} : std::pair{facts->least, facts->size};
}

} // namespace

MessageId FieldTypeName(FieldType type)
{
    const TypeFacts* facts = FactsOf(type);
    return facts != nullptr ? facts->name : MessageId::TypeNone;
}

std::string_view FieldTypeWord(FieldType type)
{
    const TypeFacts* facts = FactsOf(type);
    return facts != nullptr ? facts->word : std::string_view();
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
    const TypeFacts* facts = FactsOf(type);
    return facts != nullptr ? facts->size : 255;
}

std::string FieldTypeShort(FieldType type, const FieldOptions& options, UiLanguage language)
{
    // The name without its explanation in brackets, which the dialog
    // shows: the list's column has room for little more than a word.
    std::string text(Text(FieldTypeName(type), language));
    text.erase(std::min(text.size(), text.find(" (")));
    const auto add = [&text](bool given, std::string_view word) {
        if (given && !word.empty())
            (text += ' ') += word;
    };
    static constexpr std::string_view kSigns[] = {"", "L", "ST", "SL"};
    static constexpr std::string_view kForms[] = {"", "YYMMDD", "DDMMYYYY", "MMDDYYYY", "YYYYDDD", "TDateTime", "Julian"};
    switch (type) {
    case FieldType::Integer:
    case FieldType::Packed:
    case FieldType::Zoned:
    case FieldType::DecimalNumber:
    case FieldType::BinReal:
        add(options.scale != 0, std::to_string(options.scale));
        add(options.bigEndian && (type == FieldType::Integer || type == FieldType::BinReal), "BE");
        add(options.isUnsigned && (type == FieldType::Integer || type == FieldType::Packed), "U");
        add(type == FieldType::Zoned, kSigns[static_cast<int>(options.sign)]);
        add(options.ebcdic && type == FieldType::Zoned, "EBCDIC");
        add(options.ibm && type == FieldType::BinReal, "IBM");
        add(options.blankEmpty && type == FieldType::DecimalNumber, "dBASE");
        break;
    case FieldType::Date:
        add(true, kForms[static_cast<int>(options.date)]);
        break;
    case FieldType::Text:
        add(options.codePage != 0, "cp " + std::to_string(options.codePage));
        break;
    default:
        break;
    }
    return text;
}

bool FieldWidthFits(FieldType type, const FieldOptions& options, std::uint32_t bytes)
{
    if (IsDesignType(type))
        return type != FieldType::BinReal || !options.ibm || bytes == 4 || bytes == 8;
    const auto [least, most] = WidthRange(type, options);
    return bytes >= least && bytes <= most;
}

std::string FieldWidths(FieldType type, const FieldOptions& options)
{
    if (type == FieldType::BinReal && options.ibm)
        return "4, 8";
    const auto [least, most] = WidthRange(type, options);
    return least == most ? std::to_string(least) : std::to_string(least) + "\u2013" + std::to_string(most);
}

} // namespace zorbik
