#include "find/BinaryCut.h"

#include <bit>
#include <cmath>

#include "codecs/LittleEndian.h"

namespace zorbik {
namespace {

bool IsPrintable(std::uint8_t b)
{
    return b >= 0x20 && b < 0x7F;
}

bool PlausibleMagnitude(double x, double low, double high)
{
    if (!std::isfinite(x))
        return false;
    const double m = std::fabs(x);
    return m == 0 || (m >= low && m <= high);
}

class BinaryCutter {
public:
    BinaryCutter(const std::vector<const std::uint8_t*>& records, const std::vector<PositionStats>& stats,
                 bool recordStart)
        : records_(records), stats_(stats), recordStart_(recordStart), windows_(stats.size()),
          packedDigits_(stats.size(), 1), packedSign_(stats.size(), 0)
    {
        // Which bytes hold two digit nibbles, or a digit and a sign nibble,
        // in every record.
        for (std::size_t j = 0; j < stats.size(); ++j) {
            bool cd = false;
            bool f = false;
            bool sign = true;
            for (const std::uint8_t* r : records) {
                const int high = r[j] >> 4;
                const int low = r[j] & 0x0F;
                packedDigits_[j] = packedDigits_[j] && high <= 9 && low <= 9;
                sign = sign && high <= 9 && (low == 0x0C || low == 0x0D || low == 0x0F);
                cd = cd || low == 0x0C || low == 0x0D;
                f = f || low == 0x0F;
            }
            packedSign_[j] = !sign ? 0 : (f && !cd ? kUnsignedSign : 1);
        }
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

    // Read big-endian, the values grow from record to record (the sample
    // keeps the records' order) while read little-endian they do not: record
    // numbers and offsets, as shape files and their indexes hold them.
    bool GrowsBigEndian(std::uint32_t a, std::uint32_t n) const
    {
        if (records_.size() < 3 || !Varying(a + n - 1))
            return false;
        const auto read = [&](const std::uint8_t* r, bool big) {
            std::uint64_t v = 0;
            for (std::uint32_t i = 0; i < n; ++i)
                v = v << 8 | r[a + (big ? i : n - 1 - i)];
            return v;
        };
        bool bigGrows = true;
        bool littleGrows = true;
        for (std::size_t i = 1; i < records_.size(); ++i) {
            bigGrows = bigGrows && read(records_[i], true) > read(records_[i - 1], true);
            littleGrows = littleGrows && read(records_[i], false) > read(records_[i - 1], false);
        }
        return bigGrows && !littleGrows;
    }

    // COBOL's packed decimal (COMP-3) of n bytes at a: two digit nibbles a
    // byte, then a digit and the sign nibble, C or D for signed fields and F
    // for unsigned ones, in every record; the sign byte's digit varies
    // unless other bytes do.
    bool PackedFits(std::uint32_t a, std::uint32_t n, bool& isUnsigned) const
    {
        const std::uint32_t sign = a + n - 1;
        if (records_.size() < 4 || VaryingIn(a, n) == 0 || (n == 1 && stats_[sign].distinct < 3))
            return false;
        for (std::uint32_t i = a; i < sign; ++i)
            if (!packedDigits_[i])
                return false;
        if (packedSign_[sign] == 0)
            return false;
        isUnsigned = packedSign_[sign] == kUnsignedSign;
        return true;
    }

    static FieldOptions BigEndianOptions()
    {
        FieldOptions options;
        options.bigEndian = true;
        return options;
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
    std::vector<GuessedColumn> Cut(std::uint32_t begin, std::uint32_t end)
    {
        if (begin >= end)
            return {};
        const std::uint32_t n = end - begin;
        constexpr double kNone = -1e300;
        std::vector<double> best(n + 1, kNone);
        std::vector<GuessedColumn> last(n + 1);
        best[0] = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            if (best[i] == kNone)
                continue;
            const std::uint32_t a = begin + i;
            const auto offerTyped = [&](std::uint32_t length, double score, FieldType type, ColumnReason reason,
                                        const FieldOptions& options) {
                if (i + length <= n && best[i] + score > best[i + length]) {
                    best[i + length] = best[i] + score;
                    last[i + length] = {a, length, type, reason, options};
                }
            };
            const auto offer = [&](std::uint32_t length, double score, FieldType type, ColumnReason reason) {
                offerTyped(length, score, type, reason, {});
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
            for (std::uint32_t length = 1; length <= 4 && i + length <= n; ++length)
                offer(length, IntegerScore(a, length), FieldType::BinInteger, ColumnReason::Integer);
            for (const std::uint32_t length : {2u, 4u, 8u}) {
                if (i + length > n)
                    continue;
                // A counter's growth says more than its zero high bytes.
                const bool grows = GrowsBigEndian(a, length);
                if (grows || (length < 8 && BigEndian(a, length)))
                    offerTyped(length, Aligned(a, length) + (grows ? 2.5 : 0), FieldType::Integer,
                               ColumnReason::BigEndianInteger, BigEndianOptions());
            }
            // A packed number ends on its sign byte: its length is where
            // the next sign nibble is found.
            for (std::uint32_t length = 1; length <= kMaxPacked && i + length <= n; ++length) {
                FieldOptions options;
                if (PackedFits(a, length, options.isUnsigned)) {
                    offerTyped(length, 1.0 + 1.5 * VaryingIn(a, length), FieldType::Packed, ColumnReason::Packed,
                               options);
                    break;
                }
                if (!packedDigits_[a + length - 1])
                    break;
            }
            // Zero high bytes and a low byte that never changes: a length
            // or a kind of record written big-endian.
            if (recordStart_ && i + 4 <= n && a % 4 == 0 && !Varying(a) && !Varying(a + 1) && !Varying(a + 2) &&
                !Varying(a + 3) && stats_[a].value == 0 && stats_[a + 1].value == 0 && stats_[a + 2].value == 0 &&
                stats_[a + 3].value != 0)
                offerTyped(4, 0.5, FieldType::Integer, ColumnReason::BigEndianInteger, BigEndianOptions());
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
        return columns_;
    }

private:
    void AddConstant(std::uint32_t a, std::uint32_t n)
    {
        bool printable = true;
        for (std::uint32_t i = a; i < a + n; ++i)
            printable = printable && IsPrintable(stats_[i].value);
        const FieldType type = printable || n > 4 ? FieldType::Text : FieldType::BinInteger;
        columns_.push_back({a, n, type, ColumnReason::Constant});
    }

    const std::vector<const std::uint8_t*>& records_;
    const std::vector<PositionStats>& stats_;
    bool recordStart_;
    std::vector<std::uint8_t> windows_;
    std::vector<std::uint8_t> packedDigits_;
    std::vector<std::uint8_t> packedSign_; // 0: no sign byte; 1: C or D (and F); 2: F only
    static constexpr std::uint8_t kUnsignedSign = 2;
    static constexpr std::uint32_t kMaxPacked = 16;
    std::vector<GuessedColumn> columns_;
};

} // namespace

std::vector<GuessedColumn> CutBinary(const std::vector<const std::uint8_t*>& records,
                                     const std::vector<PositionStats>& stats, std::uint32_t begin, std::uint32_t end,
                                     bool recordStart)
{
    return BinaryCutter(records, stats, recordStart).Cut(begin, end);
}

} // namespace zorbik
