// How the fuzzer's bytes become a conversion, read front to back:
//
//   byte 0        options (Option bits)
//   text layout:  u16 length, then the text of a layout file
//   marks:        u8 count, then per mark u16 row, u8 marker, u8 field type
//                 (0 none, 1 Text, 2 BinInteger, 3 BinReal, 4 DecimalNumber,
//                 5 Bcd; each taken modulo 6)
//   FailWrites:   u16 bytes the target takes before a write fails
//   ShortSource:  u16 bytes of the source that can really be read
//   the rest      the source bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "source/RowStore.h"

namespace zorbik::fuzz {

enum Option : std::uint8_t {
    TextLayout = 1,  // the marks come as layout file text
    FailWrites = 2,  // the target fails part-way, like a full disk
    ShortSource = 4, // the source shrinks after its size was taken
    StopEarly = 16,  // a stop is asked for at the first progress report
};

struct FuzzMark {
    std::uint16_t row;
    MarkerKind marker;
    FieldType type;
};

struct FuzzInput {
    std::uint8_t options = 0;
    std::string layoutText;
    std::vector<FuzzMark> marks; // rows still to be taken modulo the source size
    std::uint32_t failAfter = 0;
    std::uint32_t readableBytes = 0;
    std::vector<std::uint8_t> source;
};

inline FuzzInput DecodeFuzzInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t pos = 0;
    auto u8 = [&]() -> std::uint8_t { return pos < size ? data[pos++] : 0; };
    auto u16 = [&] { return static_cast<std::uint16_t>(u8() | u8() << 8); };
    constexpr FieldType kTypes[6] = {FieldType::None,   FieldType::Text,          FieldType::BinInteger,
                                     FieldType::BinReal, FieldType::DecimalNumber, FieldType::Bcd};
    FuzzInput input;
    input.options = u8();
    if (input.options & TextLayout) {
        const std::size_t length = std::min<std::size_t>(u16(), size - std::min(pos, size));
        input.layoutText.assign(reinterpret_cast<const char*>(data) + pos, length);
        pos += length;
    } else {
        for (std::uint8_t count = u8(); count > 0 && size - std::min(pos, size) >= 4; --count) {
            const std::uint16_t row = u16();
            const auto marker = static_cast<MarkerKind>(u8() % 6);
            input.marks.push_back({row, marker, kTypes[u8() % 6]});
        }
    }
    if (input.options & FailWrites)
        input.failAfter = u16();
    if (input.options & ShortSource)
        input.readableBytes = u16();
    if (pos < size)
        input.source.assign(data + pos, data + size);
    return input;
}

} // namespace zorbik::fuzz
