// A source and a target in memory.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "sheet/OutputBuffer.h"
#include "file/SourceBytes.h"

namespace zorbik {

class MemorySource : public SourceBytes {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        if (offset >= bytes_.size())
            return 0;
        const std::size_t count = std::min<std::size_t>(n, bytes_.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, bytes_.data() + offset, count);
        return static_cast<std::int64_t>(count);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

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
