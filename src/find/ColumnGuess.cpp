#include "find/ColumnGuess.h"

#include <array>

#include "find/BinaryCut.h"

namespace zorbik {
namespace {

bool IsPad(std::uint8_t b)
{
    return b == 0x00 || b == 0x20;
}

bool IsNumberChar(std::uint8_t b)
{
    return (b >= '0' && b <= '9') || b == '.' || b == ',' || b == '-' || b == '+';
}

bool IsControl(std::uint8_t b)
{
    return (b >= 0x01 && b < 0x20) || b == 0x7F;
}

bool IsPrintable(std::uint8_t b)
{
    return b >= 0x20 && b < 0x7F;
}

bool IsAsciiLetter(std::uint8_t b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// How a position takes part in the cut.
enum class Kind : std::uint8_t { PadConst, OtherConst, Char, Binary };
// What the non-padding bytes of a text position are.
enum class Content : std::uint8_t { None, Digits, Letters };

Kind KindOf(const PositionStats& s)
{
    if (s.constant) {
        if (IsPad(s.value))
            return Kind::PadConst;
        return IsPrintable(s.value) ? Kind::Char : Kind::OtherConst;
    }
    return s.textLike ? Kind::Char : Kind::Binary;
}

Content ContentOf(const PositionStats& s)
{
    if (s.pad >= 1.0 || KindOf(s) != Kind::Char)
        return Content::None;
    // A few digits in a place that is nearly always padding say little: the
    // end of a text that sometimes ends in a number, say.
    if (s.digits)
        return s.pad > 0.9 ? Content::None : Content::Digits;
    return Content::Letters;
}

class Cutter {
public:
    Cutter(const std::vector<const std::uint8_t*>& records, std::uint32_t length, const std::vector<PositionStats>& stats,
           bool recordStart)
        : records_(records), length_(length), stats_(stats), recordStart_(recordStart)
    {
    }

    std::vector<GuessedColumn> Cut()
    {
        // A deletion flag (blank, or '*' for a deleted record) first and a
        // line end last hold no data: the marks leave them out.
        const PositionStats& flag = stats_[0];
        const std::uint32_t first =
            recordStart_ && length_ > 1 && ((flag.constant && flag.value == ' ') || (flag.distinct == 2 && flag.value == '*' && flag.pad > 0))
                ? 1
                : 0;
        std::uint32_t last = length_;
        while (recordStart_ && last > first + 2 && length_ - last < 2 && stats_[last - 1].constant &&
               (stats_[last - 1].value == '\n' || stats_[last - 1].value == '\r'))
            --last;
        std::uint32_t j = first;
        std::uint32_t binaryFrom = first;
        while (j < last) {
            const std::uint32_t runEnd = TextRunEnd(j, last);
            if (runEnd == j) {
                ++j;
                continue;
            }
            std::uint32_t begin = j;
            while (begin < runEnd && KindOf(stats_[begin]) == Kind::PadConst)
                ++begin;
            if (IsText(begin, runEnd)) {
                // Blanks that are always blank before a number belong to it;
                // a blank first byte of the record is taken for a flag.
                std::uint32_t padFrom = begin;
                while (padFrom > std::max(j, 1u) && stats_[padFrom - 1].value == ' ')
                    --padFrom;
                AddBinary(binaryFrom, padFrom);
                CutText(padFrom, begin, runEnd);
                binaryFrom = runEnd;
            }
            j = runEnd;
        }
        AddBinary(binaryFrom, last);
        return columns_;
    }

private:
    // The end of the run of text positions from `j` (j itself when none).
    std::uint32_t TextRunEnd(std::uint32_t j, std::uint32_t end) const
    {
        while (j < end && (KindOf(stats_[j]) == Kind::Char || KindOf(stats_[j]) == Kind::PadConst))
            ++j;
        return j;
    }

    // A run of text positions is a text when some of its characters vary:
    // constant printable bytes next to binary ones are as likely part of a
    // number (the exponent of a double, say) as text, and a lone varying
    // printable byte after binary ones is more likely a number's high byte.
    bool IsText(std::uint32_t begin, std::uint32_t end) const
    {
        int varying = 0;
        for (std::uint32_t j = begin; j < end; ++j)
            varying += ContentOf(stats_[j]) != Content::None && !stats_[j].constant ? 1 : 0;
        return varying > 1 || (varying == 1 && (begin == 0 || KindOf(stats_[begin - 1]) != Kind::Binary));
    }

    // A left-aligned text starts at j: in a good share of the records where
    // j holds a character, the byte before is a zero byte (the end of a C
    // string) or the last of two or more blanks (padding; a blank inside a
    // text comes alone).
    bool NewTextAt(std::uint32_t j) const
    {
        if (stats_[j - 1].pad == 0)
            return false;
        std::size_t filled = 0;
        std::size_t afterZero = 0;
        std::size_t afterBlanks = 0;
        for (const std::uint8_t* r : records_) {
            if (IsPad(r[j]))
                continue;
            ++filled;
            if (r[j - 1] == 0)
                ++afterZero;
            else if (r[j - 1] == ' ' && j >= 2 && IsPad(r[j - 2]))
                ++afterBlanks;
        }
        return filled > 0 && (afterZero * 20 >= filled || afterBlanks * 10 >= filled * 3);
    }

    // A right-aligned number starts at j: after a byte that is nearly always
    // a digit comes one that is often a leading blank. Where one number
    // always has its last digit, a place that is ever blank begins the next,
    // even when their digits touch in most records (" 37123456.78").
    bool NewNumberAt(std::uint32_t j) const
    {
        const double before = stats_[j - 1].pad;
        return before <= 0.05 && (stats_[j].pad >= 0.15 || (before == 0 && stats_[j].pad > 0));
    }

    void CutText(std::uint32_t begin, std::uint32_t contentBegin, std::uint32_t end)
    {
        std::uint32_t from = begin;
        Content before = ContentOf(stats_[contentBegin]);
        for (std::uint32_t j = contentBegin + 1; j < end; ++j) {
            const Content here = ContentOf(stats_[j]);
            bool cut = false;
            if (here != Content::None && before != Content::None && here != before)
                cut = true;
            else if (here == Content::Letters && before == Content::Letters)
                cut = NewTextAt(j);
            else if (before == Content::Digits && here != Content::Letters)
                cut = NewNumberAt(j);
            if (cut) {
                // A number keeps one blank in front that is always blank:
                // the place of its sign.
                const std::uint32_t at = here == Content::Digits && before == Content::Letters &&
                                                 j - 1 > from && stats_[j - 1].constant && stats_[j - 1].value == ' '
                                             ? j - 1
                                             : j;
                AddTextField(from, at);
                from = at;
            }
            if (here != Content::None)
                before = here;
        }
        AddTextField(from, end);
    }

    bool IsNumberText(std::uint32_t begin, std::uint32_t end) const
    {
        if (end - begin > 20)
            return false;
        bool anyDigit = false;
        for (std::uint32_t j = begin; j < end; ++j)
            if (ContentOf(stats_[j]) == Content::Letters)
                return false;
        for (const std::uint8_t* r : records_) {
            std::uint32_t i = begin;
            while (i < end && r[i] == ' ')
                ++i;
            if (i < end && (r[i] == '-' || r[i] == '+'))
                ++i;
            bool point = false;
            for (; i < end; ++i) {
                if (r[i] >= '0' && r[i] <= '9')
                    anyDigit = true;
                else if (!point && (r[i] == '.' || r[i] == ','))
                    point = true;
                else
                    break;
            }
            while (i < end && IsPad(r[i]))
                ++i;
            if (i != end)
                return false;
        }
        return anyDigit;
    }

    void AddBinary(std::uint32_t begin, std::uint32_t end)
    {
        const std::vector<GuessedColumn> cut = CutBinary(records_, stats_, begin, end, recordStart_);
        columns_.insert(columns_.end(), cut.begin(), cut.end());
    }

    void AddTextField(std::uint32_t begin, std::uint32_t end)
    {
        if (IsNumberText(begin, end)) {
            columns_.push_back({begin, end - begin, FieldType::DecimalNumber, ColumnReason::NumberText});
            return;
        }
        for (std::uint32_t at = begin; at < end; at += 255)
            columns_.push_back({at, std::min(255u, end - at), FieldType::Text, ColumnReason::Text});
    }

    const std::vector<const std::uint8_t*>& records_;
    std::uint32_t length_;
    const std::vector<PositionStats>& stats_;
    bool recordStart_;
    std::vector<GuessedColumn> columns_;
};

} // namespace

std::vector<PositionStats> MeasurePositions(const std::vector<const std::uint8_t*>& records, std::uint32_t length)
{
    std::vector<PositionStats> stats(length);
    if (records.empty())
        return stats;
    const double count = static_cast<double>(records.size());
    std::array<std::uint32_t, 256> seen{};
    for (std::uint32_t j = 0; j < length; ++j) {
        seen.fill(0);
        std::size_t pads = 0;
        std::size_t controls = 0;
        std::size_t high = 0;
        std::size_t highInWord = 0;
        std::size_t numberChars = 0;
        for (const std::uint8_t* r : records) {
            const std::uint8_t b = r[j];
            ++seen[b];
            pads += IsPad(b) ? 1 : 0;
            controls += IsControl(b) ? 1 : 0;
            high += b >= 0x80 ? 1 : 0;
            highInWord += b >= 0x80 && ((j > 0 && IsAsciiLetter(r[j - 1])) || (j + 1 < length && IsAsciiLetter(r[j + 1])))
                              ? 1
                              : 0;
            numberChars += IsNumberChar(b) ? 1 : 0;
        }
        PositionStats& s = stats[j];
        for (int b = 0; b < 256; ++b)
            if (seen[b] != 0) {
                ++s.distinct;
                s.value = static_cast<std::uint8_t>(b);
            }
        s.constant = s.distinct == 1;
        s.pad = static_cast<double>(pads) / count;
        const std::size_t content = records.size() - pads;
        // Texts of DOS and Windows code pages hold letters above 7Fh: a few
        // anywhere, or many where nearly all of them stand next to a plain
        // letter (the ü of Zürich), which the bytes of binary numbers rarely do.
        s.textLike = controls == 0 && (high * 100 <= content * 40 || (highInWord * 10 >= high * 9));
        s.digits = content > 0 && numberChars == content;
    }
    return stats;
}

std::vector<GuessedColumn> GuessColumns(const std::vector<const std::uint8_t*>& records, std::uint32_t length,
                                        const std::vector<PositionStats>& stats, bool recordStart)
{
    if (records.empty() || length == 0)
        return {};
    return Cutter(records, length, stats, recordStart).Cut();
}

} // namespace zorbik
