// Type-ahead in the byte list: the user types the start of a byte number
// and the list goes to the next row whose number starts with it, as a
// report list searches its first column. The rows' numbers are their
// indexes, so the row is worked out from the digits instead of reading
// every row's text: the same few steps for a page or a thousand.
#pragma once

#include <cstdint>
#include <string_view>

namespace zorbik {

// The first row from `start` on (then from row 0, wrapping round) of
// `rows` rows whose decimal number begins with `digits`; -1 when none does
// or `digits` holds anything but digits.
inline std::int64_t FirstRowWithPrefix(std::string_view digits, std::int64_t start, std::int64_t rows)
{
    if (digits.empty() || rows <= 0 || digits.size() > 10)
        return -1;
    std::int64_t prefix = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        prefix = prefix * 10 + (c - '0');
    }
    // Numbers have no leading zeros: "0" is row 0 alone.
    if (digits[0] == '0')
        return digits.size() == 1 ? 0 : -1;
    start = start < 0 || start >= rows ? 0 : start;
    // The numbers that begin with the prefix lie in the ranges
    // [prefix * 10^k, (prefix + 1) * 10^k - 1], k = 0, 1, 2, ...
    std::int64_t found = -1;
    for (std::int64_t scale = 1; prefix * scale < rows; scale *= 10) {
        const std::int64_t low = prefix * scale;
        const std::int64_t high = (prefix + 1) * scale - 1;
        const std::int64_t candidate = low > start ? low : start;
        if (candidate <= high && candidate < rows && (found < 0 || candidate < found))
            found = candidate;
    }
    if (found >= 0)
        return found;
    return prefix < start ? prefix : -1;
}

} // namespace zorbik
