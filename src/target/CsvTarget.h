// Comma-separated values as RFC 4180 writes them: fields separated by the
// delimiter, lines ended by CR LF, a field quoted only when it holds the
// delimiter, a quote, CR or LF, quotes inside doubled. Texts are UTF-8
// (with a byte order mark first when asked for); numbers are the shortest
// text that reads back to the same double, with a point, and NaN and the
// infinities are the words "NaN", "inf" and "-inf", which Python, pandas
// and R read back as those values.
#pragma once

#include <atomic>
#include <cstring>
#include <optional>
#include <vector>

#include "codecs/ValueConversions.h"
#include "sheet/OutputBuffer.h"
#include "sheet/SheetWriter.h"
#include "target/CellTarget.h"
#include "target/NumberText.h"
#include "target/TargetFormat.h"
#include "target/TextDecoder.h"

namespace zorbik {

class CsvTarget {
public:
    CsvTarget(ByteSink& sink, const std::atomic<bool>& stop, const TargetOptions& options, std::size_t capacity,
              bool writeBehind);

    bool Begin(const TargetStart& start);
    void Row(std::uint64_t) { cell_ = 0; }
    void Text(const std::uint8_t* bytes, std::uint32_t n);
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
        char text[kNumberTextSize];
        const char* const end = PackedText(packed, text);
        if (end == nullptr)
            return false;
        char* const at = Open(kNumberTextSize);
        std::memcpy(at, text, kNumberTextSize);
        Close(at + (end - text));
        return true;
    }
    // A number whose `n` bytes of text (at most 20) are already its
    // shortest text but for the minus.
    void ShortestText(bool negative, const std::uint8_t* text, std::uint32_t n)
    {
        char* at = Open(n + 1);
        *at = '-'; // kept by a negative number only
        at += negative ? 1 : 0;
        CopyShortBytes(reinterpret_cast<std::uint8_t*>(at), text, n);
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
    // For rows written on a second thread: every byte so far into the
    // sink, and the bytes of such rows taken as this target's own.
    void Flush() { out_->Flush(); }
    void Put(const std::vector<std::uint8_t>& bytes) { out_->Append(bytes.data(), bytes.size()); }
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
    // and says whether it was one: no zero byte, no byte from 80h, no
    // delimiter, quote, CR or LF. What it copies of any other is garbage.
    bool CopyPlain(const std::uint8_t* bytes, std::uint32_t n, char* text) const;
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
