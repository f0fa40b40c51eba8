#include "target/CsvTarget.h"

#include "target/DateText.h"

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
        first_ = true;
        for (const TargetColumn& column : start.columns) {
            Separate();
            PutText(column.name.data(), column.name.size());
        }
        EndRow();
    }
    return true;
}

void CsvTarget::PutText(const char* text, std::size_t length)
{
    const char specials[] = {options_.delimiter, '"', '\r', '\n'};
    const char* const end = text + length;
    const bool quoted = std::find_first_of(text, end, specials, specials + 4) != end;
    if (!quoted) {
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

void CsvTarget::Integer(std::int64_t value)
{
    Separate();
    char digits[24];
    const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out_->Append(reinterpret_cast<const std::uint8_t*>(digits), static_cast<std::size_t>(end - digits));
}

void CsvTarget::Unsigned(std::uint64_t value)
{
    Separate();
    char digits[24];
    const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out_->Append(reinterpret_cast<const std::uint8_t*>(digits), static_cast<std::size_t>(end - digits));
}

void CsvTarget::Date(const DateValue& date, double)
{
    Separate();
    char text[kDateTextSize];
    out_->Append(reinterpret_cast<const std::uint8_t*>(text), DateText(date, text));
}

void CsvTarget::Number(double value)
{
    Separate();
    char digits[32];
    const char* end = digits;
    if (std::isnan(value)) {
        std::memcpy(digits, "NaN", 3);
        end = digits + 3;
    } else if (std::isinf(value)) {
        const char* word = value > 0 ? "inf" : "-inf";
        end = digits + std::strlen(word);
        std::memcpy(digits, word, static_cast<std::size_t>(end - digits));
    } else {
        end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    }
    out_->Append(reinterpret_cast<const std::uint8_t*>(digits), static_cast<std::size_t>(end - digits));
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
