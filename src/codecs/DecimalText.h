// A number written as text (at most 20 bytes up to the first zero byte):
// read directly where it has the usual form, packed into a packed decimal
// otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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
