#include "sheet/OutputBuffer.h"

#include <algorithm>
#include <cstring>

namespace zorbik {

OutputBuffer::OutputBuffer(ByteSink& sink, const std::atomic<bool>* stop, std::size_t capacity, bool writeBehind)
    : sink_(sink), stop_(stop), buffer_(capacity)
{
    if (writeBehind)
        behind_.emplace(capacity, [this](std::vector<std::uint8_t>& bytes) { WriteNow(bytes.data(), behindUsed_); });
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
    if (!behind_) {
        WriteNow(buffer_.data(), used_);
        used_ = 0;
        return;
    }
    buffer_.swap(behind_->Idle());
    behindUsed_ = used_;
    behind_->Start();
    used_ = 0;
}

void OutputBuffer::Settle()
{
    if (behind_)
        behind_->Idle();
}

} // namespace zorbik
