#include "find/GuessLayout.h"

#include <algorithm>
#include <sstream>

namespace zorbik {
namespace {

MessageId ReasonText(ColumnReason reason)
{
    switch (reason) {
    case ColumnReason::Text:
        break;
    case ColumnReason::NumberText:
        return MessageId::ReasonNumberText;
    case ColumnReason::Integer:
        return MessageId::ReasonInteger;
    case ColumnReason::BigEndianInteger:
        return MessageId::ReasonBigEndianInteger;
    case ColumnReason::Double:
        return MessageId::ReasonDouble;
    case ColumnReason::Single:
        return MessageId::ReasonSingle;
    case ColumnReason::PackedDecimal:
        return MessageId::ReasonPackedDecimal;
    case ColumnReason::Constant:
        return MessageId::ReasonConstant;
    case ColumnReason::Joined:
        return MessageId::ReasonJoined;
    case ColumnReason::Packed:
        return MessageId::ReasonPacked;
    case ColumnReason::Zoned:
        return MessageId::ReasonZoned;
    case ColumnReason::DateDigits:
        return MessageId::ReasonDateDigits;
    case ColumnReason::PascalString:
        return MessageId::ReasonPascalString;
    }
    return MessageId::ReasonText;
}

// What a column was taken for, as the comments name it: "text_1",
// "number_2", "date_3" (the column's number after the word). The columns
// themselves stay unnamed.
std::string ColumnName(const GuessedColumn& column, std::size_t number)
{
    const char* word = "number";
    switch (column.reason) {
    case ColumnReason::Text:
    case ColumnReason::PascalString:
    case ColumnReason::Joined:
        word = "text";
        break;
    case ColumnReason::Integer:
    case ColumnReason::BigEndianInteger:
        word = "integer";
        break;
    case ColumnReason::DateDigits:
        word = "date";
        break;
    case ColumnReason::Constant:
        word = "filler";
        break;
    default:
        break;
    }
    return word + ("_" + std::to_string(number));
}

void Add(Marks& marks, std::uint64_t row, MarkerKind marker, FieldType type, const FieldOptions& options = {})
{
    marks.SetMarker(static_cast<std::int32_t>(row), marker);
    marks.SetFieldType(static_cast<std::int32_t>(row), type);
    marks.SetFieldOptions(static_cast<std::int32_t>(row), options);
}

std::string Number(std::uint64_t value)
{
    return std::to_string(value);
}

} // namespace

Marks GuessMarks(const RecordGuess& guess)
{
    Marks entries;
    if (!guess.Found() || guess.columns.empty())
        return entries;
    const std::uint64_t s = guess.start;
    const std::uint32_t last = guess.length - 1;
    const std::vector<GuessedColumn>& columns = guess.columns;
    // The edge columns come from typed record marks; the others have marks
    // of their own.
    const bool leading = columns.front().offset == 0;
    const bool trailing = columns.size() > 1 && columns.back().offset + columns.back().length - 1 == last;
    Add(entries, s, MarkerKind::LineBegin, leading ? columns.front().type : FieldType::None,
        leading ? columns.front().options : FieldOptions{});
    for (std::size_t i = leading ? 1 : 0; i < columns.size() - (trailing ? 1 : 0); ++i) {
        const GuessedColumn& c = columns[i];
        Add(entries, s + c.offset, MarkerKind::ColumnBegin, c.type, c.options);
        Add(entries, s + c.offset + c.length - 1, MarkerKind::ColumnEnd, FieldType::None);
    }
    // The trailing column takes its type from its first row, which the
    // typed record end turns into its begin.
    if (trailing && columns.back().length > 1)
        Add(entries, s + columns.back().offset, MarkerKind::Unmarked, columns.back().type, columns.back().options);
    Add(entries, s + last, MarkerKind::LineEnd, trailing ? columns.back().type : FieldType::None,
        trailing ? columns.back().options : FieldOptions{});
    return entries;
}

std::string FormatGuess(const RecordGuess& guess, UiLanguage language)
{
    std::ostringstream text;
    text << Text(MessageId::GuessHeading, language) << "\n"
         << Say(MessageId::GuessRecords, language,
                {Number(guess.length), Number(guess.start), Number(guess.recordCount), Number(guess.tail)})
         << "\n"
         << Say(MessageId::GuessConfidence, language, {Number(static_cast<std::uint64_t>(guess.confidence))}) << "\n";
    if (guess.LowConfidence())
        text << "# " << LowConfidenceText(language) << "\n";
    if (!guess.alternatives.empty()) {
        text << Text(MessageId::GuessAlternatives, language);
        for (const LengthAlternative& a : guess.alternatives)
            text << " " << a.length << " (" << std::clamp(a.score, 0, 100) << " %)";
        text << "\n";
    }
    for (std::size_t i = 0; i < guess.columns.size(); ++i) {
        const GuessedColumn& c = guess.columns[i];
        text << Say(MessageId::GuessColumn, language,
                    {Number(i + 1), Number(c.offset), Number(c.offset + c.length - 1),
                     std::string(FieldTypeWord(c.type)) + FieldOptionWords(c.type, c.options),
                     Text(ReasonText(c.reason), language), ColumnName(c, i + 1)})
             << "\n";
    }
    // The marks as a layout file gives them, without its heading.
    const std::string layout = FormatLayout({GuessMarks(guess), {}});
    text << std::string_view(layout).substr(layout.find('\n') + 1);
    return text.str();
}

std::string_view GuessFailureText(GuessFailure failure, UiLanguage language)
{
    switch (failure) {
    case GuessFailure::TooSmall:
        return Text(MessageId::GuessTooSmall, language);
    case GuessFailure::NoRepeat:
        return Text(MessageId::GuessNoRepeat, language);
    case GuessFailure::ReadError:
        return Text(MessageId::GuessReadError, language);
    case GuessFailure::None:
        break;
    }
    return {};
}

std::string GuessSummary(const RecordGuess& guess, UiLanguage language)
{
    std::string text = Say(MessageId::GuessSummary, language,
                           {Number(guess.length), Number(guess.start), Number(static_cast<std::uint64_t>(guess.confidence))});
    std::string lengths;
    for (const LengthAlternative& a : guess.alternatives)
        lengths += (lengths.empty() ? "" : ", ") + Number(a.length);
    if (!lengths.empty())
        text += Say(MessageId::GuessOtherLengths, language, {lengths});
    return text;
}

std::string_view LowConfidenceText(UiLanguage language)
{
    return Text(MessageId::GuessLowConfidence, language);
}

} // namespace zorbik
