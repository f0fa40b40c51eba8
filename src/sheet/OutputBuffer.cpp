#include "sheet/OutputBuffer.h"

#include <cstring>

namespace zorbik {

OutputBuffer::OutputBuffer(ByteSink& sink, const std::atomic<bool>* stop, std::size_t capacity, bool writeBehind)
    : sink_(sink), stop_(stop), buffer_(capacity)
{
    if (writeBehind) {
        spare_.resize(capacity);
        writer_ = std::thread([this] { WriteBehindLoop(); });
    }
}

OutputBuffer::~OutputBuffer()
{
    if (!writer_.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void OutputBuffer::Append(const std::uint8_t* data, std::size_t n)
{
    while (n > 0) {
        if (used_ == buffer_.size())
            Flush();
        const std::size_t part = std::min(n, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, data, part);
        used_ += part;
        data += part;
        n -= part;
    }
}

void OutputBuffer::WriteNow(const std::uint8_t* data, std::size_t n)
{
    if (n == 0 || Failed() || Stopped())
        return;
    if (!sink_.Write(data, n))
        failed_.store(true, std::memory_order_release);
}

void OutputBuffer::Flush()
{
    if (used_ == 0)
        return;
    if (!writer_.joinable()) {
        WriteNow(buffer_.data(), used_);
        used_ = 0;
        return;
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !pending_; });
        buffer_.swap(spare_);
        spareUsed_ = used_;
        pending_ = true;
    }
    changed_.notify_all();
    used_ = 0;
}

void OutputBuffer::Settle()
{
    if (!writer_.joinable())
        return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
}

void OutputBuffer::WriteBehindLoop()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || closing_; });
        if (!pending_)
            return;
        lock.unlock();
        WriteNow(spare_.data(), spareUsed_);
        lock.lock();
        pending_ = false;
        changed_.notify_all();
    }
}

} // namespace zorbik
