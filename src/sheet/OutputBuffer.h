// Collects the bytes of the target file and hands them to the file in large
// writes. A failed write is remembered; after it, or once a stop has been
// asked for, nothing more reaches the file.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

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

    OutputBuffer(ByteSink& sink, const std::atomic<bool>* stop = nullptr,
                 std::size_t capacity = kDefaultCapacity);

    // Room for `n` more bytes (n at most the capacity); flushes first when
    // the buffer is too full. Fill the room, then Commit.
    std::uint8_t* Reserve(std::size_t n)
    {
        if (used_ + n > buffer_.size())
            Flush();
        return buffer_.data() + used_;
    }
    void Commit(std::size_t n) { used_ += n; }
    void Append(const std::uint8_t* data, std::size_t n);

    // Hands the collected bytes to the sink unless a stop was asked for or
    // an earlier write failed.
    void Flush();

    bool Failed() const { return failed_; }
    bool Stopped() const { return stop_ != nullptr && stop_->load(std::memory_order_acquire); }
    // Bytes handed to the sink so far.
    std::uint64_t Written() const { return written_; }

private:
    ByteSink& sink_;
    const std::atomic<bool>* stop_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

// A sink that keeps everything in memory.
class MemorySink : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};

} // namespace zorbik
