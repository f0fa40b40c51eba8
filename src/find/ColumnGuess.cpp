#include "find/ColumnGuess.h"

#include <array>
#include <optional>

#include "codecs/FieldDecoders.h"
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

bool IsDigit(std::uint8_t b)
{
    return b >= '0' && b <= '9';
}

// The signs COBOL overpunches on a zoned number's last digit in ASCII:
// GnuCOBOL and Micro Focus write 'p'..'y' for a negative one (a positive
// one stays a digit); IBM-style compilers '{', 'A'..'I' and '}', 'J'..'R'.
bool IsAsciiOverpunch(std::uint8_t b)
{
    return b >= 'p' && b <= 'y';
}

bool IsIbmOverpunch(std::uint8_t b)
{
    return b == '{' || b == '}' || (b >= 'A' && b <= 'R');
}

// The date forms written as digits, tried in this order: a record whose
// digits fit several forms counts for the first.
constexpr DateForm kDigitDates[] = {DateForm::YYYYMMDD, DateForm::DDMMYYYY, DateForm::MMDDYYYY, DateForm::YYYYDDD,
                                    DateForm::YYMMDD};

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
                const std::uint32_t width = padFrom == j && j > binaryFrom && j > first ? PascalWidth(j - 1, runEnd) : 0;
                if (width != 0) {
                    AddBinary(binaryFrom, j - 1);
                    columns_.push_back({j - 1, width, FieldType::PascalText, ColumnReason::PascalString});
                    binaryFrom = j - 1 + width;
                    j = binaryFrom;
                    continue;
                }
                // Zero bytes after a text that is never padded with them
                // are the high bytes of the binary number that follows.
                std::uint32_t textEnd = runEnd;
                if (runEnd < last && KindOf(stats_[runEnd]) == Kind::Binary && !ZeroPadded(begin, runEnd))
                    while (textEnd > begin + 1 && stats_[textEnd - 1].constant && stats_[textEnd - 1].value == 0)
                        --textEnd;
                AddBinary(binaryFrom, padFrom);
                CutText(padFrom, begin, textEnd);
                binaryFrom = textEnd;
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

    // Whether a varying byte of [begin, end) is ever a zero byte: the end
    // of a C string.
    bool ZeroPadded(std::uint32_t begin, std::uint32_t end) const
    {
        for (std::uint32_t j = begin; j < end; ++j)
            if (!stats_[j].constant && stats_[j].pad > 0)
                for (const std::uint8_t* r : records_)
                    if (r[j] == 0)
                        return true;
        return false;
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

    // The width of a Pascal string[N] that begins at byte `at` (0 for
    // none): its length byte, in every record, counts the printable bytes
    // after it, which end where a zero byte or the text run's end follows
    // (in most records: a string shortened in place keeps the old tail) and
    // vary in length. The field reaches over the zero bytes after the
    // longest string.
    std::uint32_t PascalWidth(std::uint32_t at, std::uint32_t end) const
    {
        const std::uint32_t room = std::min(end - at - 1, 255u);
        std::size_t ended = 0;
        std::array<bool, 256> lengths{};
        int distinct = 0;
        std::uint32_t longest = 0;
        for (const std::uint8_t* r : records_) {
            const std::uint32_t n = r[at];
            if (n > room)
                return false;
            for (std::uint32_t i = at + 1; i <= at + n; ++i)
                if (r[i] < 0x20 || r[i] == 0x7F)
                    return false;
            ended += at + 1 + n == end || r[at + 1 + n] == 0 ? 1 : 0;
            distinct += lengths[n] ? 0 : 1;
            lengths[n] = true;
            longest = std::max(longest, n);
        }
        if (distinct < 3 || ended * 4 < records_.size() * 3)
            return 0;
        std::uint32_t width = 1 + longest;
        while (width <= room && stats_[at + width].constant && stats_[at + width].value == 0)
            ++width;
        return width;
    }

    // The sign of a zoned number at j: every record has a digit before it
    // and there a digit or an overpunched sign of one convention, and some
    // have the sign; IBM-style letters, which codes written after digits can
    // also be, must be several.
    bool OverpunchAt(std::uint32_t j) const
    {
        std::size_t ascii = 0;
        std::size_t ibm = 0;
        std::array<bool, 256> seen{};
        int distinct = 0;
        for (const std::uint8_t* r : records_) {
            if (!IsDigit(r[j - 1]))
                return false;
            const std::uint8_t b = r[j];
            ascii += IsAsciiOverpunch(b) ? 1 : 0;
            ibm += IsIbmOverpunch(b) ? 1 : 0;
            if (!IsDigit(b) && !IsAsciiOverpunch(b) && !IsIbmOverpunch(b))
                return false;
            distinct += seen[b] ? 0 : 1;
            seen[b] = true;
        }
        return (ascii > 0 && ibm == 0) || (ibm > 0 && ascii == 0 && distinct >= 4);
    }

    // The form in which bytes [at, at + n) are a date between 1900 and 2100
    // in every record, all zeros or all blanks ("no date") in some of them.
    // A two-digit year that is always 00 is more likely a counter's leading
    // zeros.
    std::optional<DateForm> DateFormAt(std::uint32_t at, std::uint32_t n) const
    {
        for (const DateForm form : kDigitDates) {
            if (DateWidth(form) != n)
                continue;
            std::size_t dates = 0;
            bool fits = true;
            bool yearVaries = false;
            for (const std::uint8_t* r : records_) {
                DateValue value;
                const FieldStatus status = DecodeDate(r + at, form, value);
                if (status == FieldStatus::Empty)
                    continue;
                fits = status == FieldStatus::Ok && value.year >= 1900 && value.year <= 2100;
                if (!fits)
                    break;
                ++dates;
                yearVaries = yearVaries || value.year != 2000;
            }
            if (fits && dates * 2 >= records_.size() && (form != DateForm::YYMMDD || yearVaries))
                return form;
        }
        return std::nullopt;
    }

    // Whether every record holds digits in [begin, end), the last byte
    // perhaps an overpunched sign.
    bool AllDigits(std::uint32_t begin, std::uint32_t end, bool signLast) const
    {
        for (const std::uint8_t* r : records_) {
            // An all-blank date is no date, and no fault.
            bool blank = !signLast;
            for (std::uint32_t i = begin; i < end && blank; ++i)
                blank = r[i] == ' ';
            for (std::uint32_t i = begin; i < end && !blank; ++i)
                if (!IsDigit(r[i]) && !(signLast && i + 1 == end))
                    return false;
        }
        return true;
    }

    void CutText(std::uint32_t begin, std::uint32_t contentBegin, std::uint32_t end)
    {
        std::uint32_t from = begin;
        Content before = ContentOf(stats_[contentBegin]);
        for (std::uint32_t j = contentBegin + 1; j < end; ++j) {
            const Content here = ContentOf(stats_[j]);
            // An overpunched sign ends its number, which may touch the next.
            if (before == Content::Digits && here == Content::Letters && OverpunchAt(j)) {
                AddTextField(from, j + 1);
                from = j + 1;
                before = Content::None;
                continue;
            }
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

    // A field of digits in every record: a date where they are one, also
    // at the begin or end of a longer run (digit fields of COBOL records
    // touch); a zoned number where its last byte is an overpunched sign.
    bool AddDigits(std::uint32_t begin, std::uint32_t end)
    {
        const bool sign = end - begin >= 2 && OverpunchAt(end - 1);
        if (end == begin || !AllDigits(begin, end, sign))
            return false;
        const std::uint32_t n = end - begin;
        for (const std::uint32_t width : {8u, 7u, 6u}) {
            // Within a longer run only the eight digits of a day, month and
            // year, and a number of two digits or more beside them: the
            // other forms fit too many numbers' first digits.
            if (n < width || (n > width && (width != 8 || n < width + 2)) || (sign && n == width))
                continue;
            if (const std::optional<DateForm> form = !sign || n > width ? DateFormAt(begin, width) : std::nullopt) {
                AddDate(begin, width, *form);
                if (n > width)
                    AddTextField(begin + width, end);
                return true;
            }
            if (n > width && !sign) {
                if (const std::optional<DateForm> form = DateFormAt(end - width, width)) {
                    AddTextField(begin, end - width);
                    AddDate(end - width, width, *form);
                    return true;
                }
            }
        }
        if (!sign || n > 31)
            return false;
        columns_.push_back({begin, n, FieldType::Zoned, ColumnReason::Zoned});
        return true;
    }

    void AddDate(std::uint32_t at, std::uint32_t width, DateForm form)
    {
        GuessedColumn date{at, width, FieldType::Date, ColumnReason::DateDigits};
        date.options.date = form;
        columns_.push_back(date);
    }

    void AddTextField(std::uint32_t begin, std::uint32_t end)
    {
        if (AddDigits(begin, end))
            return;
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
