#include <gtest/gtest.h>

#include <random>

#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "support/MemoryIo.h"
#include "support/ReferenceSheet.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

PreparedConversion Prepare(std::size_t size, const std::vector<Mark>& marks)
{
    return PrepareConversion(MakeStore(static_cast<std::int32_t>(std::min<std::size_t>(size, 1 << 20)), marks),
                             static_cast<std::uint32_t>(size));
}

// Column pairs of 2 to 40 bytes (rarely 300) inside and beyond the record,
// byte marks, and random types on every mark.
std::vector<Mark> RandomMarks(std::mt19937& random, std::int32_t begin, std::int32_t length, std::int32_t size)
{
    auto type = [&] { return static_cast<FieldType>(random() % 6); };
    std::vector<Mark> marks = {{begin, LB, random() % 3 ? FieldType::None : type()}};
    const std::int32_t limit = std::min(size, begin + 2 * length + 40);
    for (std::int32_t row = begin + 1 + static_cast<std::int32_t>(random() % 3); row + 3 < limit;) {
        const std::int32_t end = row + 1 + static_cast<std::int32_t>(random() % (random() % 20 ? 40 : 300));
        if (row < begin + length && end >= begin + length - 1)
            row = begin + length + 1;
        else if (end < limit) {
            marks.push_back({row, CB, type()});
            for (std::int32_t b = row + 1; b < end; ++b)
                if (random() % 4 == 0)
                    marks.push_back({b, BM, random() % 2 ? FieldType::None : type()});
            marks.push_back({end, CE, random() % 2 ? FieldType::None : type()});
            row = end + 1 + static_cast<std::int32_t>(random() % 3);
        } else
            break;
    }
    marks.push_back({begin + length - 1, LE, random() % 2 ? FieldType::None : type()});
    return marks;
}

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t h = 1469598103934665603ull;
    for (const std::uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

TEST(ConversionEngine, WritesTheReferenceSheet)
{
    std::vector<Mark> reals = {{0, LB, BR}}; // a 1-byte real, then reals of 2 to 9 bytes
    for (std::int32_t n = 2, row = 1; n <= 9; row += n++)
        reals.insert(reals.end(), {{row, CB, BR}, {row + n - 1, CE}});
    reals.push_back({45, LE});
    std::vector<Mark> texts = {{0, LB}}; // the lengths that copying treats apart
    std::int32_t row = 1;
    for (const std::int32_t n : {2, 3, 4, 7, 8, 9, 15, 16, 17, 31, 32, 33, 255}) {
        texts.insert(texts.end(), {{row, CB, TX}, {row + n - 1, CE}});
        row += n;
    }
    texts.push_back({row + 2, LE});
    const struct {
        const char* name;
        std::size_t size;
        std::vector<Mark> marks;
    } cases[] = {
        {"a column of every type behind a header", 64 * 700 + 37,
         {{16, LB}, {17, CB, TX}, {22, CE}, {23, CB, BI}, {26, CE}, {27, CB, BR}, {30, CE}, {31, CB, BR}, {38, CE},
          {39, CB, DN}, {48, CE}, {49, CB, BC}, {58, CE}, {63, LE}}},
        {"byte marks and edge columns", 20 * 700 + 5,
         {{0, LB, TX}, {3, CB}, {4, BM, BI}, {6, BM}, {8, CE, TX}, {10, CB, DN}, {12, BM}, {14, CE}, {19, LE, BR}}},
        {"columns past the record end cut short by the source end", 6 * 100 + 4,
         {{0, LB}, {1, CB, TX}, {2, CE}, {5, LE}, {7, CB, BI}, {10, CE}, {11, CB, TX}, {13, CE}}},
        {"reals of 1 to 9 bytes", 46 * 300 + 9, {reals.begin(), reals.end()}},
        {"packed decimals and decimal texts, short and long", 40 * 300,
         {{0, LB}, {1, CB, BC}, {2, CE}, {3, CB, BC}, {15, CE}, {16, CB, DN}, {17, CE}, {18, CB, DN}, {38, CE}, {39, LE}}},
        {"texts of 2 to 255 bytes", 600 * 30 + 300, {texts.begin(), texts.end()}},
        {"65534 records", 65534 * 2, {{0, LB, BI}, {1, LE}}},
        {"65534 of 70000 records", 70000 * 2, {{0, LB, TX}, {1, LE}}},
        {"over 32 MiB: read ahead and written behind", std::size_t{4000} * 9000 + 1234,
         {{10, LB}, {11, CB, TX}, {40, CE}, {100, CB}, {101, BM, BI}, {103, BM}, {104, CE, TX}, {2000, CB, DN},
          {2009, CE}, {3990, CB, BC}, {3999, CE}, {4009, LE}, {4012, CB, TX}, {4015, CE}}},
    };
    auto check = [](const std::string& name, const std::vector<std::uint8_t>& bytes, const std::vector<Mark>& marks) {
        SCOPED_TRACE(name);
        const PreparedConversion p = Prepare(bytes.size(), marks);
        if (p.fault) {
            ADD_FAILURE() << "fault " << p.fault.messageId;
            return std::uint64_t{0};
        }
        MemorySource source(bytes);
        MemorySink sink;
        std::atomic<bool> stop{false};
        const ConversionOutcome outcome = RunConversion(source, p.layout, p.plan, sink, stop, {});
        EXPECT_EQ(outcome.status, ConversionStatus::Finished);
        EXPECT_EQ(outcome.recordsDone, p.layout.recordCount);
        EXPECT_TRUE(sink.bytes == ReferenceSheet(bytes, p.layout, p.plan));
        return Fnv1a(sink.bytes);
    };
    for (const auto& c : cases) {
        const std::uint64_t hash = check(c.name, RandomBytes(c.size, 7), c.marks);
        if (&c == cases) { // the bytes that every earlier version wrote too
            EXPECT_EQ(hash, 14772187482826193287u);
        }
    }
    std::mt19937 random(11);
    for (int run = 0; run < 30; ++run) {
        const auto length = static_cast<std::int32_t>(2 + random() % (run % 3 == 0 ? 5000 : 200));
        const auto begin = static_cast<std::int32_t>(random() % 300);
        const auto size = static_cast<std::int32_t>(begin + length * (1 + random() % 2000) + random() % length);
        check("random layout " + std::to_string(run), RandomBytes(static_cast<std::size_t>(size), run),
              RandomMarks(random, begin, length, size));
    }
}

// A sink that fails from its n-th write on, or pulls the stop flag at it.
class ScriptedSink : public MemorySink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        if (++writes == stopAt)
            stop->store(true);
        return writes < failFrom && MemorySink::Write(data, n);
    }
    int writes = 0, failFrom = 1 << 30, stopAt = 0;
    std::atomic<bool>* stop = nullptr;
};

// A source that lost its tail after its size was taken.
class CutSource : public MemorySource {
public:
    CutSource(std::vector<std::uint8_t> bytes, std::size_t readable) : MemorySource(std::move(bytes)), readable_(readable) {}
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        return offset >= readable_ ? 0 : MemorySource::ReadAt(offset, buffer, std::min(n, readable_ - offset));
    }

private:
    std::size_t readable_;
};

TEST(ConversionEngine, StopsFailedWritesAndShortReadsEndTheConversion)
{
    const std::vector<Mark> small = {{0, LB}, {1, CB, TX}, {20, CE}, {21, CB, BI}, {22, CE}, {31, LE}};
    const std::vector<Mark> large = {{0, LB}, {1, CB, TX}, {20, CE}, {400, CB, BI}, {401, CE}, {999, LE}};
    constexpr int kNever = 1 << 30;
    constexpr std::uint32_t kSome = 0; // some records, not all
    const struct {
        const char* name;
        std::size_t size;
        const std::vector<Mark>& marks;
        int failFrom, stopAt;
        std::uint32_t stopAtRecord;
        std::size_t readable;
        ConversionStatus status;
        std::uint32_t recordsDone;
        int writes; // -1: any number
    } rows[] = {
        {"finished", 32 * 65534, small, kNever, 0, 0, kNever, ConversionStatus::Finished, 65534, -1},
        {"a stop during the first write", 32 * 65534, small, kNever, 1, 0, kNever, ConversionStatus::Stopped, kSome, 1},
        {"a stop at record 512", 32 * 65534, small, kNever, 0, 512, kNever, ConversionStatus::Stopped, 512, 0},
        {"every write fails", 32 * 65534, small, 1, 0, 0, kNever, ConversionStatus::WriteFailed, kSome, 1},
        {"the only write of a small file fails", 64, small, 1, 0, 0, kNever, ConversionStatus::WriteFailed, 2, 1},
        {"the source shrinks", 32 * 65534, small, kNever, 0, 0, 32 * 30000, ConversionStatus::ReadFailed, kSome, -1},
        {"large: a stop during the first write", 1000 * 40000, large, kNever, 1, 0, kNever, ConversionStatus::Stopped,
         kSome, 1},
        {"large: the source shrinks", 1000 * 40000, large, kNever, 0, 0, 1000 * 20000, ConversionStatus::ReadFailed,
         kSome, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const PreparedConversion p = Prepare(row.size, row.marks);
        CutSource source(std::vector<std::uint8_t>(row.size, 'q'), row.readable);
        std::atomic<bool> stop{false};
        ScriptedSink sink;
        sink.failFrom = row.failFrom;
        sink.stopAt = row.stopAt;
        sink.stop = &stop;
        std::vector<std::uint32_t> reports;
        const ConversionOutcome outcome =
            RunConversion(source, p.layout, p.plan, sink, stop, [&](std::uint32_t done) {
                reports.push_back(done);
                if (done == row.stopAtRecord)
                    stop = true;
            });
        EXPECT_EQ(outcome.status, row.status);
        if (row.recordsDone == kSome) {
            EXPECT_TRUE(outcome.recordsDone > 0 && outcome.recordsDone < p.layout.recordCount) << outcome.recordsDone;
        } else {
            EXPECT_EQ(outcome.recordsDone, row.recordsDone);
        }
        EXPECT_TRUE(row.writes < 0 || sink.writes == row.writes) << sink.writes;
        // A report every 256 records, and one at the end of a finished run.
        const bool finished = outcome.status == ConversionStatus::Finished;
        ASSERT_EQ(reports.size(), outcome.recordsDone / kProgressInterval + finished);
        for (std::size_t i = 0; i < reports.size(); ++i)
            EXPECT_EQ(reports[i], finished && i + 1 == reports.size() ? outcome.recordsDone : (i + 1) * kProgressInterval);
    }
}

// Counts what the conversion asks of the source.
class CountingSource : public MemorySource {
public:
    using MemorySource::MemorySource;
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        ++reads;
        bytesRead += n;
        return MemorySource::ReadAt(offset, buffer, n);
    }
    mutable std::uint64_t reads = 0, bytesRead = 0;
};

TEST(ConversionEngine, ReadsSourceBytesAboutOnceInAFewLargeReads)
{
    for (const std::int32_t columns : {2, 500}) {
        std::vector<Mark> marks = {{0, LB}};
        for (std::int32_t c = 0; c < columns; ++c)
            marks.insert(marks.end(), {{1 + 4 * c, CB, BI}, {4 + 4 * c, CE}});
        marks.push_back({1 + 4 * columns, LE});
        const std::size_t size = std::size_t{4} * columns * 3000 + 2 * 3000;
        const PreparedConversion p = Prepare(size, marks);
        CountingSource source(std::vector<std::uint8_t>(size, 1));
        MemorySink sink;
        std::atomic<bool> stop{false};
        ASSERT_EQ(RunConversion(source, p.layout, p.plan, sink, stop, {}).status, ConversionStatus::Finished);
        EXPECT_LE(source.bytesRead, size);
        EXPECT_GE(source.bytesRead, size - 2 * 3000);
        EXPECT_LE(source.reads, size / (64 * 1024) + 2) << columns;
    }
}

} // namespace
} // namespace zorbik
