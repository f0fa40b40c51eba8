#include "find/RecordLength.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace zorbik {
namespace {

constexpr std::size_t kScanBudget = 48u << 10; // bytes coded per candidate length
constexpr std::size_t kPairBudget = 24u << 10; // byte pairs compared per distance
constexpr std::size_t kShortList = 8;
constexpr std::uint32_t kMinRecords = 3;
constexpr double kDivisorShare = 0.9;

// Bytes that fill gaps (zero bytes, blanks) repeat at every distance inside
// a run of them; matches of other bytes say more about a record length.
std::uint64_t MatchMask(std::uint64_t a, std::uint64_t b)
{
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    auto nonZero = [](std::uint64_t v) { return (((v & kLow7) + kLow7) | v) & kHigh; };
    return ~nonZero(a ^ b) & nonZero(a) & nonZero(a ^ kBlanks) & kHigh;
}

struct Candidate {
    std::uint32_t length;
    double bits;
};

} // namespace

double FastLog2(double x)
{
    // log2 of the mantissa's top bits from a table, the rest interpolated:
    // plenty for comparing code lengths, and much cheaper than std::log2.
    constexpr int kBits = 12;
    static const std::vector<double> table = [] {
        std::vector<double> t((1u << kBits) + 1);
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = std::log2(1.0 + static_cast<double>(i) / (1u << kBits));
        return t;
    }();
    if (!(x > 0))
        return -1074;
    int exponent = 0;
    const double m = std::frexp(x, &exponent) * 2.0 - 1.0; // in [0, 1)
    const double at = m * (1u << kBits);
    const auto i = static_cast<std::size_t>(at);
    return exponent - 1 + table[i] + (table[i + 1] - table[i]) * (at - static_cast<double>(i));
}

std::vector<ScanRange> ScanRanges(const ByteSample& sample, std::size_t budget)
{
    std::vector<ScanRange> ranges;
    if (sample.chunks.empty())
        return ranges;
    // The head of a large source may be all header; its body pieces are not.
    const std::size_t first = sample.chunks.size() > 1 ? 1 : 0;
    const std::size_t count = sample.chunks.size() - first;
    for (std::size_t c = first; c < sample.chunks.size(); ++c) {
        const SampleChunk& chunk = sample.chunks[c];
        const std::size_t take = std::min(chunk.bytes.size(), budget / count);
        const std::size_t from = chunk.bytes.size() - take;
        ranges.push_back({chunk.bytes.data() + from, take, chunk.offset + from});
    }
    return ranges;
}

double CodeLength(const std::vector<ScanRange>& ranges, std::uint32_t length)
{
    // One adaptive model per position, falling back on an adaptive model of
    // all bytes: a byte seen c times of n at its position, d of them
    // distinct, has probability (c + d * g) / (n + d), g its probability
    // overall. A position with few distinct values learns them fast, one
    // with many leans on the overall statistics.
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(length) * 256);
    std::vector<std::uint32_t> seen(length);
    std::vector<std::uint32_t> distinct(length);
    std::array<std::uint32_t, 256> overall{};
    std::uint32_t all = 0;
    // The product of the probabilities, kept in range by taking its
    // exponent out now and then, saves a logarithm per byte.
    double product = 1;
    long exponent = 0;
    int steps = 0;
    for (const ScanRange& range : ranges) {
        std::uint32_t pos = static_cast<std::uint32_t>(range.offset % length);
        for (std::size_t i = 0; i < range.size; ++i) {
            const std::uint8_t b = range.data[i];
            std::uint32_t& c = counts[static_cast<std::size_t>(pos) * 256 + b];
            const double g = (overall[b] + 0.5) / (all + 128.0);
            const std::uint32_t n = seen[pos];
            const std::uint32_t d = distinct[pos];
            product *= n == 0 ? g : (c + d * g) / (n + d);
            if (++steps == 32) {
                int e = 0;
                product = std::frexp(product, &e);
                exponent += e;
                steps = 0;
            }
            if (c++ == 0)
                ++distinct[pos];
            ++seen[pos];
            ++overall[b];
            ++all;
            if (++pos == length)
                pos = 0;
        }
    }
    return -(static_cast<double>(exponent) + std::log2(product));
}

namespace {

// Share of equal, informative byte pairs at each distance up to
// `maxLength`, over the sample's ranges.
std::vector<double> PairShares(const std::vector<ScanRange>& ranges, std::uint32_t maxLength)
{
    std::vector<double> share(maxLength + 1, 0.0);
    for (std::uint32_t length = 2; length <= maxLength; ++length) {
        std::uint64_t matches = 0;
        std::uint64_t pairs = 0;
        for (const ScanRange& r : ranges) {
            if (r.size < length + 8)
                continue;
            const std::size_t span = std::min(r.size - length, kPairBudget / ranges.size()) & ~std::size_t{7};
            const std::uint8_t* p = r.data + (r.size - length - span);
            for (std::size_t i = 0; i < span; i += 8) {
                std::uint64_t a;
                std::uint64_t b;
                std::memcpy(&a, p + i, 8);
                std::memcpy(&b, p + i + length, 8);
                // The mask has at most the top bit of each byte set: the
                // multiplication sums them into the top byte.
                matches += ((MatchMask(a, b) >> 7) * 0x0101010101010101ull) >> 56;
            }
            pairs += span;
        }
        share[length] = pairs == 0 ? 0.0 : static_cast<double>(matches) / static_cast<double>(pairs);
    }
    return share;
}

// The lengths worth coding: the distances with the best shares and every
// divisor of them, in increasing order.
std::vector<std::uint32_t> ShortList(const std::vector<double>& share)
{
    const auto maxLength = static_cast<std::uint32_t>(share.size() - 1);
    std::vector<std::uint32_t> order;
    for (std::uint32_t length = 2; length <= maxLength; ++length)
        order.push_back(length);
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(std::min(kShortList, order.size())),
                      order.end(), [&](std::uint32_t a, std::uint32_t b) {
                          return share[a] != share[b] ? share[a] > share[b] : a < b;
                      });
    order.resize(std::min(kShortList, order.size()));
    std::vector<std::uint32_t> list;
    for (const std::uint32_t length : order)
        for (std::uint32_t d = 2; d <= length; ++d)
            if (length % d == 0 && (d == length || share[d] > 0))
                list.push_back(d);
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

// The record length among `candidates` (sorted by their bits, best first),
// how sure it is against a coding without records (`plain` bits), and the
// other lengths that fit.
LengthChoice Choose(std::vector<Candidate> candidates, double plain, std::size_t total)
{
    LengthChoice choice;
    if (candidates.empty())
        return choice;
    // A multiple of the record length can code a little better (counters
    // repeat their low bits after a few records): the smallest divisor that
    // explains nearly as much is the record.
    Candidate best = candidates.front();
    for (const Candidate& c : candidates) {
        if (c.length < best.length && best.length % c.length == 0 &&
            plain - c.bits >= kDivisorShare * (plain - candidates.front().bits))
            best = c;
    }
    std::stable_partition(candidates.begin(), candidates.end(),
                          [&](const Candidate& c) { return c.length == best.length; });
    const double saved = plain - best.bits;
    choice.bitsSavedPerByte = total == 0 ? 0.0 : saved / static_cast<double>(total);
    if (saved <= 0)
        return choice;
    choice.length = best.length;
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        const int score = static_cast<int>(std::lround(100.0 * (plain - candidates[i].bits) / saved));
        if (score <= 0)
            continue;
        if (choice.alternatives.size() < 3)
            choice.alternatives.push_back({candidates[i].length, score});
        const std::uint32_t other = candidates[i].length;
        if (other % best.length != 0 && best.length % other != 0)
            choice.unrelatedRival = std::max(choice.unrelatedRival, score);
    }
    return choice;
}

} // namespace

LengthChoice ChooseRecordLength(const ByteSample& sample)
{
    const std::vector<ScanRange> ranges = ScanRanges(sample, kScanBudget);
    std::size_t longest = 0;
    std::size_t total = 0;
    for (const ScanRange& r : ranges) {
        longest = std::max(longest, r.size);
        total += r.size;
    }
    const auto maxLength = static_cast<std::uint32_t>(std::min<std::size_t>(kMaxRecordLength, longest / kMinRecords));
    if (maxLength < 2)
        return {};
    std::vector<Candidate> candidates;
    for (const std::uint32_t length : ShortList(PairShares(ranges, maxLength)))
        candidates.push_back({length, CodeLength(ranges, length)});
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.bits != b.bits ? a.bits < b.bits : a.length < b.length;
    });
    return Choose(std::move(candidates), CodeLength(ranges, 1), total);
}

} // namespace zorbik
