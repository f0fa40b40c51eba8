// Comma-separated values as RFC 4180 writes them: fields separated by the
// delimiter, lines ended by CR LF, a field quoted only when it holds the
// delimiter, a quote, CR or LF, quotes inside doubled. Texts are UTF-8
// (with a byte order mark first when asked for); numbers are the shortest
// text that reads back to the same double, with a point, and NaN and the
// infinities are the words "NaN", "inf" and "-inf", which Python, pandas
// and R read back as those values.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <vector>

#include "codecs/LittleEndian.h"
#include "codecs/ValueConversions.h"
#include "sheet/OutputBuffer.h"
#include "sheet/SheetWriter.h"
#include "target/CellTarget.h"
#include "target/NumberText.h"
#include "target/TargetFormat.h"
#include "target/TextDecoder.h"

namespace zorbik {

namespace csv_text {

// Sixteen bytes at once, in the processor's vector registers.
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Signed16 = std::int8_t __attribute__((vector_size(16)));

// Whether none of 16 bytes is a control character (below 20h: the zero
// byte, CR and LF among them), no ASCII character (from 80h), the
// delimiter (16 times in `delimiters`) or a quote.
inline bool Plain(Bytes16 bytes, Bytes16 delimiters)
{
    Signed16 signedBytes; // from 80h below zero
    std::memcpy(&signedBytes, &bytes, 16);
    const Signed16 found = (signedBytes < Signed16{} + 0x20) | (bytes == delimiters) | (bytes == Bytes16{} + '"');
    std::uint64_t halves[2];
    std::memcpy(halves, &found, 16);
    return (halves[0] | halves[1]) == 0;
}

// Two runs of 8 bytes as one vector.
inline Bytes16 Join(const void* low, const void* high)
{
    Bytes16 bytes;
    std::memcpy(&bytes, low, 8);
    std::memcpy(reinterpret_cast<char*>(&bytes) + 8, high, 8);
    return bytes;
}

} // namespace csv_text

class CsvTarget {
public:
    CsvTarget(ByteSink& sink, const std::atomic<bool>& stop, const TargetOptions& options, std::size_t capacity,
              bool writeBehind);

    bool Begin(const TargetStart& start);
    void Row(std::uint64_t) { cell_ = 0; }
    void Text(const std::uint8_t* bytes, std::uint32_t n)
    {
        const std::size_t room = std::size_t{n} * TextDecoder::kMaxPerByte;
        if (room + 1 > capacity_ / 2) {
            LongText(bytes, n);
            return;
        }
        // Decoded straight into the buffer; only a text that must be quoted
        // takes the long way.
        char* const text = Open(std::max<std::size_t>(room, 8));
        TextDecoder& decoder = decoders_->For(cell_ - 1);
        // Most texts are plain ASCII, their bytes as they are in the field.
        if (decoder.CopiesAscii() && CopyPlain(bytes, n, text))
            Close(text + n);
        else
            DecodedText(decoder, bytes, n, text);
    }
    void Integer(std::int64_t value)
    {
        char* const at = Open(24);
        Close(IntegerText(value, at));
    }
    void Unsigned(std::uint64_t value);
    void Number(double value);
    // A number whose digits are its shortest text.
    void Decimal(const ShortDecimal& decimal)
    {
        char* const at = Open(kNumberTextSize);
        Close(DecimalText(decimal.digits, decimal.scale, decimal.negative, at));
    }
    // A packed decimal written straight from its digits; false, with
    // nothing written, for one that must take the long way.
    bool Packed(const std::uint8_t packed[10])
    {
        if (char* const end = PackedText(packed, Open(kNumberTextSize))) {
            Close(end);
            return true;
        }
        --cell_; // the room given up, nothing written in it
        return false;
    }
    // A number whose `n` bytes of text (at most 16, of 16 that can be
    // read) are already its shortest text but for the minus.
    void ShortestText(bool negative, const std::uint8_t* text, std::uint32_t n)
    {
        char* at = Open(17);
        *at = '-'; // kept by a negative number only
        at += negative ? 1 : 0;
        std::memcpy(at, text, 16);
        Close(at + n);
    }
    void Date(const DateValue& date, double);
    void Empty(bool)
    {
        ++cell_;
        EndField();
    }
    // The delimiter after the line's last field becomes its CR, which the
    // room kept after every field leaves in the buffer.
    void EndRow()
    {
        char* const end = reinterpret_cast<char*>(out_->Reserve(2));
        if (cell_ == 0) {
            end[0] = '\r';
            end[1] = '\n';
            out_->Commit(2);
            return;
        }
        end[-1] = '\r';
        end[0] = '\n';
        out_->Commit(1);
    }
    // For rows written on a second thread: the bytes of such rows taken as
    // this target's own, those its sink holds and then those it collects.
    void Put(const std::vector<std::uint8_t>& bytes) { out_->Append(bytes.data(), bytes.size()); }
    void Take(CsvTarget& other)
    {
        out_->Append(other.out_->Collected(), other.out_->CollectedSize());
        other.out_->Clear();
    }
    bool Failed() const { return out_ && out_->Failed(); }
    bool End();
    void Abort();
    TargetNotes Notes() const { return {decoders_ ? decoders_->Undefined() : 0, 0}; }

private:
    // Room in the buffer for a field of up to `n` bytes, the delimiter
    // after it and two bytes more, which stay free for EndRow: the field is
    // written there, and Close takes it with its delimiter.
    char* Open(std::size_t n)
    {
        ++cell_;
        open_ = reinterpret_cast<char*>(out_->Reserve(n + 3));
        return open_;
    }
    void Close(char* end)
    {
        *end = options_.delimiter;
        out_->Commit(static_cast<std::size_t>(end + 1 - open_));
    }
    // The delimiter after a field appended another way.
    void EndField()
    {
        open_ = reinterpret_cast<char*>(out_->Reserve(3));
        Close(open_);
    }
    // Copies a text of plain ASCII to `text` (room for 8 bytes at least)
    // and says whether it was one, as Plain tells. What it copies of any
    // other is garbage.
    bool CopyPlain(const std::uint8_t* bytes, std::uint32_t n, char* text) const
    {
        using namespace csv_text;
        const Bytes16 delimiters = Bytes16{} + static_cast<std::uint8_t>(options_.delimiter);
        if (n < 8) {
            // Built in a register, 'a' after the text's bytes.
            const std::uint64_t mask = (std::uint64_t{1} << (8 * n)) - 1;
            const std::uint64_t eight = LoadLeUpTo8(bytes, n) | (0x6161616161616161ull & ~mask);
            StoreLe64(reinterpret_cast<std::uint8_t*>(text), eight);
            return PlainWord(eight);
        }
        if (n <= 16) {
            // The first and the last eight bytes, overlapping below 16.
            std::memcpy(text, bytes, 8);
            std::memcpy(text + n - 8, bytes + n - 8, 8);
            return Plain(Join(bytes, bytes + n - 8), delimiters);
        }
        bool plain = true;
        for (std::uint32_t i = 0; i + 16 < n; i += 16) {
            Bytes16 sixteen;
            std::memcpy(&sixteen, bytes + i, 16);
            std::memcpy(text + i, &sixteen, 16);
            plain &= Plain(sixteen, delimiters);
        }
        Bytes16 last; // some of its bytes copied already
        std::memcpy(&last, bytes + n - 16, 16);
        std::memcpy(text + n - 16, &last, 16);
        return plain && Plain(last, delimiters);
    }
    // What Plain tells, of eight bytes in a word.
    bool PlainWord(std::uint64_t eight) const
    {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHigh = 0x8080808080808080ull;
        // The high bit of a byte below `below`: exact as to whether there
        // is one, which is all that is asked.
        auto less = [&](std::uint64_t x, std::uint8_t below) { return (x - kOnes * below) & ~x & kHigh; };
        const std::uint64_t delimiters = kOnes * static_cast<std::uint8_t>(options_.delimiter);
        return ((eight & kHigh) | less(eight, 0x20) | less(eight ^ (kOnes * '"'), 1) | less(eight ^ delimiters, 1)) == 0;
    }
    // The text of Text decoded at `text`, where it was opened, and quoted
    // when it must be; one too long for the buffer.
    void DecodedText(TextDecoder& decoder, const std::uint8_t* bytes, std::uint32_t n, char* text);
    void LongText(const std::uint8_t* bytes, std::uint32_t n);
    bool NeedsQuotes(const char* text, const char* end) const;
    // Writes a UTF-8 text as a field, quoted when it must be.
    void PutText(const char* text, std::size_t length);

    ByteSink& sink_;
    const std::atomic<bool>& stop_;
    TargetOptions options_;
    std::size_t capacity_;
    bool writeBehind_;
    std::optional<OutputBuffer> out_;
    std::optional<ColumnDecoders> decoders_;
    std::vector<char> text_; // a decoded text
    char* open_ = nullptr;   // where the field being written begins
    std::uint32_t cell_ = 0; // cells of the line so far
};

} // namespace zorbik
