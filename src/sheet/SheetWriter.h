// Writes a BIFF2 worksheet: the fixed header, DIMENSIONS, then per record a
// ROW record and its cells (LABEL, INTEGER, NUMBER), then the fixed trailer.
// Every cell uses the default format; only the low 16 bits of row and
// column numbers reach the file.
#pragma once

#include <cstdint>

#include "sheet/OutputBuffer.h"

namespace zorbik {

class SheetWriter {
public:
    explicit SheetWriter(OutputBuffer& out) : out_(out) {}

    std::uint32_t CurrentRow = 0;
    std::uint32_t CurrentColumn = 0;

    void WriteSheetHeader();
    void WriteDimensions(std::uint32_t recordCount, std::uint32_t columnCount);
    void WriteRowRecord(std::uint32_t row, std::uint32_t columnCount);
    // A text cell of `n` bytes (0 to 255), taken as they are.
    void WriteLabelCell(const std::uint8_t* text, std::uint32_t n);
    // An unsigned 16-bit cell from the first two bytes of `value`.
    void WriteIntegerCell(const std::uint8_t* value);
    // A double cell from 8 little-endian bytes.
    void WriteNumberCell(const std::uint8_t* value);
    void WriteSheetTrailer();

private:
    std::uint8_t* CellRecord(std::uint16_t type, std::uint16_t bodyLength);

    OutputBuffer& out_;
};

} // namespace zorbik
