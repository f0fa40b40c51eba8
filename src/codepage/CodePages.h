// The code pages a source's texts can be written in. Text cells keep their
// bytes; the worksheet declares the page in its CODEPAGE record, so that
// spreadsheet programs show the right characters, and the byte list shows
// each byte as a character of the page. A worksheet can declare no EBCDIC
// page and not UTF-8: it gets their texts in 1252 (Windows1252Transcoder).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "messages/Messages.h"

namespace zorbik {

// Windows-1252, which worksheets declare when nothing else is said.
inline constexpr std::uint16_t kDefaultCodePage = 1252;
// UTF-8 by the number Windows gives it: a character of one to four bytes.
inline constexpr std::uint16_t kUtf8CodePage = 65001;

// The pages offered, each by number: DOS pages, Windows pages, EBCDIC
// pages, UTF-8.
const std::vector<std::uint16_t>& KnownCodePages();
bool IsKnownCodePage(unsigned number);
// The name of a known page as the window's choice shows it.
MessageId CodePageName(std::uint16_t codePage);
// The number as users write it: at least three digits ("037").
std::string CodePageNumber(std::uint16_t codePage);

// The families of the pages offered; 874 counts among the DOS pages.
enum class CodePageKind : std::uint8_t { Dos, Windows, Ebcdic, Utf8 };
CodePageKind KindOfCodePage(std::uint16_t codePage);
// The blank of the page: 40h in EBCDIC, 20h in the others; what "trim
// trailing blanks" removes (with zero bytes).
std::uint8_t BlankByte(std::uint16_t codePage);

// The character of `byte` in `codePage`; bytes a Windows page does not
// define give the C1 control of the same number, a byte of UTF-8 beyond
// ASCII (part of a character only) U+FFFD.
char32_t CodePageChar(std::uint8_t byte, std::uint16_t codePage);
// Whether the page has a character for `byte`.
bool CodePageDefines(std::uint8_t byte, std::uint16_t codePage);
// The same as UTF-8; an unknown page counts as 1252.
std::string CodePageCharUtf8(std::uint8_t byte, std::uint16_t codePage);

// Whether a worksheet holds the texts of `codePage` in 1252 instead of
// their own bytes: EBCDIC and UTF-8, which it cannot declare.
bool WorksheetTranscodes(std::uint16_t codePage);
// The value of the worksheet's CODEPAGE record for a source in `codePage`.
std::uint16_t CodePageRecordValue(std::uint16_t codePage);

namespace codepage_detail {

struct CodePageTable {
    std::uint16_t number;
    char16_t high[128]; // characters of 0x80 .. 0xFF
    std::uint64_t undefined[2]; // bit n: byte 0x80 + n has no character in the page
    const char16_t* low; // characters of 0x00 .. 0x7F (all defined); null for ASCII
};
extern const CodePageTable kCodePageTables[];
extern const std::size_t kCodePageTableCount;

} // namespace codepage_detail

} // namespace zorbik
