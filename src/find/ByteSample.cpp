#include "find/ByteSample.h"

#include <algorithm>

namespace zorbik {
namespace {

constexpr std::uint64_t kBodyPieces = 8;
constexpr std::uint64_t kBodyPieceSize = 16u << 10;
constexpr std::uint64_t kTailSize = 64u << 10;

struct Span {
    std::uint64_t begin;
    std::uint64_t end;
};

} // namespace

ByteSample ReadSample(const SourceBytes& source)
{
    ByteSample sample;
    sample.size = source.Size();
    const std::uint64_t n = sample.size;
    std::vector<Span> spans;
    if (n <= kWholeSourceLimit) {
        spans.push_back({0, n});
    } else {
        spans.push_back({0, kHeadSize});
        // The body pieces lie in the back three quarters, clear of any
        // header shorter than the head that is read.
        const std::uint64_t from = std::max(n / 4, kWholeSourceLimit);
        const std::uint64_t room = n - kTailSize > from + kBodyPieceSize ? n - kTailSize - kBodyPieceSize - from : 0;
        for (std::uint64_t k = 0; k < kBodyPieces; ++k) {
            const std::uint64_t at = from + room * k / kBodyPieces;
            spans.push_back({at, at + kBodyPieceSize});
        }
        spans.push_back({n - kTailSize, n});
    }
    // Join pieces that touch or overlap.
    std::vector<Span> joined;
    for (const Span& s : spans) {
        if (!joined.empty() && s.begin <= joined.back().end)
            joined.back().end = std::max(joined.back().end, s.end);
        else
            joined.push_back(s);
    }
    for (const Span& s : joined) {
        SampleChunk chunk;
        chunk.offset = s.begin;
        chunk.bytes.resize(static_cast<std::size_t>(s.end - s.begin));
        const std::int64_t got = source.ReadAt(s.begin, chunk.bytes.data(), chunk.bytes.size());
        if (got < 0) {
            sample.readError = true;
            return sample;
        }
        chunk.bytes.resize(static_cast<std::size_t>(got));
        if (!chunk.bytes.empty())
            sample.chunks.push_back(std::move(chunk));
    }
    return sample;
}

} // namespace zorbik
