#include <gtest/gtest.h>

#include "sheet/OutputBuffer.h"
#include "support/MemoryIo.h"

namespace zorbik {
namespace {

// Fails every write from the `failFrom`th on and counts the writes tried.
struct FailingSink : MemorySink {
    explicit FailingSink(int failFrom) : failFrom(failFrom) {}
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        return ++tried < failFrom && MemorySink::Write(data, n);
    }
    int failFrom;
    int tried = 0;
};

// Pieces longer and shorter than the buffer arrive whole and in order, with
// and without write-behind; after a failed write nothing more is tried.
TEST(OutputBuffer, BytesArriveInOrderUntilAWriteFails)
{
    const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
    const struct {
        std::size_t capacity;
        bool behind;
        int failFrom; // 0: never
        std::string arrived;
        int tried;
    } rows[] = {
        {1, false, 0, text, 36},       {3, true, 0, text, 12},         {64, false, 0, text, 1},
        {4, false, 2, "0123", 2},      {4, true, 3, "01234567", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.capacity);
        FailingSink sink(row.failFrom == 0 ? 1000 : row.failFrom);
        OutputBuffer out(sink, nullptr, row.capacity, row.behind);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        out.Append(bytes, 10); // longer than most buffers here
        for (std::size_t at = 10; at < text.size(); at += 2)
            out.Append(bytes + at, 2);
        out.Drain();
        EXPECT_EQ(std::string(sink.bytes.begin(), sink.bytes.end()), row.arrived);
        EXPECT_EQ(sink.tried, row.tried);
        EXPECT_EQ(out.Failed(), row.failFrom != 0);
    }
}

} // namespace
} // namespace zorbik
