#include "target/TargetFormat.h"

#include <array>

#include "codepage/CodePages.h"

namespace zorbik {
namespace {

struct FormatFacts {
    TargetFormat format;
    std::string_view word;
};

constexpr std::array<FormatFacts, 4> kFormats{{
    {TargetFormat::Xls, "xls"},
    {TargetFormat::Xlsx, "xlsx"},
    {TargetFormat::Csv, "csv"},
    {TargetFormat::Sqlite, "sqlite"},
}};

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != b[i])
            return false;
    return true;
}

} // namespace

std::optional<TargetFormat> FormatOfWord(std::string_view word)
{
    for (const FormatFacts& facts : kFormats)
        if (word == facts.word)
            return facts.format;
    return std::nullopt;
}

std::optional<TargetFormat> FormatOfPath(std::string_view path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    const std::string_view extension = path.substr(dot + 1);
    if (SameWord(extension, "db"))
        return TargetFormat::Sqlite;
    for (const FormatFacts& facts : kFormats)
        if (SameWord(extension, facts.word))
            return facts.format;
    return std::nullopt;
}

std::string_view FormatWord(TargetFormat format)
{
    return kFormats[static_cast<std::size_t>(format)].word;
}

bool FormatBuilt(TargetFormat format)
{
#ifdef ZORBIK_NO_LIBRARY_FORMATS
    return !WrittenAsFile(format);
#else
    (void)format;
    return true;
#endif
}

std::string ColumnLetters(std::uint32_t column)
{
    std::string letters;
    for (std::uint64_t n = std::uint64_t{column} + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

std::string SafeTableName(std::string_view base)
{
    std::string name;
    for (const char c : base) {
        const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        name += word ? c : '_';
    }
    if (name.find_first_not_of('_') == std::string::npos)
        return "records";
    if (name[0] >= '0' && name[0] <= '9')
        name.insert(0, "t_");
    return name;
}

std::uint16_t NotedCodePage(TargetFormat format, std::uint16_t sourcePage)
{
    return format == TargetFormat::Xls && WorksheetTranscodes(sourcePage) ? kDefaultCodePage : sourcePage;
}

} // namespace zorbik
