// UTF-8 read and written one character at a time: for the targets that
// decode the texts of a UTF-8 source, the worksheet's transcoder and the
// preview.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorbik {

// What ReadUtf8 gives for bytes that are no character.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

struct Utf8Step {
    char32_t c;          // the character, or kNotUtf8
    std::uint32_t bytes; // 1 to 4
};

// The character that begins `text[0 .. n)`, n >= 1. Bytes that are no
// character give kNotUtf8 and the length of their longest start that could
// still have become one (at least a byte), so that each invalid or cut-off
// sequence stands for one replacement character, as Unicode advises:
// overlong forms, surrogates and numbers past U+10FFFF are refused at the
// first byte that shows them.
inline Utf8Step ReadUtf8(const std::uint8_t* text, std::size_t n)
{
    const std::uint8_t first = text[0];
    if (first < 0x80)
        return {first, 1};
    std::uint32_t more;
    char32_t c;
    std::uint8_t low = 0x80, high = 0xBF; // the range of the second byte
    if (first >= 0xC2 && first <= 0xDF) {
        more = 1;
        c = first & 0x1Fu;
    } else if (first >= 0xE0 && first <= 0xEF) {
        more = 2;
        c = first & 0x0Fu;
        low = first == 0xE0 ? 0xA0 : 0x80;
        high = first == 0xED ? 0x9F : 0xBF;
    } else if (first >= 0xF0 && first <= 0xF4) {
        more = 3;
        c = first & 0x07u;
        low = first == 0xF0 ? 0x90 : 0x80;
        high = first == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {kNotUtf8, 1};
    }
    for (std::uint32_t i = 1; i <= more; ++i) {
        if (i >= n || text[i] < low || text[i] > high)
            return {kNotUtf8, i};
        c = c << 6 | (text[i] & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return {c, more + 1};
}

// Writes `c` (below U+110000) as UTF-8 to `out`; returns the bytes written.
inline std::size_t WriteUtf8(char32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | c >> 6);
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | c >> 12);
        out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | c >> 18);
    out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

} // namespace zorbik
