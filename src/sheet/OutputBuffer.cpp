#include "sheet/OutputBuffer.h"

#include <cstring>

namespace zorbik {

OutputBuffer::OutputBuffer(ByteSink& sink, const std::atomic<bool>* stop, std::size_t capacity)
    : sink_(sink), stop_(stop), buffer_(capacity)
{
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

void OutputBuffer::Flush()
{
    if (used_ > 0 && !failed_ && !Stopped()) {
        if (sink_.Write(buffer_.data(), used_))
            written_ += used_;
        else
            failed_ = true;
    }
    used_ = 0;
}

} // namespace zorbik
