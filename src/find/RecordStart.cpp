#include "find/RecordStart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "find/RecordLength.h"

namespace zorbik {
namespace {

constexpr std::size_t kProfileBudget = 256u << 10;

// Byte statistics per position of the record (by source offset modulo the
// record length), with the same estimate for unseen bytes as the length
// search uses, and the overall byte statistics of the head.
class Profile {
public:
    explicit Profile(std::uint32_t length) : length_(length), counts_(std::size_t{length} * 256), seen_(length), distinct_(length) {}

    void Add(const std::uint8_t* data, std::size_t size, std::uint64_t offset)
    {
        ranges_.push_back({offset, offset + size});
        std::uint32_t pos = static_cast<std::uint32_t>(offset % length_);
        for (std::size_t i = 0; i < size; ++i) {
            if (counts_[std::size_t{pos} * 256 + data[i]]++ == 0)
                ++distinct_[pos];
            ++seen_[pos];
            if (++pos == length_)
                pos = 0;
        }
    }

    void SetBackground(const std::uint8_t* data, std::size_t size)
    {
        std::array<double, 256> counts{};
        for (std::size_t i = 0; i < size; ++i)
            counts[data[i]] += 1;
        for (int b = 0; b < 256; ++b) {
            probability_[b] = (counts[b] + 1.0) / (static_cast<double>(size) + 256.0);
            background_[b] = std::log2(probability_[b]);
        }
    }

    // log2 of the probability that the statistics of its position give the
    // byte `b` at `offset`; a byte that went into the statistics is left out
    // of them for its own probability.
    double LogP(std::uint64_t offset, std::uint8_t b) const
    {
        const auto pos = static_cast<std::uint32_t>(offset % length_);
        std::uint32_t n = seen_[pos];
        std::uint32_t d = distinct_[pos];
        double c = counts_[std::size_t{pos} * 256 + b];
        for (const auto& [from, to] : ranges_) {
            if (offset >= from && offset < to && c > 0) {
                --n;
                d -= c == 1 ? 1 : 0;
                --c;
                break;
            }
        }
        return n == 0 ? background_[b] : FastLog2((c + d * probability_[b]) / (n + d));
    }

    // How much better (in bits) the statistics of its position explain the
    // byte than the overall statistics do.
    double Score(std::uint64_t offset, std::uint8_t b) const { return LogP(offset, b) - background_[b]; }

    std::uint32_t Length() const { return length_; }

private:
    std::uint32_t length_;
    std::vector<std::uint32_t> counts_;
    std::vector<std::uint32_t> seen_;
    std::vector<std::uint32_t> distinct_;
    std::array<double, 256> probability_{};
    std::array<double, 256> background_{};
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges_;
};

// The offset from which on the bytes of the head fit the records best.
// Going back a whole record from there costs little when that record is
// just an unusual one, and a lot when it is header: records that score
// like the others are taken back in.
std::uint64_t HeaderEnd(const SampleChunk& head, const Profile& profile, std::uint64_t limit)
{
    const std::uint32_t length = profile.Length();
    std::vector<double> suffix(head.bytes.size() + 1, 0.0);
    double best = -std::numeric_limits<double>::infinity();
    std::uint64_t at = 0;
    for (std::size_t i = head.bytes.size(); i-- > 0;) {
        suffix[i] = suffix[i + 1] + profile.Score(i, head.bytes[i]);
        if (i <= limit && suffix[i] > best) {
            best = suffix[i];
            at = i;
        }
    }
    double sum = 0;
    double squares = 0;
    int blocks = 0;
    for (std::uint64_t o = at; o + length <= head.bytes.size() && blocks < 256; o += length, ++blocks) {
        const double score = suffix[o] - suffix[o + length];
        sum += score;
        squares += score * score;
    }
    if (blocks < 2)
        return at;
    const double mean = sum / blocks;
    const double spread = std::sqrt(std::max(0.0, squares / blocks - mean * mean));
    while (at >= length && suffix[at - length] - suffix[at] >= std::max(0.0, mean - 3 * spread))
        at -= length;
    return at;
}

// The sample's byte at `offset`, which must be in one of its chunks.
std::uint8_t ByteAt(const ByteSample& sample, std::uint64_t offset)
{
    for (const SampleChunk& chunk : sample.chunks)
        if (offset >= chunk.offset && offset < chunk.End())
            return chunk.bytes[offset - chunk.offset];
    return 0;
}

// The bytes just before the header's end, as a model of what header bytes
// look like.
class HeaderModel {
public:
    HeaderModel(const SampleChunk& head, std::uint64_t end)
    {
        const std::uint64_t from = end > kSpan ? end - kSpan : 0;
        for (std::uint64_t o = from; o < end && o < head.bytes.size(); ++o)
            ++counts_[head.bytes[o]];
        total_ = static_cast<double>(std::min<std::uint64_t>(end, head.bytes.size()) - std::min(from, end));
    }

    double LogP(std::uint8_t b) const { return std::log2((counts_[b] + 0.5) / (total_ + 128)); }

private:
    static constexpr std::uint64_t kSpan = 256;
    std::array<double, 256> counts_{};
    double total_ = 0;
};

Profile MakeProfile(const ByteSample& sample, std::uint32_t length, std::uint64_t from)
{
    Profile profile(length);
    const SampleChunk& head = sample.chunks.front();
    profile.SetBackground(head.bytes.data(), head.bytes.size());
    // The head is at most kProfileBudget long.
    const std::uint64_t begin = std::max(from, head.bytes.size() > kProfileBudget ? head.bytes.size() - kProfileBudget : 0);
    if (begin < head.bytes.size())
        profile.Add(head.bytes.data() + begin, head.bytes.size() - begin, begin);
    if (sample.chunks.size() > 1)
        for (const ScanRange& r : ScanRanges(sample, kProfileBudget))
            profile.Add(r.data, r.size, r.offset);
    return profile;
}

} // namespace

StartChoice ChooseRecordStart(const ByteSample& sample, std::uint32_t length)
{
    StartChoice choice;
    if (sample.chunks.empty() || length == 0)
        return choice;
    const SampleChunk& head = sample.chunks.front();
    const std::uint64_t limit = head.bytes.size() >= length ? head.bytes.size() - length : 0;

    // The statistics come from the back half of a small source, from the
    // body pieces of a large one first, then also from where the header
    // ends, until that stays put: the records near the header can differ
    // from the later ones (a counter's high bytes, say).
    std::uint64_t from = sample.chunks.size() == 1 ? head.bytes.size() / 2 : head.bytes.size();
    Profile profile = MakeProfile(sample, length, from);
    std::uint64_t start = HeaderEnd(head, profile, limit);
    for (int pass = 0; pass < 3 && start != from; ++pass) {
        from = start;
        profile = MakeProfile(sample, length, from);
        start = HeaderEnd(head, profile, limit);
    }
    // Where in a record the records begin: the header may end in bytes that
    // look like the end of a record, the source in an end mark or the start
    // of an unfinished record. Of the starts up to a record's length either
    // way, take the one that gives the header the bytes that fit its own last
    // bytes better than the records, and the tail the bytes that fit the
    // records least; a source that ends on a record boundary is the rule.
    constexpr double kTailPenalty = 2.0;
    constexpr double kCloseBits = 8.0;
    constexpr double kTailBytePenalty = 3;
    const std::uint64_t size = sample.size;
    const std::uint64_t tailBegin = size > length ? size - length : 0;
    std::vector<double> toEnd(size - tailBegin + 1, 0.0);
    for (std::uint64_t o = size; o-- > tailBegin;)
        toEnd[o - tailBegin] = toEnd[o - tailBegin + 1] + profile.LogP(o, ByteAt(sample, o)) + 8;
    const HeaderModel header(head, start);
    const std::uint64_t first = start >= length ? start - length + 1 : 0;
    // Record score minus header score of the bytes from `first` on, summed.
    std::vector<double> gain(2 * std::size_t{length} + 1, 0.0);
    for (std::uint64_t o = first; o < start + length && o < head.bytes.size(); ++o)
        gain[o - first + 1] = gain[o - first] + profile.LogP(o, head.bytes[o]) - header.LogP(head.bytes[o]);
    std::vector<StartCandidate> candidates;
    for (std::uint64_t s = first; s < start + length && s + length <= size && s - first < gain.size(); ++s) {
        const double headLoss = gain[s - first] - gain[start - first];
        const std::uint64_t tailFrom = s + (size - s) / length * length;
        const double tailLoss =
            tailFrom < size ? toEnd[tailFrom - tailBegin] + kTailPenalty + kTailBytePenalty * static_cast<double>(size - tailFrom) : 0.0;
        candidates.push_back({s, -headLoss - tailLoss});
    }
    if (candidates.empty())
        return {start, false, {}};
    std::sort(candidates.begin(), candidates.end(),
              [](const StartCandidate& a, const StartCandidate& b) { return a.value > b.value; });
    choice.start = candidates[0].start;
    choice.sure = candidates.size() == 1 || candidates[0].value - candidates[1].value >= 3.0;
    for (const StartCandidate& c : candidates)
        if (c.value >= candidates[0].value - kCloseBits)
            choice.close.push_back(c);
    return choice;
}

} // namespace zorbik
