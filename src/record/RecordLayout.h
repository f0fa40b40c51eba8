// The prototype record as the marks describe it, worked out at Convert.
#pragma once

#include <cstdint>

namespace zorbik {

inline constexpr std::uint32_t kMaxSheetCount = 65534;

struct RecordLayout {
    std::int32_t recordBegin = -1;   // row of the LineBegin: the record's first byte
    // The column walk looks for the first column after this row: the
    // LineBegin, or the row before it once a leading column starts there.
    std::int32_t walkFrom = -1;
    std::int32_t lineEnd = -1;       // row of the LineEnd
    std::uint32_t recordLength = 0;  // lineEnd - recordBegin + 1, at least 2
    std::uint64_t recordCount = 0;   // whole records from recordBegin to the end of the source
    std::uint32_t columnCount = 0;   // marked column pairs plus edge columns
    std::int32_t lastColumnEnd = -1; // row of the last ColumnEnd accepted by validation
};

} // namespace zorbik
