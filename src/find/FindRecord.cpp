#include "find/RecordGuess.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "find/ByteSample.h"
#include "find/ColumnGuess.h"
#include "find/RecordLength.h"
#include "find/RecordStart.h"

namespace zorbik {
namespace {

constexpr std::uint64_t kMinSourceSize = 8;
constexpr std::size_t kMaxSampleRecords = 512;
// Coding the sample with the record's statistics must save this much per
// byte for a structure to count as found.
constexpr double kMinBitsSaved = 0.15;

std::vector<const std::uint8_t*> SampleRecords(const ByteSample& sample, std::uint64_t start, std::uint32_t length,
                                               std::uint64_t end)
{
    std::vector<const std::uint8_t*> all;
    for (const SampleChunk& chunk : sample.chunks) {
        std::uint64_t at = start;
        if (chunk.offset > start)
            at = start + (chunk.offset - start + length - 1) / length * length;
        for (; at + length <= std::min(chunk.End(), end); at += length)
            all.push_back(chunk.bytes.data() + (at - chunk.offset));
    }
    if (all.size() <= kMaxSampleRecords)
        return all;
    std::vector<const std::uint8_t*> picked;
    for (std::size_t i = 0; i < kMaxSampleRecords; ++i)
        picked.push_back(all[i * all.size() / kMaxSampleRecords]);
    return picked;
}

// Records begin where a field begins: of the starts that explain the bytes
// about equally well, take the best one that a cut of two records in a row,
// starting half a record away, puts a column begin on.
std::uint64_t PreferFieldBoundary(const ByteSample& sample, const StartChoice& choice, std::uint32_t length)
{
    if (choice.close.size() < 2)
        return choice.start;
    const std::uint32_t half = length / 2;
    const std::uint64_t from = choice.start + (length - half);
    const std::vector<const std::uint8_t*> pairs = SampleRecords(sample, from, 2 * length, sample.size);
    if (pairs.size() < 2)
        return choice.start;
    const std::vector<PositionStats> stats = MeasurePositions(pairs, 2 * length);
    std::vector<bool> begins(2 * std::size_t{length}, false);
    for (const GuessedColumn& c : GuessColumns(pairs, 2 * length, stats, false))
        begins[c.offset] = true;
    for (const StartCandidate& c : choice.close) {
        const std::uint64_t at = (c.start + length - choice.start % length + half) % length;
        if (begins[at] || begins[at + length])
            return c.start;
    }
    return choice.start;
}

// How sure the guess is: how much structure the record length explains,
// whether an unrelated length explains nearly as much, how much better the
// start explains the bytes than the other starts close to it (their values
// are bits, so 2^-difference is how much less likely each is), and whether
// the sample held enough records.
int Confidence(const LengthChoice& length, const StartChoice& start, std::uint64_t chosen, std::size_t sampleRecords)
{
    double c = std::clamp((length.bitsSavedPerByte - kMinBitsSaved) / 0.35, 0.0, 1.0);
    if (length.unrelatedRival > 50)
        c *= 1.0 - (length.unrelatedRival - 50) / 50.0;
    double chosenValue = 0;
    for (const StartCandidate& candidate : start.close)
        if (candidate.start == chosen)
            chosenValue = candidate.value;
    double others = 0;
    for (const StartCandidate& candidate : start.close)
        if (candidate.start != chosen)
            others += std::exp2(candidate.value - chosenValue);
    c /= 1.0 + others;
    if (sampleRecords < 8)
        c *= 0.5;
    return static_cast<int>(std::lround(std::clamp(c * 100.0, 0.0, 100.0)));
}

RecordGuess Find(const SourceBytes& source)
{
    RecordGuess guess;
    const ByteSample sample = ReadSample(source);
    if (sample.readError) {
        guess.failure = GuessFailure::ReadError;
        return guess;
    }
    if (sample.size < kMinSourceSize) {
        guess.failure = GuessFailure::TooSmall;
        return guess;
    }
    const LengthChoice length = ChooseRecordLength(sample);
    if (length.length == 0 || length.bitsSavedPerByte < kMinBitsSaved) {
        guess.failure = GuessFailure::NoRepeat;
        return guess;
    }
    const StartChoice start = ChooseRecordStart(sample, length.length);
    guess.start = PreferFieldBoundary(sample, start, length.length);
    guess.length = length.length;
    guess.recordCount = (sample.size - guess.start) / guess.length;
    guess.tail = static_cast<std::uint32_t>((sample.size - guess.start) % guess.length);
    guess.alternatives = length.alternatives;
    const std::vector<const std::uint8_t*> records =
        SampleRecords(sample, guess.start, guess.length, guess.start + guess.recordCount * guess.length);
    if (guess.recordCount < 2 || records.size() < 2) {
        guess.failure = GuessFailure::NoRepeat;
        return guess;
    }
    const std::vector<PositionStats> stats = MeasurePositions(records, guess.length);
    guess.columns = FitToMarks(GuessColumns(records, guess.length, stats), guess.length, stats);
    guess.confidence = Confidence(length, start, guess.start, records.size());
    guess.failure = GuessFailure::None;
    return guess;
}

} // namespace

RecordGuess FindRecord(const SourceBytes& source)
{
    try {
        return Find(source);
    } catch (const std::bad_alloc&) {
        RecordGuess guess;
        guess.failure = GuessFailure::ReadError;
        return guess;
    }
}

} // namespace zorbik
