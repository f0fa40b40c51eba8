#include "find/ColumnGuess.h"

#include "bytes/LittleEndian.h"

#include <array>
#include <bit>
#include <cmath>
#include <optional>

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

bool PlausibleMagnitude(double x, double low, double high)
{
    if (!std::isfinite(x))
        return false;
    const double m = std::fabs(x);
    return m == 0 || (m >= low && m <= high);
}

class Cutter {
public:
    Cutter(const std::vector<const std::uint8_t*>& records, std::uint32_t length, const std::vector<PositionStats>& stats,
           bool recordStart)
        : records_(records), length_(length), stats_(stats), recordStart_(recordStart), windows_(length)
    {
    }

    std::vector<GuessedColumn> Cut()
    {
        std::uint32_t j = 0;
        std::uint32_t binaryFrom = 0;
        while (j < length_) {
            const std::uint32_t runEnd = TextRunEnd(j);
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
                CutBinary(binaryFrom, padFrom);
                CutText(padFrom, begin, runEnd);
                binaryFrom = runEnd;
            }
            j = runEnd;
        }
        CutBinary(binaryFrom, length_);
        return columns_;
    }

private:
    // The end of the run of text positions from `j` (j itself when none).
    std::uint32_t TextRunEnd(std::uint32_t j) const
    {
        while (j < length_ && (KindOf(stats_[j]) == Kind::Char || KindOf(stats_[j]) == Kind::PadConst))
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
    // a digit comes one that is often a leading blank.
    bool NewNumberAt(std::uint32_t j) const
    {
        return stats_[j - 1].pad <= 0.05 && stats_[j].pad >= 0.15;
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

    void AddTextField(std::uint32_t begin, std::uint32_t end)
    {
        if (IsNumberText(begin, end)) {
            columns_.push_back({begin, end - begin, FieldType::DecimalNumber, ColumnReason::NumberText});
            return;
        }
        for (std::uint32_t at = begin; at < end; at += 255)
            columns_.push_back({at, std::min(255u, end - at), FieldType::Text, ColumnReason::Text});
    }

    // Typed windows of binary fields, tried at each position once.
    enum Window : std::uint8_t { Unknown = 0, NoWindow, BcdWindow, DoubleWindow, SingleWindow };

    bool Varying(std::uint32_t j) const { return !stats_[j].constant; }

    int VaryingIn(std::uint32_t a, std::uint32_t n) const
    {
        int v = 0;
        for (std::uint32_t i = a; i < a + n; ++i)
            v += Varying(i) ? 1 : 0;
        return v;
    }

    bool BcdFits(std::uint32_t a) const
    {
        if (!Varying(a) || VaryingIn(a, 10) < 2)
            return false;
        for (const std::uint8_t* r : records_) {
            for (std::uint32_t i = a; i < a + 9; ++i)
                if ((r[i] & 0x0F) > 9 || (r[i] >> 4) > 9)
                    return false;
            if ((r[a + 9] & 0x7F) > 18)
                return false;
        }
        return true;
    }

    bool RealFits(std::uint32_t a, int size) const
    {
        if (VaryingIn(a, static_cast<std::uint32_t>(size)) < 2)
            return false;
        std::size_t misses = 0;
        std::size_t nonZero = 0;
        for (const std::uint8_t* r : records_) {
            const double x = size == 8 ? std::bit_cast<double>(LoadLe64(r + a))
                                       : static_cast<double>(std::bit_cast<float>(LoadLe32(r + a)));
            const bool plausible = size == 8 ? PlausibleMagnitude(x, 1e-9, 1e15) : PlausibleMagnitude(x, 1e-6, 1e9);
            misses += plausible ? 0 : 1;
            nonZero += x != 0 ? 1 : 0;
        }
        return misses * 50 <= records_.size() && nonZero * 10 >= records_.size();
    }

    // Each position lies in one binary stretch only, so `end` is the same
    // at every call for it.
    Window WindowAt(std::uint32_t a, std::uint32_t end)
    {
        if (windows_[a] == Unknown) {
            windows_[a] = a + 10 <= end && BcdFits(a)      ? BcdWindow
                          : a + 8 <= end && RealFits(a, 8) ? DoubleWindow
                          : a + 4 <= end && RealFits(a, 4) ? SingleWindow
                                                           : NoWindow;
        }
        return static_cast<Window>(windows_[a]);
    }

    // Whether byte k can be the next higher byte of a number that starts at
    // byte a: it varies no more than the byte below, or it is a constant
    // zero (0xFF) byte, or any constant as the third or fourth byte (the top
    // of a time stamp, say).
    bool HigherByte(std::uint32_t a, std::uint32_t k) const
    {
        const PositionStats& s = stats_[k];
        const PositionStats& lower = stats_[k - 1];
        if (s.constant)
            return s.value == 0x00 || s.value == 0xFF || k >= a + 2;
        return !lower.constant && s.distinct <= lower.distinct + lower.distinct / 8 + 2;
    }

    // A little-endian integer has its most varied byte first; its high bytes
    // vary less, or are zero (0xFF for small negative numbers).
    bool SmallHighByte(std::uint32_t top, std::uint32_t low) const
    {
        if (stats_[top].constant)
            return stats_[top].value == 0x00 || stats_[top].value == 0xFF || top >= low + 2;
        return stats_[top].distinct <= std::max(2u, stats_[low].distinct / 4);
    }

    // Records written from C structures align their numbers to their size;
    // that says something only where the bytes start with a record.
    double Aligned(std::uint32_t a, std::uint32_t n) const { return recordStart_ && a % n == 0 ? 0.5 : 0.0; }

    // Zero high bytes first, then the varying low byte: a big-endian number
    // (record numbers of some formats).
    bool BigEndian(std::uint32_t a, std::uint32_t n) const
    {
        const std::uint32_t low = a + n - 1;
        if (!Varying(low) || stats_[low].distinct <= 2)
            return false;
        for (std::uint32_t k = a; k < low; ++k)
            if (!SmallHighByte(k, low))
                return false;
        return true;
    }

    double IntegerScore(std::uint32_t a, std::uint32_t n) const
    {
        double score = -1 + (n > 1 ? Aligned(a, n) : 0.0);
        if (n >= 2 && SmallHighByte(a + n - 1, a))
            score += 2;
        for (std::uint32_t k = 1; k < n; ++k)
            if (!HigherByte(a, a + k))
                score -= 3;
        if (stats_[a].distinct <= 2)
            score -= 2;
        if (n == 3)
            score -= 0.5;
        return score;
    }

    // The best cut of a stretch of binary bytes into packed decimals, reals,
    // integers and constant runs, each scored by how well its bytes look the
    // part.
    void CutBinary(std::uint32_t begin, std::uint32_t end)
    {
        if (begin >= end)
            return;
        const std::uint32_t n = end - begin;
        constexpr double kNone = -1e300;
        std::vector<double> best(n + 1, kNone);
        std::vector<GuessedColumn> last(n + 1);
        best[0] = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            if (best[i] == kNone)
                continue;
            const std::uint32_t a = begin + i;
            const auto offer = [&](std::uint32_t length, double score, FieldType type, ColumnReason reason) {
                if (i + length <= n && best[i] + score > best[i + length]) {
                    best[i + length] = best[i] + score;
                    last[i + length] = {a, length, type, reason};
                }
            };
            switch (WindowAt(a, end)) {
            case BcdWindow:
                offer(10, 6, FieldType::Bcd, ColumnReason::PackedDecimal);
                break;
            case DoubleWindow:
                offer(8, 5 + Aligned(a, 8), FieldType::BinReal, ColumnReason::Double);
                break;
            case SingleWindow:
                offer(4, 3 + Aligned(a, 4), FieldType::BinReal, ColumnReason::Single);
                break;
            default:
                break;
            }
            for (std::uint32_t length = 1; length <= 4; ++length)
                offer(length, IntegerScore(a, length), FieldType::BinInteger, ColumnReason::Integer);
            for (const std::uint32_t length : {2u, 4u})
                if (i + length <= n && BigEndian(a, length))
                    offer(length, Aligned(a, length), FieldType::BinInteger, ColumnReason::BigEndianInteger);
            for (std::uint32_t length = 1; length <= 255 && i + length <= n && !Varying(a + length - 1); ++length)
                offer(length, -1, FieldType::Text, ColumnReason::Constant);
        }
        std::vector<GuessedColumn> cut;
        for (std::uint32_t i = n; i > 0; i -= last[i].length)
            cut.push_back(last[i]);
        for (auto it = cut.rbegin(); it != cut.rend(); ++it) {
            if (it->reason == ColumnReason::Constant)
                AddConstant(it->offset, it->length);
            else
                columns_.push_back(*it);
        }
    }

    void AddConstant(std::uint32_t a, std::uint32_t n)
    {
        bool printable = true;
        for (std::uint32_t i = a; i < a + n; ++i)
            printable = printable && IsPrintable(stats_[i].value);
        const FieldType type = printable || n > 4 ? FieldType::Text : FieldType::BinInteger;
        columns_.push_back({a, n, type, ColumnReason::Constant});
    }

    const std::vector<const std::uint8_t*>& records_;
    std::uint32_t length_;
    const std::vector<PositionStats>& stats_;
    bool recordStart_;
    std::vector<std::uint8_t> windows_;
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
        std::size_t numberChars = 0;
        for (const std::uint8_t* r : records) {
            const std::uint8_t b = r[j];
            ++seen[b];
            pads += IsPad(b) ? 1 : 0;
            controls += IsControl(b) ? 1 : 0;
            high += b >= 0x80 ? 1 : 0;
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
        s.textLike = controls == 0 && high * 100 <= content * 15;
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
