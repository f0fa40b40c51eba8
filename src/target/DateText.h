// A date as ISO 8601 writes it, the form CSV readers, SQLite's date
// functions and people all take: YYYY-MM-DD, and THH:MM:SS (with .mmm when
// there are milliseconds) when the value has a time of day.
#pragma once

#include <cstddef>

#include "codecs/FieldDecoders.h"

namespace zorbik {

// Room for the longest: "9999-12-31T23:59:59.999".
inline constexpr std::size_t kDateTextSize = 23;

// Writes the text to `out` (kDateTextSize bytes) and returns its length.
inline std::size_t DateText(const DateValue& date, char* out)
{
    const auto put = [&out](unsigned value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            out[i] = static_cast<char>('0' + value % 10);
        out += digits;
    };
    char* const start = out;
    put(static_cast<unsigned>(date.year), 4);
    *out++ = '-';
    put(date.month, 2);
    *out++ = '-';
    put(date.day, 2);
    if (date.hasTime) {
        const std::uint32_t ms = date.millisecond;
        *out++ = 'T';
        put(ms / 3600000, 2);
        *out++ = ':';
        put(ms / 60000 % 60, 2);
        *out++ = ':';
        put(ms / 1000 % 60, 2);
        if (ms % 1000 != 0) {
            *out++ = '.';
            put(ms % 1000, 3);
        }
    }
    return static_cast<std::size_t>(out - start);
}

} // namespace zorbik
