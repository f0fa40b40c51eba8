// Cuts a record into typed columns, judged from the bytes of sample records:
// runs of printable bytes become texts or numbers written as text, the other
// bytes packed decimals, IEEE doubles and singles or little-endian integers;
// bytes that never change become columns of their own where no neighbour
// takes them as padding.
#pragma once

#include <cstdint>
#include <vector>

#include "find/RecordGuess.h"

namespace zorbik {

// What one position of the record holds across the sample records.
struct PositionStats {
    bool constant = false;
    std::uint8_t value = 0;     // the value, when constant
    std::uint32_t distinct = 0; // number of distinct values
    double pad = 0;             // share of blanks and zero bytes
    bool textLike = false;      // printable bytes and padding only
    bool digits = false;        // all bytes other than padding are digits, point, comma, sign
};

std::vector<PositionStats> MeasurePositions(const std::vector<const std::uint8_t*>& records, std::uint32_t length);

// The columns, covering the record from its first to its last byte.
// `recordStart`: the bytes start where records start (not somewhere inside
// one), so numbers aligned to their size within them are more likely.
std::vector<GuessedColumn> GuessColumns(const std::vector<const std::uint8_t*>& records, std::uint32_t length,
                                        const std::vector<PositionStats>& stats, bool recordStart = true);

// Makes the columns markable: a column inside the record needs two rows for
// its begin and end marks, a record of exactly two columns cannot be marked
// without a third; joins or splits columns where needed. The result may
// leave out a constant first or last byte.
std::vector<GuessedColumn> FitToMarks(std::vector<GuessedColumn> columns, std::uint32_t length,
                                      const std::vector<PositionStats>& stats);

} // namespace zorbik
