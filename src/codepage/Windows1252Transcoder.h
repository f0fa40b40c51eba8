// The texts of a source the worksheet cannot declare the page of (EBCDIC,
// UTF-8) in Windows-1252, which it can: every character 1252 has becomes
// its byte, every other one '?', counted so that the user hears of it once
// at the end, as do UTF-8's invalid sequences. A text never grows.
#pragma once

#include <cstdint>

namespace zorbik {

class Windows1252Transcoder {
public:
    // `codePage`: a single-byte page or kUtf8CodePage.
    explicit Windows1252Transcoder(std::uint16_t codePage);

    // Writes the 1252 bytes of the text `bytes[0 .. n)`, at most `room` of
    // them, to `out`; returns the bytes written. A zero byte stays one, as
    // the worksheet keeps the zero bytes of every text.
    std::uint32_t Transcode(const std::uint8_t* bytes, std::uint32_t n, std::uint8_t* out, std::uint32_t room);

    // Characters written as '?' so far.
    std::uint64_t Unmapped() const { return unmapped_; }

private:
    // The byte of `c` in 1252, or -1.
    int ByteOf(char32_t c) const;

    bool utf8_;
    std::uint8_t byte_[256];      // a single-byte page's byte in 1252 ...
    std::uint8_t missing_[256];   // ... 1 where 1252 has no character for it
    char16_t high1252_[32];       // the characters of 80h .. 9Fh in 1252; 0 where none
    std::uint64_t unmapped_ = 0;
};

} // namespace zorbik
