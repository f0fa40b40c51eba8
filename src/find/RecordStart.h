// Finds where the records begin once their length is known: each byte is
// scored by how much better the record's statistics for its position explain
// it than the source's overall byte statistics do. The header ends about
// where the sum of these scores to the end of the head is largest; where
// within a record exactly is settled together with the bytes left over at
// the end of the source.
#pragma once

#include <cstdint>
#include <vector>

#include "find/ByteSample.h"

namespace zorbik {

// A start and how well it explains the bytes around the header's end and
// at the end of the source (bits; higher is better).
struct StartCandidate {
    std::uint64_t start = 0;
    double value = 0;
};

struct StartChoice {
    std::uint64_t start = 0;
    bool sure = true; // no other start within a record comes close
    std::vector<StartCandidate> close; // starts within a few bits of the best, best first
};

StartChoice ChooseRecordStart(const ByteSample& sample, std::uint32_t length);

} // namespace zorbik
