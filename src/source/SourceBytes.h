// Read access to the bytes of a source, from a file or from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zorbik {

class SourceBytes {
public:
    virtual ~SourceBytes() = default;
    virtual std::uint32_t Size() const = 0;
    // Copies up to `n` bytes from `offset`; the count copied (fewer at the
    // end), or -1 on a read error.
    virtual std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const = 0;
};

class MemorySource : public SourceBytes {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint32_t Size() const override { return static_cast<std::uint32_t>(bytes_.size()); }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        if (offset >= bytes_.size())
            return 0;
        const std::size_t count = std::min<std::size_t>(n, bytes_.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, bytes_.data() + offset, count);
        return static_cast<std::int64_t>(count);
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace zorbik
