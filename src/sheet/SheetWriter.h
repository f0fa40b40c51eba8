// Writes a BIFF2 worksheet: the fixed header, DIMENSIONS, then per record a
// ROW record and its cells (LABEL, INTEGER, NUMBER), then the fixed trailer.
// Every cell uses the default format; only the low 16 bits of row and
// column numbers reach the file.
#pragma once

#include <cstdint>
#include <cstring>

#include "codecs/LittleEndian.h"
#include "sheet/OutputBuffer.h"

namespace zorbik {

// The row and column of a cell as its record carries them (bytes 4 to 7 of
// the record, little-endian), made once and stepped from column to column.
class CellAddress {
public:
    CellAddress(std::uint32_t row, std::uint32_t column)
        : bits_(std::uint64_t{row & 0xFFFF} << 32 | std::uint64_t{column & 0xFFFF} << 48)
    {
    }
    // The next column; bits carried out of the column's 16 vanish.
    CellAddress NextColumn() const { return CellAddress(bits_ + (std::uint64_t{1} << 48)); }
    std::uint64_t Bits() const { return bits_; }

private:
    explicit CellAddress(std::uint64_t bits) : bits_(bits) {}
    std::uint64_t bits_;
};

class SheetWriter {
public:
    explicit SheetWriter(OutputBuffer& out) : out_(out) {}

    // The fixed header, its CODEPAGE record holding `codePageRecord`.
    void WriteSheetHeader(std::uint16_t codePageRecord);
    void WriteDimensions(std::uint32_t recordCount, std::uint32_t columnCount);
    void WriteSheetTrailer();

    // Sizes of the records a row is made of.
    static constexpr std::uint32_t kRowRecordSize = 17;
    static constexpr std::uint32_t kIntegerCellSize = 13;
    static constexpr std::uint32_t kNumberCellSize = 19;
    static constexpr std::uint32_t kMaxLabel = 255;
    static constexpr std::uint32_t LabelCellSize(std::uint32_t n) { return 12 + n; }

    // The encoders of a row's records, for a caller that reserves room for
    // a whole row at once: each fills one record at `at` and returns the
    // byte after it. A text is cut to 255 bytes.
    static std::uint8_t* PutRowRecord(std::uint8_t* at, std::uint32_t row, std::uint32_t columnCount);
    static std::uint8_t* PutLabelCell(std::uint8_t* at, CellAddress cell, const std::uint8_t* text,
                                      std::uint32_t n);
    static std::uint8_t* PutIntegerCell(std::uint8_t* at, CellAddress cell, std::uint16_t value);
    static std::uint8_t* PutNumberCell(std::uint8_t* at, CellAddress cell, const std::uint8_t value[8]);

private:
    OutputBuffer& out_;
};

// Copies the bytes of a cell text or field, most often a few, with
// overlapping fixed-size moves, which at these lengths is quicker than a
// library call or an inline string instruction.
inline void CopyShortBytes(std::uint8_t* to, const std::uint8_t* from, std::uint32_t n)
{
    if (n >= 16) {
        for (std::uint32_t i = 0; i + 16 < n; i += 16)
            std::memcpy(to + i, from + i, 16);
        std::memcpy(to + n - 16, from + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

namespace sheet_detail {

// The first four bytes of a record: type and body length, little-endian.
constexpr std::uint64_t RecordStart(std::uint16_t type, std::uint32_t bodyLength)
{
    return std::uint64_t{type} | std::uint64_t{bodyLength & 0xFFFF} << 16;
}

// Frames a cell: type, body length, row, column and the attribute bytes
// 40 00 00 (locked, default format). The value follows at `at` + 11, in
// room the caller reserved for the whole cell.
inline void PutCellStart(std::uint8_t* at, std::uint64_t start, CellAddress cell)
{
    StoreLe64(at, start | cell.Bits());
    // 40 00 00 and a zero byte that the value overwrites: one store.
    const std::uint8_t attributes[4] = {0x40, 0, 0, 0};
    std::memcpy(at + 8, attributes, 4);
}

} // namespace sheet_detail

inline std::uint8_t* SheetWriter::PutRowRecord(std::uint8_t* at, std::uint32_t row, std::uint32_t columnCount)
{
    using namespace sheet_detail;
    // Row, first column 0, last column + 1, default height 0x80FF, then
    // reserved word, no attribute bytes and no cell offset: all zero.
    StoreLe64(at, RecordStart(0x0008, 13) | std::uint64_t{row & 0xFFFF} << 32);
    StoreLe64(at + 8, std::uint64_t{columnCount & 0xFFFF} | std::uint64_t{0x80FF} << 16);
    at[16] = 0;
    return at + kRowRecordSize;
}

inline std::uint8_t* SheetWriter::PutLabelCell(std::uint8_t* at, CellAddress cell, const std::uint8_t* text,
                                               std::uint32_t n)
{
    using namespace sheet_detail;
    if (n > kMaxLabel)
        n = kMaxLabel;
    PutCellStart(at, RecordStart(0x0004, 8 + n), cell);
    at[11] = static_cast<std::uint8_t>(n);
    CopyShortBytes(at + 12, text, n);
    return at + LabelCellSize(n);
}

inline std::uint8_t* SheetWriter::PutIntegerCell(std::uint8_t* at, CellAddress cell, std::uint16_t value)
{
    using namespace sheet_detail;
    PutCellStart(at, RecordStart(0x0002, 9), cell);
    at[11] = static_cast<std::uint8_t>(value);
    at[12] = static_cast<std::uint8_t>(value >> 8);
    return at + kIntegerCellSize;
}

inline std::uint8_t* SheetWriter::PutNumberCell(std::uint8_t* at, CellAddress cell, const std::uint8_t value[8])
{
    using namespace sheet_detail;
    PutCellStart(at, RecordStart(0x0003, 15), cell);
    std::memcpy(at + 11, value, 8);
    return at + kNumberCellSize;
}

} // namespace zorbik
