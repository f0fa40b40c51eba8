#include "target/ZipDirectory.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace zorbik {
namespace {

constexpr std::uint64_t kEndRecord = 0x06054B50;
constexpr std::uint64_t kEnd64Locator = 0x07064B50;
constexpr std::uint64_t kEnd64Record = 0x06064B50;
constexpr std::uint64_t kDirectoryEntry = 0x02014B50;
constexpr std::uint64_t kZip64Field = 1;
constexpr std::size_t kEndSize = 22, kEntrySize = 46;

std::uint64_t Le(const std::vector<std::uint8_t>& bytes, std::size_t at, int n)
{
    std::uint64_t value = 0;
    for (int i = n - 1; i >= 0; --i)
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

bool ReadAt(std::ifstream& in, std::uint64_t at, std::uint64_t n, std::vector<std::uint8_t>& bytes)
{
    bytes.resize(n);
    in.clear();
    in.seekg(static_cast<std::streamoff>(at));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(n));
    return in.gcount() == static_cast<std::streamsize>(n);
}

// A member's size in its ZIP64 field, which holds the 8-byte sizes whose
// 4-byte fields are all ones, the uncompressed one first.
std::uint64_t Zip64Size(const std::vector<std::uint8_t>& dir, std::size_t at, std::size_t end, std::uint64_t size)
{
    for (; at + 4 <= end; at += 4 + Le(dir, at + 2, 2))
        if (Le(dir, at, 2) == kZip64Field && Le(dir, at + 2, 2) >= 8 && at + 12 <= end)
            return Le(dir, at + 4, 8);
    return size;
}

} // namespace

std::optional<std::map<std::string, std::uint64_t>> ZipMemberSizes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(in.tellg());
    // The end record closes the file, after it only a comment of at most
    // 65,535 bytes.
    const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndSize + 0xFFFF);
    std::vector<std::uint8_t> tail;
    if (tailSize < kEndSize || !ReadAt(in, fileSize - tailSize, tailSize, tail))
        return std::nullopt;
    std::size_t end = tailSize - kEndSize + 1;
    do {
        if (end == 0)
            return std::nullopt;
        --end;
    } while (Le(tail, end, 4) != kEndRecord);
    std::uint64_t count = Le(tail, end + 10, 2), dirSize = Le(tail, end + 12, 4), dirAt = Le(tail, end + 16, 4);
    if (count == 0xFFFF || dirSize == 0xFFFFFFFF || dirAt == 0xFFFFFFFF) {
        // ZIP64: a locator right before the end record gives the place of
        // the larger end record.
        const std::uint64_t endAt = fileSize - tailSize + end;
        std::vector<std::uint8_t> locator, end64;
        if (endAt < 20 || !ReadAt(in, endAt - 20, 20, locator) || Le(locator, 0, 4) != kEnd64Locator ||
            !ReadAt(in, Le(locator, 8, 8), 56, end64) || Le(end64, 0, 4) != kEnd64Record)
            return std::nullopt;
        count = Le(end64, 32, 8);
        dirSize = Le(end64, 40, 8);
        dirAt = Le(end64, 48, 8);
    }
    std::vector<std::uint8_t> dir;
    if (dirAt > fileSize || dirSize > fileSize - dirAt || !ReadAt(in, dirAt, dirSize, dir))
        return std::nullopt;
    std::map<std::string, std::uint64_t> sizes;
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (dir.size() - at < kEntrySize || Le(dir, at, 4) != kDirectoryEntry)
            return std::nullopt;
        const std::size_t name = at + kEntrySize, extra = name + Le(dir, at + 28, 2);
        const std::size_t next = extra + Le(dir, at + 30, 2) + Le(dir, at + 32, 2);
        if (next > dir.size())
            return std::nullopt;
        std::uint64_t size = Le(dir, at + 24, 4);
        if (size == 0xFFFFFFFF)
            size = Zip64Size(dir, extra, extra + Le(dir, at + 30, 2), size);
        sizes[std::string(dir.begin() + static_cast<std::ptrdiff_t>(name),
                          dir.begin() + static_cast<std::ptrdiff_t>(extra))] = size;
        at = next;
    }
    return sizes;
}

} // namespace zorbik
