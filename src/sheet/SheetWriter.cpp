#include "sheet/SheetWriter.h"

#include <cstring>

#include "sheet/SheetBytes.h"

namespace zorbik {
namespace {

constexpr std::uint16_t kDimensions = 0x0000;
constexpr std::uint16_t kInteger = 0x0002;
constexpr std::uint16_t kNumber = 0x0003;
constexpr std::uint16_t kLabel = 0x0004;
constexpr std::uint16_t kRow = 0x0008;

inline void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

} // namespace

void SheetWriter::WriteSheetHeader()
{
    out_.Append(kSheetHeader.data(), kSheetHeader.size());
}

void SheetWriter::WriteSheetTrailer()
{
    out_.Append(kSheetTrailer.data(), kSheetTrailer.size());
}

void SheetWriter::WriteDimensions(std::uint32_t recordCount, std::uint32_t columnCount)
{
    std::uint8_t* p = out_.Reserve(12);
    Put16(p, kDimensions);
    Put16(p + 2, 8);
    Put16(p + 4, 0);
    Put16(p + 6, recordCount);
    Put16(p + 8, 0);
    Put16(p + 10, columnCount);
    out_.Commit(12);
}

void SheetWriter::WriteRowRecord(std::uint32_t row, std::uint32_t columnCount)
{
    std::uint8_t* p = out_.Reserve(17);
    Put16(p, kRow);
    Put16(p + 2, 13);
    Put16(p + 4, row);
    Put16(p + 6, 0);
    Put16(p + 8, columnCount);
    Put16(p + 10, 0x80FF);
    Put16(p + 12, 0);
    p[14] = 0;
    Put16(p + 15, 0);
    out_.Commit(17);
}

// Frames a cell record and fills row, column and the attribute bytes;
// returns where the value goes.
std::uint8_t* SheetWriter::CellRecord(std::uint16_t type, std::uint16_t bodyLength)
{
    std::uint8_t* p = out_.Reserve(4u + bodyLength);
    Put16(p, type);
    Put16(p + 2, bodyLength);
    Put16(p + 4, CurrentRow);
    Put16(p + 6, CurrentColumn);
    p[8] = 0x40;
    p[9] = 0x00;
    p[10] = 0x00;
    return p + 11;
}

void SheetWriter::WriteLabelCell(const std::uint8_t* text, std::uint32_t n)
{
    if (n > 255)
        n = 255;
    std::uint8_t* value = CellRecord(kLabel, static_cast<std::uint16_t>(8 + n));
    value[0] = static_cast<std::uint8_t>(n);
    if (n > 0)
        std::memcpy(value + 1, text, n);
    out_.Commit(12 + n);
}

void SheetWriter::WriteIntegerCell(const std::uint8_t* value)
{
    std::uint8_t* p = CellRecord(kInteger, 9);
    p[0] = value[0];
    p[1] = value[1];
    out_.Commit(13);
}

void SheetWriter::WriteNumberCell(const std::uint8_t* value)
{
    std::uint8_t* p = CellRecord(kNumber, 15);
    std::memcpy(p, value, 8);
    out_.Commit(19);
}

} // namespace zorbik
