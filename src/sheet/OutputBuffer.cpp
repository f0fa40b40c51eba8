#include "sheet/OutputBuffer.h"

#include <algorithm>
#include <cstring>

namespace zorbik {

OutputBuffer::OutputBuffer(ByteSink& sink, const std::atomic<bool>* stop, std::size_t capacity, bool writeBehind)
    : sink_(sink), stop_(stop), buffer_(capacity), at_(buffer_.data()), end_(at_ + buffer_.size())
{
    if (writeBehind)
        behind_.emplace(capacity, [this](std::vector<std::uint8_t>& bytes) { WriteNow(bytes.data(), behindUsed_); });
}

void OutputBuffer::Append(const std::uint8_t* data, std::size_t n)
{
    while (n > 0) {
        if (at_ == end_)
            Flush();
        const std::size_t part = std::min(n, static_cast<std::size_t>(end_ - at_));
        std::memcpy(at_, data, part);
        at_ += part;
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
    const auto used = static_cast<std::size_t>(at_ - buffer_.data());
    if (used == 0)
        return;
    if (!behind_) {
        WriteNow(buffer_.data(), used);
        at_ = buffer_.data();
        return;
    }
    buffer_.swap(behind_->Idle());
    behindUsed_ = used;
    behind_->Start();
    at_ = buffer_.data();
    end_ = at_ + buffer_.size();
}

void OutputBuffer::Settle()
{
    if (behind_)
        behind_->Idle();
}

} // namespace zorbik
