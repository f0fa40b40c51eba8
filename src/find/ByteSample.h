// The parts of a source that the finder reads: all of a small source; of a
// large one its head (where the header is), pieces spread over its body and
// its tail, so that the time and memory of a guess do not grow with the file.
#pragma once

#include <cstdint>
#include <vector>

#include "file/SourceBytes.h"

namespace zorbik {

struct SampleChunk {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
    std::uint64_t End() const { return offset + bytes.size(); }
};

struct ByteSample {
    std::uint64_t size = 0;          // of the whole source
    std::vector<SampleChunk> chunks; // ascending and apart; the first starts at 0
    bool readError = false;
    bool Whole() const { return chunks.size() == 1 && chunks[0].bytes.size() == size; }
};

// Sources up to this size are read whole; of larger ones the head, where
// the header is looked for (so a header must end within it).
inline constexpr std::uint64_t kWholeSourceLimit = 1u << 20;
inline constexpr std::uint64_t kHeadSize = 256u << 10;

ByteSample ReadSample(const SourceBytes& source);

} // namespace zorbik
