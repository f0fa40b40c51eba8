// The record reader with and without its read-ahead thread: every batch
// holds the source bytes of its records, and a source that shrinks fails
// the same batch either way.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "convert/RecordReader.h"
#include "support/Convert.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

struct Prepared {
    RecordLayout layout;
    ColumnPlan plan;
};

// Records of `length` bytes from byte 3, a column over bytes 2 .. length - 3
// of each and one past the record's end.
Prepared Prepare(std::uint32_t size, std::int32_t length)
{
    Prepared p;
    RowStore store = MakeStore(static_cast<std::int32_t>(size),
                               {{3, LB}, {5, CB, FieldType::Text}, {length, CE}, {length + 2, LE},
                                {length + 5, CB, FieldType::Text}, {length + 7, CE}});
    EXPECT_FALSE(ValidateLayout(store, size, p.layout));
    NormaliseEdges(store, p.layout);
    ClampCounts(p.layout);
    p.plan = BuildColumnPlan(store, p.layout);
    return p;
}

// A source that loses its second half after being opened.
class ShrinkingSource : public SourceBytes {
public:
    explicit ShrinkingSource(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::uint32_t Size() const override { return static_cast<std::uint32_t>(bytes_.size()); }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        const std::uint64_t now = bytes_.size() / 2;
        if (offset >= now)
            return 0;
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(n, now - offset));
        std::memcpy(buffer, bytes_.data() + offset, count);
        return static_cast<std::int64_t>(count);
    }

private:
    const std::vector<std::uint8_t>& bytes_;
};

TEST(ReadAhead, EveryBatchHoldsTheBytesOfItsRecords)
{
    std::mt19937 random(11);
    std::vector<std::uint8_t> bytes(300'000);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    const MemorySource source(bytes);
    for (const std::int32_t length : {40, 1000}) {
        const Prepared p = Prepare(static_cast<std::uint32_t>(bytes.size()), length);
        const std::uint64_t span = static_cast<std::uint64_t>(p.plan.maxRow - p.plan.minRow) + 1;
        for (const bool ahead : {false, true}) {
            SCOPED_TRACE(std::to_string(length) + (ahead ? ", ahead" : ", direct"));
            RecordReader reader(source, p.layout, p.plan, 4096, ahead);
            std::uint32_t checked = 0;
            for (std::uint32_t first = 0; first < p.layout.recordCount; first += reader.PerBatch()) {
                const std::uint32_t count = std::min(reader.PerBatch(), p.layout.recordCount - first);
                ASSERT_TRUE(reader.Load(first, count));
                for (std::uint32_t k = first; k < first + count; ++k) {
                    const std::uint64_t at = static_cast<std::uint64_t>(p.plan.minRow) + std::uint64_t{k} * p.layout.recordLength;
                    const std::uint64_t n = std::min<std::uint64_t>(span, bytes.size() - at);
                    ASSERT_EQ(reader.Whole(k), n == span) << k;
                    ASSERT_EQ(std::memcmp(reader.Record(k), bytes.data() + at, n), 0) << k;
                    ++checked;
                }
            }
            EXPECT_EQ(checked, p.layout.recordCount);
            EXPECT_GT(p.layout.recordCount / reader.PerBatch(), 5u); // several batches, read ahead
        }
    }
}

TEST(ReadAhead, AShrunkSourceFailsTheSameBatch)
{
    std::vector<std::uint8_t> bytes(200'000, 'x');
    const ShrinkingSource source(bytes);
    const Prepared p = Prepare(static_cast<std::uint32_t>(bytes.size()), 100);
    std::vector<std::uint32_t> failedAt;
    for (const bool ahead : {false, true}) {
        RecordReader reader(source, p.layout, p.plan, 4096, ahead);
        std::uint32_t first = 0;
        while (first < p.layout.recordCount &&
               reader.Load(first, std::min(reader.PerBatch(), p.layout.recordCount - first)))
            first += reader.PerBatch();
        failedAt.push_back(first);
    }
    EXPECT_EQ(failedAt[0], failedAt[1]);
    EXPECT_LT(failedAt[0], p.layout.recordCount);
    EXPECT_GT(failedAt[0], 0u);
}

} // namespace
} // namespace zorbik
