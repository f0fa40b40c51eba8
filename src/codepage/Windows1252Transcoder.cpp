#include "codepage/Windows1252Transcoder.h"

#include "codepage/CodePages.h"
#include "codepage/Utf8.h"

namespace zorbik {

Windows1252Transcoder::Windows1252Transcoder(std::uint16_t codePage) : utf8_(codePage == kUtf8CodePage)
{
    for (unsigned b = 0x80; b < 0xA0; ++b)
        high1252_[b - 0x80] = CodePageDefines(static_cast<std::uint8_t>(b), kDefaultCodePage)
                                  ? static_cast<char16_t>(CodePageChar(static_cast<std::uint8_t>(b), kDefaultCodePage))
                                  : char16_t{0};
    for (unsigned b = 0; b < 0x100; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const int mapped = CodePageDefines(byte, codePage) ? ByteOf(CodePageChar(byte, codePage)) : -1;
        byte_[b] = mapped < 0 ? '?' : static_cast<std::uint8_t>(mapped);
        missing_[b] = mapped < 0;
    }
}

int Windows1252Transcoder::ByteOf(char32_t c) const
{
    // 1252 is Latin-1 but for 80h .. 9Fh.
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (high1252_[i] != 0 && high1252_[i] == c)
            return 0x80 + i;
    return -1;
}

std::uint32_t Windows1252Transcoder::Transcode(const std::uint8_t* bytes, std::uint32_t n, std::uint8_t* out,
                                               std::uint32_t room)
{
    std::uint32_t written = 0;
    if (!utf8_) {
        for (; written < n && written < room; ++written) {
            out[written] = byte_[bytes[written]];
            unmapped_ += missing_[bytes[written]];
        }
        return written;
    }
    for (std::uint32_t at = 0; at < n && written < room; ++written) {
        if (bytes[at] < 0x80) {
            out[written] = bytes[at++];
            continue;
        }
        const Utf8Step step = ReadUtf8(bytes + at, n - at);
        const int mapped = step.c == kNotUtf8 ? -1 : ByteOf(step.c);
        out[written] = mapped < 0 ? '?' : static_cast<std::uint8_t>(mapped);
        unmapped_ += mapped < 0;
        at += step.bytes;
    }
    return written;
}

} // namespace zorbik
