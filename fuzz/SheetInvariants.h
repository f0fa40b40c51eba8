// What every finished conversion must have written, checked record by record
// on the bytes: the fixed header, the dimensions, for every source record a
// ROW record with exactly one cell per column, of the kind the column's type
// calls for, and the fixed trailer, with nothing after it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "convert/ColumnWalk.h"
#include "layout/RecordLayout.h"
#include "sheet/SheetBytes.h"

namespace zorbik::fuzz {

[[noreturn]] inline void InvariantBroken(const char* what, std::size_t where)
{
    std::fprintf(stderr, "invariant broken: %s (at byte %zu)\n", what, where);
    std::abort();
}

inline void Require(bool condition, const char* what, std::size_t where = 0)
{
    if (!condition)
        InvariantBroken(what, where);
}

class SheetWalk {
public:
    explicit SheetWalk(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    // Reads the next record's type and body; returns the body.
    const std::uint8_t* Next(std::uint16_t& type, std::uint16_t& length)
    {
        Require(pos_ + 4 <= bytes_.size(), "record header past the end", pos_);
        type = Le16(pos_);
        length = Le16(pos_ + 2);
        Require(pos_ + 4 + length <= bytes_.size(), "record body past the end", pos_);
        const std::uint8_t* body = bytes_.data() + pos_ + 4;
        pos_ += 4u + length;
        return body;
    }
    std::size_t Pos() const { return pos_; }
    void Skip(std::size_t n) { pos_ += n; }

    static std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

private:
    std::uint16_t Le16(std::size_t at) const { return Le16(bytes_.data() + at); }
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
};

inline void CheckCell(SheetWalk& walk, const PlannedColumn& column, std::uint32_t row, std::uint32_t col)
{
    std::uint16_t type = 0;
    std::uint16_t length = 0;
    const std::size_t at = walk.Pos();
    const std::uint8_t* body = walk.Next(type, length);
    Require(length >= 7, "cell record too short", at);
    Require(SheetWalk::Le16(body) == static_cast<std::uint16_t>(row), "cell in the wrong row", at);
    Require(SheetWalk::Le16(body + 2) == static_cast<std::uint16_t>(col), "cell in the wrong column", at);
    Require(body[4] == 0x40 && body[5] == 0 && body[6] == 0, "cell attributes", at);
    switch (column.type) {
    case FieldType::None:
    case FieldType::Text:
        Require(type == 0x0004, "a text column gives a LABEL", at);
        Require(length == 8 + body[7], "LABEL length", at);
        Require(body[7] <= column.byteCount, "LABEL longer than its field", at);
        break;
    case FieldType::BinInteger:
        if (type == 0x0002) {
            Require(length == 9, "INTEGER length", at);
        } else {
            Require(type == 0x0003 && length == 15, "a binary integer gives an INTEGER or a NUMBER", at);
            double v = 0;
            std::memcpy(&v, body + 7, 8);
            Require(v == std::floor(v) && v >= -2147483648.0 && v <= 2147483647.0 && !(v >= 0 && v <= 65535),
                    "a NUMBER of a binary integer is a 32-bit integer outside 0..65535", at);
        }
        break;
    case FieldType::DecimalNumber:
    case FieldType::BinReal:
    case FieldType::Bcd:
        Require(type == 0x0003 && length == 15, "a number column gives a NUMBER", at);
        break;
    }
}

inline void CheckSheet(const std::vector<std::uint8_t>& bytes, const RecordLayout& layout, const ColumnPlan& plan)
{
    Require(plan.columns.size() == layout.columnCount, "the plan has one column per counted column");
    Require(bytes.size() >= kSheetHeader.size() + kSheetTrailer.size(), "file shorter than header and trailer");
    Require(std::memcmp(bytes.data(), kSheetHeader.data(), kSheetHeader.size()) == 0, "the fixed header");
    SheetWalk walk(bytes);
    walk.Skip(kSheetHeader.size());

    std::uint16_t type = 0;
    std::uint16_t length = 0;
    const std::uint8_t* body = walk.Next(type, length);
    Require(type == 0x0000 && length == 8, "DIMENSIONS follows the header", kSheetHeader.size());
    Require(SheetWalk::Le16(body + 2) == layout.recordCount && SheetWalk::Le16(body + 6) == layout.columnCount,
            "DIMENSIONS holds the counts");

    for (std::uint32_t k = 0; k < layout.recordCount; ++k) {
        const std::size_t at = walk.Pos();
        body = walk.Next(type, length);
        Require(type == 0x0008 && length == 13, "one ROW record per source record", at);
        Require(SheetWalk::Le16(body) == k && SheetWalk::Le16(body + 4) == layout.columnCount, "ROW contents", at);
        for (std::uint32_t c = 0; c < layout.columnCount; ++c)
            CheckCell(walk, plan.columns[c], k, c);
    }
    Require(bytes.size() - walk.Pos() == kSheetTrailer.size(), "the trailer ends the file", walk.Pos());
    Require(std::memcmp(bytes.data() + walk.Pos(), kSheetTrailer.data(), kSheetTrailer.size()) == 0,
            "the fixed trailer", walk.Pos());
}

} // namespace zorbik::fuzz
