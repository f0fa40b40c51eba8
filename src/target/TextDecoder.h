// Text bytes of a code page as UTF-8, for the targets that hold Unicode.
// A byte the page does not define (81h in 1252) becomes U+FFFD, the replacement character, and
// is counted, so that the user hears of it once at the end. A UTF-8 source's valid characters
// are copied, each invalid or cut-off sequence becomes one U+FFFD, counted the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codepage/Utf8.h"

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
        if (utf8_)
            return DecodeUtf8(bytes, n, out);
        if (!ascii_)
            return DecodeEbcdic(bytes, n, out);
        char* const start = out;
        std::uint32_t i = 0;
        // Eight bytes at a time while they are ASCII and none is zero.
        for (; i + 8 <= n; i += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, bytes + i, 8);
            if (((eight | (eight - 0x0101010101010101ull)) & 0x8080808080808080ull) != 0)
                break;
            std::memcpy(out, &eight, 8);
            out += 8;
        }
        for (; i < n; ++i) {
            const std::uint8_t byte = bytes[i];
            if (byte < 0x80) {
                if (byte == 0)
                    break;
                *out++ = static_cast<char>(byte);
                continue;
            }
            out = Put(byte, out);
        }
        return static_cast<std::size_t>(out - start);
    }

    // Whether bytes 01h to 7Fh are written as they are, as in ASCII.
    bool CopiesAscii() const { return ascii_ || utf8_; }

    // Bytes decoded so far that the page has no character for.
    std::uint64_t Undefined() const { return undefined_; }

private:
    char* Put(std::uint8_t byte, char* out)
    {
        const Utf8Char& c = chars_[byte];
        undefined_ += c.undefined;
        out[0] = c.bytes[0];
        out[1] = c.bytes[1];
        out[2] = c.bytes[2];
        return out + c.length;
    }

    // Every byte through the table; zero is EBCDIC's zero too.
    std::size_t DecodeEbcdic(const std::uint8_t* bytes, std::uint32_t n, char* out)
    {
        char* const start = out;
        for (std::uint32_t i = 0; i < n && bytes[i] != 0; ++i)
            out = Put(bytes[i], out);
        return static_cast<std::size_t>(out - start);
    }

    std::size_t DecodeUtf8(const std::uint8_t* bytes, std::uint32_t n, char* out)
    {
        char* const start = out;
        for (std::uint32_t i = 0; i < n;) {
            const std::uint8_t byte = bytes[i];
            if (byte < 0x80) {
                if (byte == 0)
                    break;
                *out++ = static_cast<char>(byte);
                ++i;
                continue;
            }
            const Utf8Step step = ReadUtf8(bytes + i, n - i);
            if (step.c == kNotUtf8) {
                out += WriteUtf8(U'\uFFFD', out);
                ++undefined_;
            } else {
                for (std::uint32_t k = 0; k < step.bytes; ++k)
                    *out++ = static_cast<char>(bytes[i + k]);
            }
            i += step.bytes;
        }
        return static_cast<std::size_t>(out - start);
    }

    struct Utf8Char {
        char bytes[3];
        std::uint8_t length;
        std::uint8_t undefined;
    };
    Utf8Char chars_[256];
    bool ascii_;  // bytes below 80h are ASCII, as in every page but EBCDIC
    bool utf8_;
    std::uint64_t undefined_ = 0;
};

// The decoders of a conversion's text columns: the source's page for most,
// a column's own page where it has one.
class ColumnDecoders {
public:
    // `pages`: per column its own page, 0 for the source's.
    ColumnDecoders(std::uint16_t sourcePage, const std::vector<std::uint16_t>& pages)
    {
        std::vector<std::uint16_t> made = {sourcePage};
        decoders_.emplace_back(sourcePage);
        for (const std::uint16_t page : pages) {
            const std::uint16_t wanted = page == 0 ? sourcePage : page;
            std::size_t at = 0;
            while (at < made.size() && made[at] != wanted)
                ++at;
            if (at == made.size()) {
                made.push_back(wanted);
                decoders_.emplace_back(wanted);
            }
            index_.push_back(static_cast<std::uint32_t>(at));
        }
    }
    TextDecoder& For(std::size_t column) { return decoders_[column < index_.size() ? index_[column] : 0]; }
    std::uint64_t Undefined() const
    {
        std::uint64_t sum = 0;
        for (const TextDecoder& decoder : decoders_)
            sum += decoder.Undefined();
        return sum;
    }

private:
    std::vector<TextDecoder> decoders_;
    std::vector<std::uint32_t> index_;
};

} // namespace zorbik
