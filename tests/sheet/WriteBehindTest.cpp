// The output buffer with and without its write-behind thread: the sink gets
// the same bytes in the same order, a failed write is the last one, no
// write follows a stop, and the buffer outlives the write under way.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "sheet/OutputBuffer.h"

namespace zorbik {
namespace {

class RecordingSink : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        ++calls;
        if (delay.count() > 0)
            std::this_thread::sleep_for(delay);
        if (stopAtCall == calls && stop != nullptr)
            stop->store(true);
        if (failAtCall == calls)
            return false;
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    int calls = 0;
    int failAtCall = 0;
    int stopAtCall = 0;
    std::atomic<bool>* stop = nullptr;
    std::chrono::milliseconds delay{0};
    std::vector<std::uint8_t> bytes;
};

// Fills `out` with `total` pseudo-random bytes through Reserve/Commit and
// Append in pieces of up to `capacity`; returns the bytes.
std::vector<std::uint8_t> Fill(OutputBuffer& out, std::size_t capacity, std::size_t total, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> all;
    while (all.size() < total) {
        const std::size_t n = 1 + random() % capacity;
        std::vector<std::uint8_t> piece(n);
        for (auto& b : piece)
            b = static_cast<std::uint8_t>(random());
        if (random() % 2 == 0) {
            std::memcpy(out.Reserve(n), piece.data(), n);
            out.Commit(n);
        } else {
            out.Append(piece.data(), n);
        }
        all.insert(all.end(), piece.begin(), piece.end());
    }
    return all;
}

TEST(WriteBehind, TheSinkGetsEveryByteInOrder)
{
    for (const bool behind : {false, true}) {
        for (const std::size_t capacity : {1u, 17u, 4096u}) {
            SCOPED_TRACE(std::string(behind ? "behind, " : "direct, ") + std::to_string(capacity));
            RecordingSink sink;
            std::vector<std::uint8_t> expected;
            {
                OutputBuffer out(sink, nullptr, capacity, behind);
                // Thousands of hand-overs, but not hundreds of thousands.
                expected = Fill(out, capacity, std::min<std::size_t>(200'000, 3000 * capacity),
                                static_cast<unsigned>(capacity));
                out.Drain();
                EXPECT_EQ(out.Written(), expected.size());
                EXPECT_FALSE(out.Failed());
            }
            EXPECT_EQ(sink.bytes, expected);
            EXPECT_GE(sink.calls, static_cast<int>(expected.size() / capacity));
        }
    }
}

TEST(WriteBehind, AFailedWriteIsTheLastOne)
{
    for (const bool behind : {false, true}) {
        SCOPED_TRACE(behind ? "behind" : "direct");
        RecordingSink sink;
        sink.failAtCall = 2;
        OutputBuffer out(sink, nullptr, 1000, behind);
        Fill(out, 1000, 50'000, 3);
        out.Drain();
        EXPECT_TRUE(out.Failed());
        EXPECT_EQ(sink.calls, 2);
        EXPECT_EQ(out.Written(), sink.bytes.size()); // the first write only
        EXPECT_GT(sink.bytes.size(), 0u);
    }
}

TEST(WriteBehind, NothingIsWrittenOnceAStopIsSeen)
{
    for (const bool behind : {false, true}) {
        SCOPED_TRACE(behind ? "behind" : "direct");
        std::atomic<bool> stop{false};
        RecordingSink sink;
        sink.stop = &stop;
        sink.stopAtCall = 1; // the stop comes while the first write is under way
        OutputBuffer out(sink, &stop, 1000, behind);
        Fill(out, 1000, 50'000, 4);
        out.Drain();
        EXPECT_TRUE(out.Stopped());
        EXPECT_EQ(sink.calls, 1);
    }
}

TEST(WriteBehind, TheBufferOutlivesTheWriteUnderWay)
{
    RecordingSink sink;
    sink.delay = std::chrono::milliseconds(30);
    std::vector<std::uint8_t> expected(100);
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<std::uint8_t>(i * 7);
    {
        OutputBuffer out(sink, nullptr, 100, true);
        out.Append(expected.data(), expected.size());
        out.Flush(); // handed over; the writer sleeps in the write
    }                // not drained: the destructor waits for it
    EXPECT_EQ(sink.calls, 1);
    EXPECT_EQ(sink.bytes, expected);
}

} // namespace
} // namespace zorbik
