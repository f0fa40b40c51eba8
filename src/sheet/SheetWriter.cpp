#include "sheet/SheetWriter.h"

#include "sheet/SheetBytes.h"

namespace zorbik {
namespace {

constexpr std::uint16_t kDimensions = 0x0000;

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
    // First row 0, last row + 1, first column 0, last column + 1.
    std::uint8_t* p = out_.Reserve(12);
    sheet_detail::StoreLe64(p, sheet_detail::RecordStart(kDimensions, 8) | std::uint64_t{recordCount & 0xFFFF} << 48);
    p[8] = 0;
    p[9] = 0;
    p[10] = static_cast<std::uint8_t>(columnCount);
    p[11] = static_cast<std::uint8_t>(columnCount >> 8);
    out_.Commit(12);
}

void SheetWriter::WriteRowRecord(std::uint32_t row, std::uint32_t columnCount)
{
    std::uint8_t* p = out_.Reserve(kRowRecordSize);
    out_.Commit(static_cast<std::size_t>(PutRowRecord(p, row, columnCount) - p));
}

void SheetWriter::WriteLabelCell(const std::uint8_t* text, std::uint32_t n)
{
    std::uint8_t* p = out_.Reserve(LabelCellSize(n < kMaxLabel ? n : kMaxLabel));
    out_.Commit(static_cast<std::size_t>(PutLabelCell(p, CellAddress(CurrentRow, CurrentColumn), text, n) - p));
}

void SheetWriter::WriteIntegerCell(const std::uint8_t* value)
{
    std::uint8_t* p = out_.Reserve(kIntegerCellSize);
    const auto v = static_cast<std::uint16_t>(value[0] | value[1] << 8);
    out_.Commit(static_cast<std::size_t>(PutIntegerCell(p, CellAddress(CurrentRow, CurrentColumn), v) - p));
}

void SheetWriter::WriteNumberCell(const std::uint8_t* value)
{
    std::uint8_t* p = out_.Reserve(kNumberCellSize);
    out_.Commit(static_cast<std::size_t>(PutNumberCell(p, CellAddress(CurrentRow, CurrentColumn), value) - p));
}

} // namespace zorbik
