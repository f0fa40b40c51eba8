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
    virtual std::uint64_t Size() const = 0;
    // Copies up to `n` bytes from `offset`; the count copied (fewer at the
    // end), or -1 on a read error.
    virtual std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const = 0;
};

} // namespace zorbik
