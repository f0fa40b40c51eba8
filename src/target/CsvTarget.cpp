#include "target/CsvTarget.h"

#include "sheet/SheetWriter.h"
#include "target/DateText.h"
#include "target/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace zorbik {

CsvTarget::CsvTarget(ByteSink& sink, const std::atomic<bool>& stop, const TargetOptions& options,
                     std::size_t capacity, bool writeBehind)
    : sink_(sink), stop_(stop), options_(options), capacity_(capacity), writeBehind_(writeBehind)
{
}

bool CsvTarget::Begin(const TargetStart& start)
{
    out_.emplace(sink_, &stop_, capacity_, writeBehind_);
    decoders_.emplace(start.codePage, ColumnPages(start));
    std::uint32_t widest = 0;
    for (const TargetColumn& column : start.columns)
        widest = std::max(widest, column.bytes);
    text_.resize(std::size_t{widest} * TextDecoder::kMaxPerByte);
    if (options_.bom)
        out_->Append(reinterpret_cast<const std::uint8_t*>("\xEF\xBB\xBF"), 3);
    if (options_.names) {
        cell_ = 0;
        for (const TargetColumn& column : start.columns) {
            ++cell_;
            PutText(column.name.data(), column.name.size());
            EndField();
        }
        EndRow();
    }
    return true;
}

namespace {

// The high bit of the lowest byte of `x` that is zero; above it, bits
// borrowed from it, so this is not zero exactly when a byte of x is.
constexpr std::uint64_t ZeroByte(std::uint64_t x)
{
    return (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
}

// Sixteen bytes at once, in the processor's vector registers.
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Signed16 = std::int8_t __attribute__((vector_size(16)));

// Whether none of 16 bytes is a zero byte, no ASCII character, the
// delimiter (16 times in `delimiters`), a quote, CR or LF.
bool Plain(Bytes16 bytes, Bytes16 delimiters)
{
    Signed16 signedBytes; // from 80h below zero
    std::memcpy(&signedBytes, &bytes, 16);
    const Signed16 found = (bytes == delimiters) | (bytes == Bytes16{} + '"') | (bytes == Bytes16{} + '\r') |
                           (bytes == Bytes16{} + '\n') | (bytes == Bytes16{}) | (signedBytes < Signed16{});
    std::uint64_t halves[2];
    std::memcpy(halves, &found, 16);
    return (halves[0] | halves[1]) == 0;
}

// Two runs of 8 bytes as one vector.
Bytes16 Join(const void* low, const void* high)
{
    Bytes16 bytes;
    std::memcpy(&bytes, low, 8);
    std::memcpy(reinterpret_cast<char*>(&bytes) + 8, high, 8);
    return bytes;
}

} // namespace

bool CsvTarget::CopyPlain(const std::uint8_t* bytes, std::uint32_t n, char* text) const
{
    const Bytes16 delimiters = Bytes16{} + static_cast<std::uint8_t>(options_.delimiter);
    if (n < 8) {
        std::uint8_t eight[8];
        std::memset(eight, 'a', 8);
        CopyShortBytes(eight, bytes, n);
        std::memcpy(text, eight, 8);
        return Plain(Join(eight, eight), delimiters);
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

bool CsvTarget::NeedsQuotes(const char* text, const char* end) const
{
    const char delimiter = options_.delimiter;
    if (end - text < 8) {
        for (; text != end; ++text) {
            const char c = *text;
            if (c == delimiter || c == '"' || c == '\r' || c == '\n')
                return true;
        }
        return false;
    }
    const std::uint64_t ones = 0x0101010101010101ull;
    const std::uint64_t delimiters = ones * static_cast<std::uint8_t>(delimiter);
    auto special = [&](const char* at) {
        std::uint64_t eight;
        std::memcpy(&eight, at, 8);
        return (ZeroByte(eight ^ delimiters) | ZeroByte(eight ^ (ones * '"')) | ZeroByte(eight ^ (ones * '\r')) |
                ZeroByte(eight ^ (ones * '\n'))) != 0;
    };
    for (; end - text > 8; text += 8)
        if (special(text))
            return true;
    return special(end - 8); // the last eight bytes, some of them looked at already
}

void CsvTarget::Text(const std::uint8_t* bytes, std::uint32_t n)
{
    const std::size_t room = std::size_t{n} * TextDecoder::kMaxPerByte;
    if (room + 1 <= capacity_ / 2) {
        // Decoded straight into the buffer; only a text that must be quoted
        // takes the long way.
        char* const text = Open(std::max<std::size_t>(room, 8));
        TextDecoder& decoder = decoders_->For(cell_ - 1);
        // Most texts are plain ASCII, their bytes as they are in the field.
        if (decoder.CopiesAscii() && CopyPlain(bytes, n, text)) {
            Close(text + n);
            return;
        }
        char* const end = text + decoder.Decode(bytes, n, text);
        if (!NeedsQuotes(text, end)) {
            Close(end);
            return;
        }
        // Moved aside, the room given up, and written quoted.
        const auto length = static_cast<std::size_t>(end - text);
        std::memcpy(text_.data(), text, length);
        PutText(text_.data(), length);
        EndField();
        return;
    }
    ++cell_;
    PutText(text_.data(), decoders_->For(cell_ - 1).Decode(bytes, n, text_.data()));
    EndField();
}

void CsvTarget::PutText(const char* text, std::size_t length)
{
    const char* const end = text + length;
    if (!NeedsQuotes(text, end)) {
        out_->Append(reinterpret_cast<const std::uint8_t*>(text), length);
        return;
    }
    const auto* quote = reinterpret_cast<const std::uint8_t*>("\"");
    out_->Append(quote, 1);
    for (const char* from = text; from < end;) {
        const char* const q = std::find(from, end, '"');
        const char* const next = q == end ? end : q + 1;
        out_->Append(reinterpret_cast<const std::uint8_t*>(from), static_cast<std::size_t>(next - from));
        if (q != end)
            out_->Append(quote, 1); // the quote once more
        from = next;
    }
    out_->Append(quote, 1);
}

void CsvTarget::Unsigned(std::uint64_t value)
{
    char* const at = Open(24);
    Close(IntegerText(value, false, at));
}

void CsvTarget::Date(const DateValue& date, double)
{
    char* const at = Open(kDateTextSize);
    Close(at + DateText(date, at));
}

void CsvTarget::Number(double value)
{
    char* const at = Open(kNumberTextSize);
    if (std::isnan(value)) {
        std::memcpy(at, "NaN", 3);
        Close(at + 3);
    } else if (std::isinf(value)) {
        const char* word = value > 0 ? "inf" : "-inf";
        const std::size_t length = std::strlen(word);
        std::memcpy(at, word, length);
        Close(at + length);
    } else {
        Close(NumberText(value, at));
    }
}

bool CsvTarget::End()
{
    out_->Drain();
    return !out_->Failed();
}

void CsvTarget::Abort()
{
    if (out_)
        out_->Settle();
}

} // namespace zorbik
