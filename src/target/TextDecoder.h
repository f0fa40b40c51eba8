// Text bytes of a code page as UTF-8, for the targets that hold Unicode.
// A byte the page does not define (81h in 1252) becomes U+FFFD, the replacement character, and
// is counted, so that the user hears of it once at the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorbik {

class TextDecoder {
public:
    // UTF-8 bytes one source byte can become.
    static constexpr std::size_t kMaxPerByte = 3;

    explicit TextDecoder(std::uint16_t codePage);

    // Writes the UTF-8 of the text `bytes[0 .. n)`, which ends at its first
    // zero byte, to `out` (room for kMaxPerByte * n bytes); returns the
    // bytes written.
    std::size_t Decode(const std::uint8_t* bytes, std::uint32_t n, char* out)
    {
        char* const start = out;
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint8_t byte = bytes[i];
            if (byte < 0x80) {
                if (byte == 0)
                    break;
                *out++ = static_cast<char>(byte);
                continue;
            }
            const Utf8Char& c = high_[byte - 0x80];
            undefined_ += c.undefined;
            out[0] = c.bytes[0];
            out[1] = c.bytes[1];
            out[2] = c.bytes[2];
            out += c.length;
        }
        return static_cast<std::size_t>(out - start);
    }

    // Bytes decoded so far that the page has no character for.
    std::uint64_t Undefined() const { return undefined_; }

private:
    struct Utf8Char {
        char bytes[3];
        std::uint8_t length;
        std::uint8_t undefined;
    };
    Utf8Char high_[128];
    std::uint64_t undefined_ = 0;
};

} // namespace zorbik
