// A number written as text (at most 20 bytes up to the first zero byte):
// read directly where it has the usual form, packed into a packed decimal
// otherwise.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codecs/LittleEndian.h"

namespace zorbik {

// The usual decimal text: blanks, an optional minus or plus sign, then
// digits with at most one decimal point or comma among them, at most 18
// digits, then blanks. Reads its digits, scale and sign directly, as they
// are once the blanks and the plus sign are left out; false for any other
// text, which takes the longer route.
inline bool ReadPlainDecimalText(const std::uint8_t* text, std::uint64_t& digits, int& scale, bool& negative)
{
    std::size_t i = 0;
    while (i < 20 && text[i] == ' ')
        ++i;
    negative = i < 20 && text[i] == '-';
    if (i < 20 && (text[i] == '-' || text[i] == '+'))
        ++i;
    const std::size_t first = i;
    std::size_t point = 0;
    bool hasPoint = false;
    std::uint64_t value = 0;
    for (; i < 20; ++i) {
        const unsigned d = text[i] - static_cast<unsigned>('0');
        if (d <= 9) {
            value = value * 10 + d;
        } else if ((text[i] == '.' || text[i] == ',') && !hasPoint) {
            hasPoint = true;
            point = i;
        } else {
            break;
        }
    }
    const std::size_t end = i;
    while (i < 20 && text[i] == ' ')
        ++i;
    if (i < 20 && text[i] != 0)
        return false;
    // More than 18 digits do not fit the packed form.
    const std::size_t count = end - first - (hasPoint ? 1 : 0);
    if (count > 18)
        return false;
    digits = value;
    scale = hasPoint ? static_cast<int>(end - 1 - point) : 0;
    return true;
}

namespace decimal_text {

constexpr std::uint64_t NotBlanks(std::uint64_t eight)
{
    return NonZeroBytes(eight ^ 0x2020202020202020ull);
}

// A digit's byte, less 30h, is below 10, and no other byte's is.
constexpr std::uint64_t NotDigits(std::uint64_t eight)
{
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t values = eight ^ 0x3030303030303030ull;
    return (((values & kLow7) + 0x7676767676767676ull) | values) & ~kLow7;
}

// The eight bytes from byte `i` on (i below 32), put together from two of
// the text's words of eight: a load of eight bytes that two stores wrote
// would wait until both have reached the cache.
inline std::uint64_t Window(const std::uint8_t (&text)[40], std::uint32_t i)
{
    const std::uint32_t word = i & ~7u;
    const unsigned shift = 8 * (i & 7);
    return LoadLe64(text + word) >> shift | (LoadLe64(text + word + 8) << 1) << (63 - shift);
}

// The first byte from byte `i` on that `outside` marks, eight bytes looked
// at a time.
template <class Marks>
std::uint32_t SkipTo(const std::uint8_t (&text)[40], std::uint32_t i, Marks outside)
{
    for (;; i += 8)
        if (const std::uint64_t marks = outside(Window(text, i)))
            return i + static_cast<std::uint32_t>(std::countr_zero(marks)) / 8;
}

} // namespace decimal_text

// Copies the first `count` bytes (at most 20) of a field to `text`, the
// rest of it zero bytes, in five stores of eight, which ShortestDecimalText
// and ConvertDecimal read.
inline void PadDecimalText(std::uint8_t (&text)[40], const std::uint8_t* bytes, std::uint32_t count)
{
    StoreLe64(text, LoadLeUpTo8(bytes, std::min<std::uint32_t>(count, 8)));
    StoreLe64(text + 8, count > 8 ? LoadLeUpTo8(bytes + 8, std::min<std::uint32_t>(count - 8, 8)) : 0);
    StoreLe64(text + 16, count > 16 ? LoadLeUpTo8(bytes + 16, std::min<std::uint32_t>(count - 16, 4)) : 0);
    StoreLe64(text + 24, 0);
    StoreLe64(text + 32, 0);
}

// Where a decimal text holds the shortest text of the double it reads as,
// the text std::to_chars writes, once its leading zeros are left out, and
// the zeros at the end of its decimals: blanks, an optional minus, the
// whole part ("0" alone before a point), then up to three decimals, then
// blanks and a zero byte or the text's end; at most 15 digits without the
// leading zeros, 18 with them. A whole number ends in at most four zeros
// (from five on the exponent form is shorter) and is not zero. `text` is a
// field's first 20 bytes with zero bytes after them, 40 bytes in all.
// Returns the length of the text from its first digit that counts (at most
// 16, with 16 bytes to read from there), found at `begin`, and says
// whether a minus goes before it; zero for any other text.
inline std::uint32_t ShortestDecimalText(const std::uint8_t (&text)[40], std::uint32_t& begin, bool& negative)
{
    using namespace decimal_text;
    std::uint32_t at = SkipTo(text, 0, NotBlanks);
    negative = text[at] == '-';
    at += negative ? 1 : 0;
    const std::uint32_t first = at;
    at = SkipTo(text, at, NotDigits);
    if (at == first)
        return 0;
    // Without its leading zeros, of which the first eight bytes tell, but
    // the last digit.
    const std::uint64_t notZeros = NonZeroBytes(Window(text, first) ^ 0x3030303030303030ull);
    const auto zeros = static_cast<std::uint32_t>(notZeros != 0 ? std::countr_zero(notZeros) / 8 : 8);
    std::uint32_t whole = first + std::min(zeros, at - first - 1);
    while (whole + 1 < at && text[whole] == '0') // from the ninth on
        ++whole;
    const std::uint32_t wholeDigits = at - whole;
    std::uint32_t end = at;
    std::uint32_t decimals = 0;
    if (text[at] == '.') {
        const std::uint32_t point = at;
        at = SkipTo(text, at + 1, NotDigits);
        decimals = at - point - 1;
        if (decimals == 0 || decimals > 3)
            return 0;
        // Without the zeros at the end of the decimals, and without the
        // point when all of them are zeros.
        end = at;
        while (text[end - 1] == '0')
            --end;
        if (end == point + 1)
            end = point;
    }
    if (end == whole + wholeDigits &&
        (text[whole] == '0' || (wholeDigits >= 5 && std::memcmp(text + end - 5, "00000", 5) == 0)))
        return 0;
    if (wholeDigits + decimals > 15 || (whole - first) + wholeDigits + decimals > 18)
        return 0;
    at = SkipTo(text, at, NotBlanks);
    if (text[at] != 0 || at > 20)
        return 0;
    begin = whole;
    return end - whole;
}

// Copies the text (up to its first zero byte, at most 20 bytes) without
// its blanks and plus signs into `compact`, zero-filled; false, with
// `compact` untouched, when the text has neither.
inline bool LeaveOutBlanksAndPlus(const std::uint8_t* text, std::uint8_t compact[20])
{
    std::size_t n = 0;
    bool left = false;
    for (std::size_t i = 0; i < 20 && text[i] != 0; ++i) {
        if (text[i] == ' ' || text[i] == '+')
            left = true;
        else
            compact[n++] = text[i];
    }
    if (!left)
        return false;
    std::memset(compact + n, 0, 20 - n);
    return true;
}

// Packs a text of any bytes, from its end: a point or comma sets the scale
// to the bytes after it, a minus the sign, every other byte is a digit of
// value byte - '0'; digits beyond the 18th land in the sign byte.
void PackDecimalText(const std::uint8_t* text, std::uint8_t packed[10]);

} // namespace zorbik
