#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>

#include "sheet/OutputBuffer.h"

namespace zorbik {
namespace {

// Records its writes; fails one of them, or pulls the stop flag in it.
class RecordingSink : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        std::this_thread::yield(); // let the filling side run ahead
        if (++calls == stopAt)
            stop->store(true);
        if (calls == failAt)
            return false;
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    int calls = 0, failAt = 0, stopAt = 0;
    std::atomic<bool>* stop = nullptr;
    std::vector<std::uint8_t> bytes;
};

TEST(OutputBuffer, WithOrWithoutWriteBehindTheSinkGetsTheBytesInOrderUntilAFailureOrAStop)
{
    const struct {
        std::size_t capacity;
        int failAt, stopAt, calls;
    } rows[] = {{1, 0, 0, 50'000}, {17, 0, 0, -1}, {4096, 0, 0, -1}, {1000, 2, 0, 2}, {1000, 0, 1, 1}};
    for (const bool behind : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::to_string(row.capacity) + (behind ? " behind" : " direct"));
            std::atomic<bool> stop{false};
            RecordingSink sink;
            sink.failAt = row.failAt;
            sink.stopAt = row.stopAt;
            sink.stop = &stop;
            std::vector<std::uint8_t> expected;
            std::mt19937 random(static_cast<unsigned>(row.capacity));
            {
                OutputBuffer out(sink, &stop, row.capacity, behind);
                while (expected.size() < 50'000) { // through Reserve and Commit, and through Append
                    std::vector<std::uint8_t> piece(1 + random() % row.capacity);
                    for (auto& b : piece)
                        b = static_cast<std::uint8_t>(random());
                    if (random() % 2 == 0) {
                        std::memcpy(out.Reserve(piece.size()), piece.data(), piece.size());
                        out.Commit(piece.size());
                    } else {
                        out.Append(piece.data(), piece.size());
                    }
                    expected.insert(expected.end(), piece.begin(), piece.end());
                }
                out.Flush(); // handed over, not waited for: the buffer waits as it goes
                EXPECT_EQ(out.Failed(), row.failAt > 0);
            }
            EXPECT_TRUE(row.calls < 0 || sink.calls == row.calls) << sink.calls;
            // All the bytes, or after a failure or a stop the start of them.
            const bool all = row.failAt == 0 && row.stopAt == 0;
            EXPECT_TRUE(all ? sink.bytes == expected : std::equal(sink.bytes.begin(), sink.bytes.end(), expected.begin()));
        }
    }
}

} // namespace
} // namespace zorbik
