// The texts of one byte-list row: byte number, character, hexadecimal value.
#pragma once

#include <cstdint>
#include <string>

#include "messages/Messages.h"

namespace zorbik {

// Decimal digits of an unsigned 32-bit number, no sign, no separators.
std::string FormatDecimal(std::uint32_t value);

// "00h" to "FFh", upper-case digits.
std::string FormatHexByte(std::uint8_t byte);

// The character column of a byte: the control-character name for the
// characters U+0000 to U+0020, otherwise the byte between double quotes
// behind "ANSI-Zeichen:" / "ANSI-character:", as a character of
// `codePage` (U+FFFD for a byte of UTF-8 beyond ASCII). UTF-8.
std::string ByteCharText(std::uint8_t byte, UiLanguage language, std::uint16_t codePage = 1252);

} // namespace zorbik
