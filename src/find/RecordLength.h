// Finds the record length: the distance at which the bytes of a sample
// repeat their pattern. A quick count of equal bytes at each distance makes
// a short list; the list is judged by how short the bytes can be coded when
// each position within a record has its own byte statistics, which makes
// the smallest length that explains the structure win over its multiples.
#pragma once

#include <cstdint>
#include <vector>

#include "find/ByteSample.h"
#include "find/RecordGuess.h"

namespace zorbik {

// A stretch of sample bytes that record statistics are taken from.
struct ScanRange {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::uint64_t offset = 0; // in the source
};

// Up to `budget` bytes of the sample where records are most likely: the
// back of a small source, the body pieces and the tail of a large one.
std::vector<ScanRange> ScanRanges(const ByteSample& sample, std::size_t budget);

inline constexpr std::uint32_t kMaxRecordLength = 4096;

struct LengthChoice {
    std::uint32_t length = 0;    // 0: no length fits
    double bitsSavedPerByte = 0; // coding with the record's statistics against without
    std::vector<LengthAlternative> alternatives;
    int unrelatedRival = 0;      // best score of an alternative that is no multiple or divisor
};

LengthChoice ChooseRecordLength(const ByteSample& sample);

// Bits to code the bytes of `ranges` with one adaptive byte model per
// position modulo `length` (the positions count from source offset 0).
double CodeLength(const std::vector<ScanRange>& ranges, std::uint32_t length);

// log2 of a positive number, to about seven digits.
double FastLog2(double x);

} // namespace zorbik
