// The code pages a source's texts can be written in. Text cells keep their
// bytes; the worksheet declares the page in its CODEPAGE record, so that
// spreadsheet programs show the right characters, and the byte list shows
// each byte as a character of the page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "messages/Messages.h"

namespace zorbik {

// Windows-1252, which worksheets declare when nothing else is said.
inline constexpr std::uint16_t kDefaultCodePage = 1252;

// The pages offered: DOS pages first, then Windows pages, each by number.
const std::vector<std::uint16_t>& KnownCodePages();
bool IsKnownCodePage(unsigned number);
// The name of a known page as the window's choice shows it.
MessageId CodePageName(std::uint16_t codePage);

// The character of `byte` in `codePage` as UTF-8 (bytes below 0x80 are
// ASCII in every page offered); an unknown page counts as 1252.
std::string CodePageCharUtf8(std::uint8_t byte, std::uint16_t codePage);

// The value of the worksheet's CODEPAGE record that declares `codePage`.
std::uint16_t CodePageRecordValue(std::uint16_t codePage);

namespace codepage_detail {

struct CodePageTable {
    std::uint16_t number;
    char16_t high[128]; // characters of 0x80 .. 0xFF
};
extern const CodePageTable kCodePageTables[];
extern const std::size_t kCodePageTableCount;

} // namespace codepage_detail

} // namespace zorbik
