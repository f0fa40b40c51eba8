// The prototype record as the marks describe it, worked out at Convert.
#pragma once

#include <cstdint>

namespace zorbik {

inline constexpr std::uint32_t kMaxSheetCount = 65534;

struct RecordLayout {
    std::int32_t recordBegin = -1;   // row of the LineBegin: source offset of the first record
    std::int32_t lineBegin = -1;     // row of the LineBegin; one less after a leading column was made
    std::int32_t lineEnd = -1;       // row of the LineEnd
    std::uint32_t recordLength = 0;  // lineEnd - lineBegin + 1, at least 2
    std::uint32_t recordCount = 0;   // whole records from lineBegin to the end of the source
    std::uint32_t columnCount = 0;   // marked column pairs plus edge columns
    std::int32_t lastColumnEnd = -1; // row of the last ColumnEnd accepted by validation
    bool wholeRecordColumn = false;  // the leading edge column covers the whole record
    std::uint32_t progressRange = 0; // record count before clamping: the progress bar's range
};

} // namespace zorbik
