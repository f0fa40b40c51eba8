#include <gtest/gtest.h>

#include <random>

#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "layout/LayoutFile.h"
#include "target/CsvTarget.h"
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
    return PrepareConversion(MakeStore(marks),
                             static_cast<std::uint32_t>(size));
}

// A sink that fails from its n-th write on, or pulls the stop flag in it.
class ScriptedSink : public MemorySink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        if (++writes == stopAt)
            stop->store(true);
        return (failFrom == 0 || writes < failFrom) && MemorySink::Write(data, n);
    }
    int writes = 0, failFrom = 0, stopAt = 0;
    std::atomic<bool>* stop = nullptr;
};

// A source that counts what is asked of it, and may have lost its tail
// after its size was taken.
class ScriptedSource : public MemorySource {
public:
    ScriptedSource(std::vector<std::uint8_t> bytes, std::size_t readable) : MemorySource(std::move(bytes)), readable_(readable) {}
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        ++reads;
        bytesRead += n;
        return offset >= readable_ ? 0 : MemorySource::ReadAt(offset, buffer, std::min(n, readable_ - offset));
    }
    mutable std::uint64_t reads = 0, bytesRead = 0;

private:
    std::size_t readable_;
};

// A finished conversion writes the reference sheet, the bytes earlier
// versions wrote too; a stop or a failed write ends the writing at once, a
// short read the conversion. From 32 MiB on the source is read ahead and the
// target written behind, on threads of their own. (The fuzz corpus's replay
// holds small conversions of every kind to the reference sheet.)
TEST(ConversionEngine, WritesTheReferenceSheetUntilAStopAFailedWriteOrAShortRead)
{
    const std::vector<Mark> small = {{0, LB}, {1, CB, TX}, {20, CE}, {21, CB, BI}, {22, CE}, {31, LE}};
    const std::vector<Mark> large = {{10, LB},    {11, CB, TX},  {40, CE},     {100, CB},     {101, BM, BI},
                                     {103, BM},   {104, CE, TX}, {2000, CB, DN}, {2009, CE},  {3990, CB, BC},
                                     {3999, CE},  {4009, LE}};
    constexpr std::uint32_t kSome = 0; // some records, not all
    constexpr std::uint32_t kAny = ~0u; // the writer's thread may see the stop after the last record
    const struct {
        const char* name;
        std::size_t size;
        int failFrom, stopAt; // at the n-th write; 0: never
        std::uint32_t stopAtRecord;
        std::size_t readable;
        ConversionStatus status;
        std::uint32_t recordsDone;
        int writes;         // -1: any number
        std::uint64_t hash = 0; // FNV-1a of a finished sheet
    } rows[] = {
        {"finished", 32 * 65534, 0, 0, 0, 32 * 65534, ConversionStatus::Finished, 65534, -1, 17137648079369041363u},
        {"a stop during the first write", 32 * 65534, 0, 1, 0, 32 * 65534, ConversionStatus::Stopped, kSome, 1},
        {"a stop at record 512", 32 * 65534, 0, 0, 512, 32 * 65534, ConversionStatus::Stopped, 512, 0},
        {"every write fails", 32 * 65534, 1, 0, 0, 32 * 65534, ConversionStatus::WriteFailed, kSome, 1},
        {"the only write of a small file fails", 64, 1, 0, 0, 64, ConversionStatus::WriteFailed, 2, 1},
        {"the source shrinks", 32 * 65534, 0, 0, 0, 32 * 30000, ConversionStatus::ReadFailed, kSome, -1},
        {"large: finished", 40 << 20, 0, 0, 0, 40 << 20, ConversionStatus::Finished, 10485, -1, 5322900406069345996u},
        {"large: a stop during the first write", 40 << 20, 0, 1, 0, 40 << 20, ConversionStatus::Stopped, kAny, 1},
        {"large: the source shrinks", 40 << 20, 0, 0, 0, 20 << 20, ConversionStatus::ReadFailed, kSome, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::uint8_t> bytes = RandomBytes(row.size, 7);
        const PreparedConversion p = Prepare(row.size, row.size < (32 << 20) ? small : large);
        const ScriptedSource source(bytes, row.readable);
        std::atomic<bool> stop{false};
        ScriptedSink sink;
        sink.failFrom = row.failFrom;
        sink.stopAt = row.stopAt;
        sink.stop = &stop;
        std::vector<std::uint32_t> reports;
        const ConversionOutcome outcome = RunConversion(source, p.layout, p.plan, sink, stop, [&](std::uint32_t done) {
            reports.push_back(done);
            stop = stop || done == row.stopAtRecord;
        });
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_TRUE(row.recordsDone == kAny    ? outcome.recordsDone <= p.layout.recordCount
                    : row.recordsDone == kSome ? outcome.recordsDone > 0 && outcome.recordsDone < p.layout.recordCount
                                             : outcome.recordsDone == row.recordsDone)
            << outcome.recordsDone;
        EXPECT_TRUE(row.writes < 0 || sink.writes == row.writes) << sink.writes;
        // A report every 256 records, and one at the end of a finished run.
        const bool finished = outcome.status == ConversionStatus::Finished;
        ASSERT_EQ(reports.size(), outcome.recordsDone / kProgressInterval + finished);
        for (std::size_t i = 0; i < reports.size(); ++i)
            EXPECT_EQ(reports[i], finished && i + 1 == reports.size() ? outcome.recordsDone : (i + 1) * kProgressInterval);
        // The whole sheet when finished, else its start at most.
        const std::vector<std::uint8_t> sheet = ReferenceSheet(bytes, p.layout, p.plan);
        EXPECT_TRUE(finished ? sink.bytes == sheet : std::equal(sink.bytes.begin(), sink.bytes.end(), sheet.begin()));
        std::uint64_t hash = 1469598103934665603ull;
        for (const std::uint8_t b : sink.bytes)
            hash = (hash ^ b) * 1099511628211ull;
        EXPECT_TRUE(!finished || hash == row.hash) << hash;
    }
}

// Few and large reads, every byte about once: also with read-ahead (the
// last shape, over 32 MiB), whose batches must not be read again.
TEST(ConversionEngine, ReadsSourceBytesAboutOnceInAFewLargeReads)
{
    for (const auto& [columns, length, records] : {std::tuple{2, 10, 3000}, {500, 2002, 3000}, {2, 600, 60000}}) {
        std::vector<Mark> marks = {{0, LB}, {length - 1, LE}};
        for (std::int32_t c = 0; c < columns; ++c)
            marks.insert(marks.end(), {{1 + 4 * c, CB, BI}, {4 + 4 * c, CE}});
        const std::size_t size = std::size_t(length) * records;
        const PreparedConversion p = Prepare(size, marks);
        const ScriptedSource source(std::vector<std::uint8_t>(size), size);
        MemorySink sink;
        std::atomic<bool> stop{false};
        ASSERT_EQ(RunConversion(source, p.layout, p.plan, sink, stop, {}).status, ConversionStatus::Finished);
        EXPECT_TRUE(source.bytesRead <= size && source.bytesRead >= size - 2 * records) << source.bytesRead;
        EXPECT_LE(source.reads, size / (64 * 1024) + 2) << columns;
    }
}

// Fields far apart in long records are read field by field: the bytes read
// are those of the fields, the sheet the same.
TEST(ConversionEngine, ReadsOnlyTheFieldsOfFarApartColumns)
{
    const std::int32_t length = 3 << 20;
    const std::size_t size = 3 * std::size_t(length) + 1000;
    const std::vector<std::uint8_t> bytes = RandomBytes(size, 3);
    const PreparedConversion p = PrepareConversion(
        MakeStore({{0, LB}, {1, CB, BI}, {2, CE}, {3 << 19, CB, DN}, {(3 << 19) + 9, CE},
                                       {length - 5, CB, TX}, {length - 2, CE}, {length - 1, LE, TX}}),
        std::uint32_t(size));
    ASSERT_EQ(p.plan.columns.size(), 4u);
    const ScriptedSource source(bytes, size);
    MemorySink sink;
    std::atomic<bool> stop{false};
    ASSERT_EQ(RunConversion(source, p.layout, p.plan, sink, stop, {}).status, ConversionStatus::Finished);
    EXPECT_EQ(sink.bytes, ReferenceSheet(bytes, p.layout, p.plan));
    EXPECT_EQ(source.bytesRead, 3u * (2 + 10 + 5)); // the fields, the last two bytes apart joined
}

// Large CSV conversions share each batch of records with a second thread:
// the lines, the invalid fields reported (how many, and the first record
// with one, in whichever half it lay) and the bytes without a character are
// those of one thread; a stop ends both threads.
TEST(ConversionEngine, TwoThreadsWriteTheLinesAndReportsOfOne)
{
    const std::uint32_t records = 9000; // four batches of 2048 and a short one
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t k = 0; k < records; ++k) {
        const bool invalid = k == 1500 || k == 3000 || k == 8500;
        const bool undefined = k == 100 || k == 1100;
        const std::uint8_t record[8] = {'<', std::uint8_t(invalid ? 0x1A : 0x12), std::uint8_t(k % 10 * 16 + 0xC),
                                        'a', std::uint8_t(undefined ? 0x81 : 'b'), ',', std::uint8_t('0' + k % 10), '>'};
        bytes.insert(bytes.end(), record, record + 8);
    }
    const LoadedLayout loaded = LoadLayout("0 LineBegin\n1 ColumnBegin Packed\n2 ColumnEnd\n3 ColumnBegin Text cp=1252\n"
                                           "6 ColumnEnd\n7 LineEnd\n",
                                           bytes.size(), UiLanguage::English);
    ASSERT_FALSE(loaded.error.Failed());
    const PreparedConversion p = PrepareConversion(loaded.layout.marks, bytes.size(), {}, TargetFormat::Csv);
    ASSERT_FALSE(p.fault);
    const MemorySource source(bytes);
    TargetOptions options;
    options.format = TargetFormat::Csv;
    const std::uint64_t window = 2048 * 8; // the batches of a 16 KiB window
    std::vector<std::uint64_t> progress;
    auto convert = [&](bool two, std::uint64_t stopAt, MemorySink& sink) {
        progress.clear();
        std::atomic<bool> stop{false};
        CsvTarget target(sink, stop, options, 1 << 12, false);
        MemorySink halfSink;
        TargetOptions lines = options;
        lines.names = false;
        CsvTarget half(halfSink, stop, lines, 1 << 12, false);
        SecondRows<CsvTarget> second{half, halfSink.bytes};
        return RunRecords(source, p.layout, p.plan, target, stop,
                          [&](std::uint64_t done) {
                              progress.push_back(done);
                              if (done >= stopAt)
                                  stop = true;
                          },
                          window, false, two ? &second : nullptr);
    };
    MemorySink one, two;
    const ConversionOutcome single = convert(false, records + 1, one);
    const ConversionOutcome shared = convert(true, records + 1, two);
    ASSERT_EQ(shared.status, ConversionStatus::Finished);
    EXPECT_EQ(two.bytes, one.bytes);
    // The names, lines of 12 bytes ("123,\"ab,3\"\r\n"), three numbers
    // left out, two characters of three bytes for one.
    EXPECT_EQ(one.bytes.size(), 5 + records * 12 - 3 * 3 + 2 * 2);
    EXPECT_EQ(shared.faults, (std::vector<ColumnFault>{{0, FieldType::Packed, 3, 1500}}));
    EXPECT_EQ(shared.faults, single.faults);
    EXPECT_EQ(shared.notes.undefinedBytes, 2u);
    EXPECT_EQ(shared.recordsDone, records);
    // The later half of the first batch is the second thread's: progress
    // leaps over it.
    EXPECT_NE(std::find(progress.begin(), progress.end(), 1024u), progress.end());
    EXPECT_EQ(std::find(progress.begin(), progress.end(), 1280u), progress.end());

    MemorySink stopped;
    EXPECT_EQ(convert(true, 3000, stopped).status, ConversionStatus::Stopped);
}

} // namespace
} // namespace zorbik
