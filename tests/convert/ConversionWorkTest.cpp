// What the record loop may cost: it works from the column plan alone (the
// row store is not asked again for any record), reads every source byte
// about once, and its time grows with the cells it writes, not with the
// marks of the prototype per record.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <random>
#include <thread>

#include "support/ReferenceSheet.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

// The sheet as the prototype describes it when every record is cut up on
// its own: the walk over the marks of the row store, column by column,
// for each record anew.
std::vector<std::uint8_t> WalkEveryRecord(const std::vector<std::uint8_t>& source, const RowStore& store,
                                          const RecordLayout& layout)
{
    std::vector<std::int32_t> rows;
    std::int32_t cursor = layout.lineBegin;
    return ReferenceSheet(layout, [&](std::uint32_t k, std::uint32_t c, std::uint8_t* field, std::uint32_t& count) {
        if (c == 0)
            cursor = layout.lineBegin;
        std::int32_t typeRow = kNoRow;
        bool byteMarks = false;
        const TypeCode type = FindColumnType(store, cursor, typeRow, byteMarks);
        FieldExtract(store, typeRow, byteMarks, FieldSize(type), cursor, rows);
        for (const std::int32_t row : rows) {
            const std::uint64_t at = static_cast<std::uint64_t>(row) + std::uint64_t{k} * layout.recordLength;
            if (at >= source.size())
                break;
            field[count++] = source[at];
        }
        return type;
    });
}

// Counts what the conversion asks of the source.
class CountingSource : public SourceBytes {
public:
    explicit CountingSource(const std::vector<std::uint8_t>& bytes) : memory_(bytes) {}
    std::uint32_t Size() const override { return memory_.Size(); }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        ++reads;
        bytesRead += n;
        return memory_.ReadAt(offset, buffer, n);
    }
    mutable std::uint64_t reads = 0;
    mutable std::uint64_t bytesRead = 0;

private:
    MemorySource memory_;
};

// A sink that only counts.
class CountingSink : public ByteSink {
public:
    bool Write(const std::uint8_t*, std::size_t n) override
    {
        bytes += n;
        return true;
    }
    std::uint64_t bytes = 0;
};

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

TEST(ConversionWork, TheRecordLoopNeedsNothingOfTheRowStore)
{
    const FieldType TX = FieldType::Text, BI = FieldType::BinInteger, BR = FieldType::BinReal,
                    DN = FieldType::DecimalNumber, BC = FieldType::Bcd;
    const std::vector<std::vector<Mark>> layouts = {
        // One column of every type behind a header.
        {{16, LB}, {17, CB, TX}, {22, CE}, {23, CB, BI}, {26, CE}, {27, CB, BR}, {30, CE}, {31, CB, BR}, {38, CE},
         {39, CB, DN}, {48, CE}, {49, CB, BC}, {58, CE}, {63, LE}},
        // Byte marks, a typed record begin and end (edge columns), a typed
        // column end that adds its byte.
        {{0, LB, TX}, {3, CB}, {4, BM, BI}, {6, BM}, {8, CE, TX}, {10, CB, DN}, {12, BM}, {14, CE}, {19, LE, BR}},
        // A column past the record end, cut short by the end of the source.
        {{0, LB}, {1, CB, TX}, {2, CE}, {5, LE}, {7, CB, BI}, {10, CE}},
        // A one-row trailing column.
        {{0, LB}, {1, CB, BC}, {10, CE}, {11, LE, TX}},
    };
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        SCOPED_TRACE("layout " + std::to_string(i));
        const std::vector<std::uint8_t> source = RandomBytes(64 * 700 + 37, static_cast<unsigned>(i));
        Prepared p = Prepare(static_cast<std::uint32_t>(source.size()), layouts[i]);
        const std::vector<std::uint8_t> expected = WalkEveryRecord(source, p.store, p.layout);

        p.store.Clear(); // nothing of the marks is left to ask for
        MemorySource memory(source);
        MemorySink sink;
        std::atomic<bool> stop{false};
        const ConversionOutcome outcome = RunConversion(memory, p.layout, p.plan, sink, stop, {});
        ASSERT_EQ(outcome.status, ConversionStatus::Finished);
        EXPECT_EQ(sink.bytes, expected);
    }
}

TEST(ConversionWork, LargeConversionsReadAheadAndWriteBehindToTheSameBytes)
{
    // Over 32 MiB of records: the source is read ahead and the target
    // written behind on threads of their own.
    const FieldType TX = FieldType::Text, BI = FieldType::BinInteger, DN = FieldType::DecimalNumber,
                    BC = FieldType::Bcd;
    const std::vector<Mark> marks = {{10, LB}, {11, CB, TX}, {40, CE}, {100, CB}, {101, BM, BI}, {103, BM},
                                     {104, CE, TX}, {2000, CB, DN}, {2009, CE}, {3990, CB, BC}, {3999, CE},
                                     {4009, LE}, {4012, CB, TX}, {4015, CE}};
    const std::vector<std::uint8_t> source = RandomBytes(std::size_t{4000} * 9000 + 1234, 9);
    Prepared p = Prepare(static_cast<std::uint32_t>(source.size()), marks);
    ASSERT_GE(std::uint64_t{p.layout.recordCount} * p.layout.recordLength, 32u << 20);
    const std::vector<std::uint8_t> expected = WalkEveryRecord(source, p.store, p.layout);
    MemorySource memory(source);
    MemorySink sink;
    std::atomic<bool> stop{false};
    const ConversionOutcome outcome = RunConversion(memory, p.layout, p.plan, sink, stop, {});
    ASSERT_EQ(outcome.status, ConversionStatus::Finished);
    EXPECT_EQ(outcome.bytesWritten, expected.size());
    EXPECT_TRUE(sink.bytes == expected);

    // Stopped half-way: once the loop has ended, no thread writes any more.
    CountingSink stopped;
    const ConversionOutcome half = RunConversion(memory, p.layout, p.plan, stopped, stop, [&](std::uint32_t done) {
        if (done >= p.layout.recordCount / 2)
            stop = true;
    });
    const std::uint64_t bytesAtReturn = stopped.bytes;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(half.status, ConversionStatus::Stopped);
    EXPECT_EQ(stopped.bytes, bytesAtReturn);
    EXPECT_EQ(half.bytesWritten, bytesAtReturn);
    EXPECT_LT(bytesAtReturn, expected.size());
}

// Thread time of one conversion, the least of three so that another
// program's load counts as little as possible.
double ConversionSeconds(const SourceBytes& source, const Prepared& p)
{
    double least = 1e9;
    for (int i = 0; i < 3; ++i) {
        CountingSink sink;
        std::atomic<bool> stop{false};
        timespec start{}, end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        const ConversionOutcome outcome = RunConversion(source, p.layout, p.plan, sink, stop, {});
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        EXPECT_EQ(outcome.status, ConversionStatus::Finished);
        least = std::min(least, static_cast<double>(end.tv_sec - start.tv_sec) + 1e-9 * (end.tv_nsec - start.tv_nsec));
    }
    return least;
}

// `columns` 4-byte integer columns in records of 4 * columns + 2 bytes.
std::vector<Mark> IntegerColumns(std::int32_t columns)
{
    std::vector<Mark> marks = {{0, LB}};
    for (std::int32_t c = 0; c < columns; ++c) {
        marks.push_back({1 + 4 * c, CB, FieldType::BinInteger});
        marks.push_back({4 + 4 * c, CE});
    }
    marks.push_back({1 + 4 * columns, LE});
    return marks;
}

TEST(ConversionWork, SourceBytesAreReadAboutOnceInAFewLargeReads)
{
    for (const std::int32_t columns : {2, 500}) {
        SCOPED_TRACE(std::to_string(columns) + " columns");
        const std::uint32_t length = 4 * columns + 2;
        const std::vector<std::uint8_t> bytes = RandomBytes(std::size_t{length} * 3000, 1);
        const Prepared p = Prepare(static_cast<std::uint32_t>(bytes.size()), IntegerColumns(columns));
        CountingSource source(bytes);
        CountingSink sink;
        std::atomic<bool> stop{false};
        ASSERT_EQ(RunConversion(source, p.layout, p.plan, sink, stop, {}).status, ConversionStatus::Finished);
        EXPECT_LE(source.bytesRead, bytes.size());
        EXPECT_GE(source.bytesRead, bytes.size() - 2 * 3000);
        EXPECT_LE(source.reads, bytes.size() / (64 * 1024) + 2);
    }
}

TEST(ConversionWork, TimeGrowsWithTheCellsNotWithTheMarksPerRecord)
{
    // The same 2 million cells as 20000 records of 100 columns, 80000
    // records of 25 and 4000 records of 500: a record loop that looked at
    // the marks anew for every record, or read more than the plan, would
    // take far longer per cell with many marks or many records.
    auto seconds = [](std::int32_t columns, std::uint32_t records) {
        const std::uint32_t length = 4 * static_cast<std::uint32_t>(columns) + 2;
        const std::vector<std::uint8_t> bytes = RandomBytes(std::size_t{length} * records, 2);
        const Prepared p = Prepare(static_cast<std::uint32_t>(bytes.size()), IntegerColumns(columns));
        const MemorySource source(bytes);
        return ConversionSeconds(source, p);
    };
    const double middle = seconds(100, 20000);
    const double manyRecords = seconds(25, 80000);
    const double manyMarks = seconds(500, 4000);
    const double quarter = seconds(100, 5000);
    // Generous: a loaded machine may slow one run by half, not by three.
    EXPECT_LT(manyMarks, 3 * middle);
    EXPECT_LT(manyRecords, 3 * middle);
    EXPECT_LT(middle, 12 * quarter); // four times the records: about four times the time
    EXPECT_GT(middle, quarter);
}

} // namespace
} // namespace zorbik
