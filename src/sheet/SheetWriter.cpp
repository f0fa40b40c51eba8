#include "sheet/SheetWriter.h"

#include "sheet/SheetBytes.h"

namespace zorbik {
namespace {

constexpr std::uint16_t kDimensions = 0x0000;

} // namespace

void SheetWriter::WriteSheetHeader(std::uint16_t codePageRecord)
{
    // The CODEPAGE record is the header's second, its value at offset 12.
    std::uint8_t* p = out_.Reserve(kSheetHeader.size());
    std::memcpy(p, kSheetHeader.data(), kSheetHeader.size());
    p[12] = static_cast<std::uint8_t>(codePageRecord);
    p[13] = static_cast<std::uint8_t>(codePageRecord >> 8);
    out_.Commit(kSheetHeader.size());
}

void SheetWriter::WriteSheetTrailer()
{
    out_.Append(kSheetTrailer.data(), kSheetTrailer.size());
}

void SheetWriter::WriteDimensions(std::uint32_t recordCount, std::uint32_t columnCount)
{
    // First row 0, last row + 1, first column 0, last column + 1.
    std::uint8_t* p = out_.Reserve(12);
    StoreLe64(p, sheet_detail::RecordStart(kDimensions, 8) | std::uint64_t{recordCount & 0xFFFF} << 48);
    p[8] = 0;
    p[9] = 0;
    p[10] = static_cast<std::uint8_t>(columnCount);
    p[11] = static_cast<std::uint8_t>(columnCount >> 8);
    out_.Commit(12);
}

} // namespace zorbik
