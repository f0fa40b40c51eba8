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

// The character of `byte` in `codePage`; bytes a Windows page does not
// define give the C1 control of the same number.
char32_t CodePageChar(std::uint8_t byte, std::uint16_t codePage);
// Whether the page has a character for `byte`.
bool CodePageDefines(std::uint8_t byte, std::uint16_t codePage);
// The same as UTF-8 (bytes below 0x80 are
// ASCII in every page offered); an unknown page counts as 1252.
std::string CodePageCharUtf8(std::uint8_t byte, std::uint16_t codePage);

// The value of the worksheet's CODEPAGE record that declares `codePage`.
std::uint16_t CodePageRecordValue(std::uint16_t codePage);

namespace codepage_detail {

struct CodePageTable {
    std::uint16_t number;
    char16_t high[128]; // characters of 0x80 .. 0xFF
    std::uint64_t undefined[2]; // bit n: byte 0x80 + n has no character in the page
};
extern const CodePageTable kCodePageTables[];
extern const std::size_t kCodePageTableCount;

} // namespace codepage_detail

} // namespace zorbik
