// The bytes a guess reads: all of a source up to 1 MiB; of a larger one its
// head, pieces of its body and its tail, in order and apart.
#include <gtest/gtest.h>

#include "find/FindTables.h"

namespace zorbik::findtest {
namespace {

TEST(ByteSample, ReadsSmallSourcesWholeAndLargeOnesInPieces)
{
    const std::pair<std::uint64_t, std::size_t> cases[] = {// size, pieces
                                                           {100, 1},
                                                           {kWholeSourceLimit, 1},
                                                           {kWholeSourceLimit + 1, 2},
                                                           {3u << 20, 10}};
    for (const auto& [size, pieces] : cases) {
        SCOPED_TRACE(size);
        const Bytes bytes = RandomBytes(size);
        const ByteSample sample = SampleOf(bytes);
        EXPECT_EQ(sample.size, size);
        EXPECT_EQ(sample.Whole(), size <= kWholeSourceLimit);
        ASSERT_EQ(sample.chunks.size(), pieces);
        EXPECT_EQ(sample.chunks.front().bytes.size(), std::min(size, pieces == 1 ? size : kHeadSize));
        EXPECT_EQ(sample.chunks.back().End(), size);
        for (std::size_t i = 0; i < pieces; ++i) {
            const SampleChunk& c = sample.chunks[i];
            EXPECT_TRUE(i == 0 ? c.offset == 0 : c.offset > sample.chunks[i - 1].End());
            EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.offset)));
        }
    }
}

} // namespace
} // namespace zorbik::findtest
