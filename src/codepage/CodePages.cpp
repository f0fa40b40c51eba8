#include "codepage/CodePages.h"

#include "codepage/Utf8.h"

namespace zorbik {
namespace {

using codepage_detail::CodePageTable;
using codepage_detail::kCodePageTableCount;
using codepage_detail::kCodePageTables;

struct OfferedPage {
    std::uint16_t number;
    MessageId name;
};

// The pages in the order the window offers them.
constexpr OfferedPage kOffered[] = {
    {437, MessageId::CodePage437},   {737, MessageId::CodePage737},   {850, MessageId::CodePage850},
    {852, MessageId::CodePage852},   {857, MessageId::CodePage857},   {861, MessageId::CodePage861},
    {865, MessageId::CodePage865},   {866, MessageId::CodePage866},   {874, MessageId::CodePage874},
    {1250, MessageId::CodePage1250}, {1251, MessageId::CodePage1251}, {1252, MessageId::CodePage1252},
    {1253, MessageId::CodePage1253}, {1254, MessageId::CodePage1254}, {1255, MessageId::CodePage1255},
    {1256, MessageId::CodePage1256}, {1257, MessageId::CodePage1257}, {1258, MessageId::CodePage1258},
    {37, MessageId::CodePage037},    {273, MessageId::CodePage273},   {500, MessageId::CodePage500},
    {1140, MessageId::CodePage1140}, {kUtf8CodePage, MessageId::CodePageUtf8},
};

const CodePageTable& TableOf(std::uint16_t codePage)
{
    const CodePageTable* fallback = nullptr;
    for (std::size_t i = 0; i < kCodePageTableCount; ++i) {
        if (kCodePageTables[i].number == codePage)
            return kCodePageTables[i];
        if (kCodePageTables[i].number == kDefaultCodePage)
            fallback = &kCodePageTables[i];
    }
    return *fallback;
}

} // namespace

const std::vector<std::uint16_t>& KnownCodePages()
{
    static const std::vector<std::uint16_t> pages = [] {
        std::vector<std::uint16_t> list;
        for (const OfferedPage& page : kOffered)
            list.push_back(page.number);
        return list;
    }();
    return pages;
}

bool IsKnownCodePage(unsigned number)
{
    for (const OfferedPage& page : kOffered)
        if (page.number == number)
            return true;
    return false;
}

MessageId CodePageName(std::uint16_t codePage)
{
    for (const OfferedPage& page : kOffered)
        if (page.number == codePage)
            return page.name;
    return MessageId::CodePage1252;
}

std::string CodePageNumber(std::uint16_t codePage)
{
    const std::string digits = std::to_string(codePage);
    return digits.size() < 3 ? std::string(3 - digits.size(), '0') + digits : digits;
}

CodePageKind KindOfCodePage(std::uint16_t codePage)
{
    if (codePage == kUtf8CodePage)
        return CodePageKind::Utf8;
    if (TableOf(codePage).low != nullptr)
        return CodePageKind::Ebcdic;
    return codePage >= 1250 && codePage <= 1258 ? CodePageKind::Windows : CodePageKind::Dos;
}

std::uint8_t BlankByte(std::uint16_t codePage)
{
    return KindOfCodePage(codePage) == CodePageKind::Ebcdic ? 0x40 : 0x20;
}

char32_t CodePageChar(std::uint8_t byte, std::uint16_t codePage)
{
    if (codePage == kUtf8CodePage)
        return byte < 0x80 ? byte : U'\uFFFD';
    const CodePageTable& table = TableOf(codePage);
    if (byte < 0x80)
        return table.low != nullptr ? table.low[byte] : byte;
    return table.high[byte - 0x80];
}

bool CodePageDefines(std::uint8_t byte, std::uint16_t codePage)
{
    if (byte < 0x80)
        return true;
    if (codePage == kUtf8CodePage)
        return false;
    const unsigned n = byte - 0x80u;
    return (TableOf(codePage).undefined[n / 64] >> (n % 64) & 1) == 0;
}

std::string CodePageCharUtf8(std::uint8_t byte, std::uint16_t codePage)
{
    char out[4];
    return std::string(out, WriteUtf8(CodePageChar(byte, codePage), out));
}

bool WorksheetTranscodes(std::uint16_t codePage)
{
    const CodePageKind kind = KindOfCodePage(codePage);
    return kind == CodePageKind::Ebcdic || kind == CodePageKind::Utf8;
}

std::uint16_t CodePageRecordValue(std::uint16_t codePage)
{
    // Worksheets of this format have always declared 1252 as 0x8001.
    return codePage == kDefaultCodePage || WorksheetTranscodes(codePage) ? 0x8001 : codePage;
}

} // namespace zorbik
