// How the fuzzer's bytes become a conversion: options, marks (or the text
// of a layout file) and the source bytes. The format is read front to back
// so that seed files can be written by hand (see make_seeds.py).
//
//   byte 0        options (Option bits)
//   text layout:  u16 length, then the layout file text
//   marks:        u8 count, then per mark u16 row, u8 marker, u8 field type
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
    TextLayout = 1,  // the marks come as layout file text through ParseLayout
    FailWrites = 2,  // the target fails part-way, like a full disk
    ShortSource = 4, // the source shrinks after its size was taken
    German = 8,      // the field type texts of the German interface
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

class ByteCursor {
public:
    ByteCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t U16() { return static_cast<std::uint16_t>(U8() | U8() << 8); }
    std::size_t Left() const { return size_ - pos_; }
    const std::uint8_t* Here() const { return data_ + pos_; }
    void Skip(std::size_t n) { pos_ += n < Left() ? n : Left(); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

inline FuzzInput DecodeFuzzInput(const std::uint8_t* data, std::size_t size)
{
    ByteCursor in(data, size);
    FuzzInput input;
    input.options = in.U8();
    if (input.options & TextLayout) {
        const std::size_t length = in.U16();
        const std::size_t taken = length < in.Left() ? length : in.Left();
        input.layoutText.assign(reinterpret_cast<const char*>(in.Here()), taken);
        in.Skip(taken);
    } else {
        const std::uint8_t count = in.U8();
        for (std::uint8_t i = 0; i < count && in.Left() >= 4; ++i) {
            FuzzMark mark;
            mark.row = in.U16();
            mark.marker = static_cast<MarkerKind>(in.U8() % 6);
            mark.type = static_cast<FieldType>(in.U8() % 6);
            input.marks.push_back(mark);
        }
    }
    if (input.options & FailWrites)
        input.failAfter = in.U16();
    if (input.options & ShortSource)
        input.readableBytes = in.U16();
    input.source.assign(in.Here(), in.Here() + in.Left());
    return input;
}

} // namespace zorbik::fuzz
