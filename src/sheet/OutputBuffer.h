// Collects the bytes of the target file and hands them to the file in large
// writes. A failed write is remembered; after it, or once a stop has been
// asked for, nothing more reaches the file.
//
// With write-behind, a full buffer is written by a thread of the buffer's
// own while the next one fills, so that the file system's copying overlaps
// with making the bytes; the writes still reach the sink one at a time and
// in order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "file/BackgroundBuffer.h"

namespace zorbik {

// Where the bytes go: a file, or memory in tests.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all bytes; false on any failure.
    virtual bool Write(const std::uint8_t* data, std::size_t n) = 0;
};

class OutputBuffer {
public:
    static constexpr std::size_t kDefaultCapacity = 1 << 18;

    OutputBuffer(ByteSink& sink, const std::atomic<bool>* stop = nullptr, std::size_t capacity = kDefaultCapacity,
                 bool writeBehind = false);
    // Waits for a write under way; bytes not flushed are dropped.
    ~OutputBuffer() = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Room for `n` more bytes (n at most the capacity); flushes first when
    // the buffer is too full. Fill the room, then Commit.
    std::uint8_t* Reserve(std::size_t n)
    {
        if (n > static_cast<std::size_t>(end_ - at_))
            Flush();
        return at_;
    }
    void Commit(std::size_t n) { at_ += n; }
    // The bytes collected and not flushed yet; Clear drops them.
    const std::uint8_t* Collected() const { return buffer_.data(); }
    std::size_t CollectedSize() const { return static_cast<std::size_t>(at_ - buffer_.data()); }
    void Clear() { at_ = buffer_.data(); }
    void Append(const std::uint8_t* data, std::size_t n);

    // Hands the collected bytes to the sink unless a stop was asked for or
    // an earlier write failed. With write-behind they are written later,
    // and Flush waits only for the write before them.
    void Flush();
    // Waits until a write handed over has ended.
    void Settle();
    // Flushes and waits until every byte handed over has been written.
    void Drain()
    {
        Flush();
        Settle();
    }

    bool Failed() const { return failed_.load(std::memory_order_acquire); }
    bool Stopped() const { return stop_ != nullptr && stop_->load(std::memory_order_acquire); }

private:
    void WriteNow(const std::uint8_t* data, std::size_t n);

    ByteSink& sink_;
    const std::atomic<bool>* stop_;
    std::vector<std::uint8_t> buffer_;
    // The next free byte of buffer_ and its end: the bytes before at_ are
    // collected.
    std::uint8_t* at_;
    std::uint8_t* end_;
    std::atomic<bool> failed_{false};

    // Write-behind: the bytes handed over, `behindUsed_` of them, written
    // by the background buffer's thread. Last, so that it is destroyed, and
    // its write has ended, before anything the write uses.
    std::size_t behindUsed_ = 0;
    std::optional<BackgroundBuffer> behind_;
};

} // namespace zorbik
