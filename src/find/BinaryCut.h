// Cuts a stretch of the record that holds no text into packed decimals,
// IEEE doubles and singles, little-endian (and zero-led big-endian)
// integers and runs of constant bytes: the sequence whose pieces look the
// part best, judged from the sample records.
#pragma once

#include <cstdint>
#include <vector>

#include "find/ColumnGuess.h"

namespace zorbik {

// The columns of bytes [begin, end) of the records. `recordStart`: the
// records' bytes start where records start, so numbers aligned to their
// size are more likely.
std::vector<GuessedColumn> CutBinary(const std::vector<const std::uint8_t*>& records,
                                     const std::vector<PositionStats>& stats, std::uint32_t begin, std::uint32_t end,
                                     bool recordStart);

} // namespace zorbik
