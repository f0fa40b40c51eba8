// FNV-1a over a file's bytes: proof that a file was left as it was.
#pragma once

#include <cstdint>
#include <vector>

namespace zorbik::testing {

inline std::uint64_t Checksum(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t h = 1469598103934665603ull;
    for (const std::uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

} // namespace zorbik::testing
