#include "codepage/CodePages.h"

namespace zorbik {
namespace {

using codepage_detail::CodePageTable;
using codepage_detail::kCodePageTableCount;
using codepage_detail::kCodePageTables;

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
        for (std::size_t i = 0; i < kCodePageTableCount; ++i)
            list.push_back(kCodePageTables[i].number);
        return list;
    }();
    return pages;
}

bool IsKnownCodePage(unsigned number)
{
    for (const std::uint16_t page : KnownCodePages())
        if (page == number)
            return true;
    return false;
}

MessageId CodePageName(std::uint16_t codePage)
{
    // The names stand in the catalogue in the order of the tables.
    for (std::size_t i = 0; i < kCodePageTableCount; ++i)
        if (kCodePageTables[i].number == codePage)
            return static_cast<MessageId>(static_cast<std::size_t>(MessageId::CodePage437) + i);
    return MessageId::CodePage1252;
}

char32_t CodePageChar(std::uint8_t byte, std::uint16_t codePage)
{
    return byte < 0x80 ? byte : TableOf(codePage).high[byte - 0x80];
}

bool CodePageDefines(std::uint8_t byte, std::uint16_t codePage)
{
    if (byte < 0x80)
        return true;
    const unsigned n = byte - 0x80u;
    return (TableOf(codePage).undefined[n / 64] >> (n % 64) & 1) == 0;
}

std::string CodePageCharUtf8(std::uint8_t byte, std::uint16_t codePage)
{
    const char32_t cp = CodePageChar(byte, codePage);
    std::string out;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return out;
}

std::uint16_t CodePageRecordValue(std::uint16_t codePage)
{
    // Worksheets of this format have always declared 1252 as 0x8001.
    return codePage == kDefaultCodePage ? 0x8001 : codePage;
}

} // namespace zorbik
