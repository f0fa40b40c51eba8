#include <gtest/gtest.h>

#include <random>

#include "support/ReferenceSheet.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

// A sink that records its calls and can fail or pull the stop flag.
class ScriptedSink : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        ++writes;
        if (stopAfterWrite != nullptr)
            stopAfterWrite->store(true);
        if (failAll)
            return false;
        bytes += n;
        (void)data;
        return true;
    }
    int writes = 0;
    std::size_t bytes = 0;
    bool failAll = false;
    std::atomic<bool>* stopAfterWrite = nullptr;
};

// A source that loses its tail after being opened: reads come back short.
class ShrinkingSource : public SourceBytes {
public:
    explicit ShrinkingSource(std::uint32_t size) : size_(size) {}
    std::uint32_t Size() const override { return size_; }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        const std::uint64_t now = size_ / 2;
        if (offset >= now)
            return 0;
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(n, now - offset));
        std::memset(buffer, 'x', count);
        return static_cast<std::int64_t>(count);
    }

private:
    std::uint32_t size_;
};

const std::vector<Mark> kTwoColumns = {{0, LB}, {1, CB, FieldType::Text}, {20, CE}, {21, CB, FieldType::BinInteger},
                                       {22, CE}, {31, LE}};

TEST(ConversionEngine, NothingIsWrittenOnceAStopIsSeen)
{
    const std::vector<std::uint8_t> source(32 * 65534, 'q');
    Prepared p = Prepare(static_cast<std::uint32_t>(source.size()), kTwoColumns);
    MemorySource memory(source);

    std::atomic<bool> stop{false};
    ScriptedSink sink;
    sink.stopAfterWrite = &stop; // the stop arrives while the first write is under way
    const ConversionOutcome outcome = RunConversion(memory, p.layout, p.plan, sink, stop, {});
    EXPECT_EQ(outcome.status, ConversionStatus::Stopped);
    EXPECT_EQ(sink.writes, 1);
    EXPECT_LT(outcome.recordsDone, 65534u);

    std::atomic<bool> early{false};
    ScriptedSink quiet;
    const ConversionOutcome stoppedEarly = RunConversion(memory, p.layout, p.plan, quiet, early, [&](std::uint32_t done) {
        if (done >= 512)
            early = true;
    });
    EXPECT_EQ(stoppedEarly.status, ConversionStatus::Stopped);
    EXPECT_EQ(stoppedEarly.recordsDone, 512u);
    EXPECT_EQ(quiet.writes, 0); // everything so far was still in the buffer
}

TEST(ConversionEngine, AFailedWriteEndsTheConversion)
{
    const std::vector<std::uint8_t> source(32 * 65534, 'q');
    Prepared p = Prepare(static_cast<std::uint32_t>(source.size()), kTwoColumns);
    MemorySource memory(source);
    std::atomic<bool> stop{false};
    ScriptedSink sink;
    sink.failAll = true;
    const ConversionOutcome outcome = RunConversion(memory, p.layout, p.plan, sink, stop, {});
    EXPECT_EQ(outcome.status, ConversionStatus::WriteFailed);
    EXPECT_EQ(sink.writes, 1);
    EXPECT_EQ(outcome.bytesWritten, 0u);

    // A small file fails at its one and only write, at the end.
    const std::vector<std::uint8_t> small(64, 'q');
    Prepared q = Prepare(64, kTwoColumns);
    MemorySource smallMemory(small);
    ScriptedSink smallSink;
    smallSink.failAll = true;
    EXPECT_EQ(RunConversion(smallMemory, q.layout, q.plan, smallSink, stop, {}).status, ConversionStatus::WriteFailed);
}

TEST(ConversionEngine, ASourceThatShrinksIsAReadFailure)
{
    Prepared p = Prepare(32u * 65534, kTwoColumns);
    ShrinkingSource source(32u * 65534);
    std::atomic<bool> stop{false};
    ScriptedSink sink;
    EXPECT_EQ(RunConversion(source, p.layout, p.plan, sink, stop, {}).status, ConversionStatus::ReadFailed);
}

TEST(ConversionEngine, ProgressFollowsTheRecordsToTheLast)
{
    const std::vector<std::uint8_t> source(32 * 1000 + 5, 'q');
    Prepared p = Prepare(static_cast<std::uint32_t>(source.size()), kTwoColumns);
    MemorySource memory(source);
    std::atomic<bool> stop{false};
    MemorySink sink;
    std::vector<std::uint32_t> reports;
    RunConversion(memory, p.layout, p.plan, sink, stop, [&](std::uint32_t done) { reports.push_back(done); });
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 1000u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_GE(reports.size(), 1000u / kProgressInterval);
}

// The sheet written the slow way: every byte looked up on its own. The
// engine reads the source in large batches and must give the same bytes.
std::vector<std::uint8_t> ByteByByte(const std::vector<std::uint8_t>& source, const RecordLayout& layout,
                                     const ColumnPlan& plan)
{
    return ReferenceSheet(layout, [&](std::uint32_t k, std::uint32_t c, std::uint8_t* field, std::uint32_t& count) {
        const PlannedColumn& column = plan.columns.at(c);
        for (std::uint32_t r = 0; r < column.runCount; ++r) {
            const RowRun& run = plan.runs[column.firstRun + r];
            for (std::uint32_t i = 0; i < run.length; ++i) {
                const std::uint64_t offset =
                    static_cast<std::uint64_t>(run.firstRow) + i + std::uint64_t{k} * layout.recordLength;
                if (offset >= source.size())
                    return column.type;
                field[count++] = source[offset];
            }
        }
        return column.type;
    });
}

TEST(ConversionEngine, BatchedReadsGiveTheSameBytesAsByteByByteReads)
{
    std::mt19937 random(7);
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE(run);
        const std::uint32_t length = 2 + random() % (run % 3 == 0 ? 5000 : 200);
        const std::uint32_t begin = random() % 300;
        const std::uint32_t size = begin + length * (1 + random() % 3000) + random() % length;
        std::vector<std::uint8_t> source(size);
        for (auto& b : source)
            b = static_cast<std::uint8_t>(random());
        // Random column pairs inside and beyond the record, random types.
        std::vector<Mark> marks = {{static_cast<std::int32_t>(begin), LB}};
        std::int32_t row = static_cast<std::int32_t>(begin) + 1;
        const std::int32_t limit = static_cast<std::int32_t>(std::min<std::uint32_t>(size, begin + length * 2 + 40));
        while (row + 3 < limit) {
            const std::int32_t end = row + 1 + static_cast<std::int32_t>(random() % 12);
            if (end >= static_cast<std::int32_t>(begin + length - 1))
                break;
            const auto type = static_cast<FieldType>(random() % 6);
            marks.push_back({row, CB, type});
            if (end - row > 2 && random() % 3 == 0)
                marks.push_back({row + 1, BM, static_cast<FieldType>(random() % 6)});
            marks.push_back({end, CE, static_cast<FieldType>(random() % 2)});
            row = end + 1 + static_cast<std::int32_t>(random() % 3);
        }
        marks.push_back({static_cast<std::int32_t>(begin + length - 1), LE, static_cast<FieldType>(random() % 3)});
        if (limit > static_cast<std::int32_t>(begin + length + 6) && random() % 2 == 0) {
            const auto after = static_cast<std::int32_t>(begin + length + 2);
            marks.push_back({after, CB, FieldType::Text});
            marks.push_back({std::min(after + 3, limit - 1), CE});
        }

        Prepared p = Prepare(size, marks);
        MemorySource memory(source);
        std::atomic<bool> stop{false};
        MemorySink sink;
        const ConversionOutcome outcome = RunConversion(memory, p.layout, p.plan, sink, stop, {});
        ASSERT_EQ(outcome.status, ConversionStatus::Finished);
        ASSERT_EQ(p.plan.columns.size(), p.layout.columnCount); // the reference writes columnCount cells a record
        ASSERT_EQ(sink.bytes, ByteByByte(source, p.layout, p.plan));
        ASSERT_TRUE(ReadSheet(sink.bytes).wellFormed);
    }
}

} // namespace
} // namespace zorbik
