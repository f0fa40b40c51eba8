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

} // namespace

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

void CsvTarget::DecodedText(TextDecoder& decoder, const std::uint8_t* bytes, std::uint32_t n, char* text)
{
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
}

void CsvTarget::LongText(const std::uint8_t* bytes, std::uint32_t n)
{
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
    if (std::isfinite(value)) {
        Close(NumberText(value, at));
    } else if (std::isnan(value)) {
        std::memcpy(at, "NaN", 3);
        Close(at + 3);
    } else {
        const char* word = value > 0 ? "inf" : "-inf";
        const std::size_t length = std::strlen(word);
        std::memcpy(at, word, length);
        Close(at + length);
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
