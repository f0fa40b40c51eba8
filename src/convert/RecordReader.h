// Reads the source bytes that a conversion needs, a batch of records at a
// time with one positioned read, into a buffer that is reused for every
// batch: the record loop then finds every field in memory.
//
// With read-ahead, a background buffer's thread reads the next batch while
// the record loop works on the current one.
//
// Columns far apart (more than kMaxStretch between the first and the last
// byte read) are read field by field instead, each record's fields packed
// together, so that memory and time follow the bytes of the fields, not the
// distance between them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "convert/ColumnWalk.h"
#include "file/BackgroundBuffer.h"
#include "file/SourceBytes.h"
#include "record/RecordLayout.h"

namespace zorbik {

class RecordReader {
public:
    // Bytes read at a time: enough that the reads cost little beside the
    // conversion, few enough to stay in the processor's cache until the
    // record loop has used them.
    static constexpr std::uint64_t kDefaultWindow = 256u << 10;
    // The longest stretch of a record read in one piece.
    static constexpr std::uint64_t kMaxStretch = 1u << 20;
    // Fields closer than this are read together.
    static constexpr std::uint64_t kJoinGap = 64;

    RecordReader(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                 std::uint64_t window = kDefaultWindow, bool readAhead = false)
        : source_(source), size_(source.Size()), length_(layout.recordLength), records_(layout.recordCount),
          minRow_(plan.minRow)
    {
        span_ = plan.maxRow >= plan.minRow ? static_cast<std::uint64_t>(plan.maxRow - plan.minRow) + 1 : 0;
        if (span_ > kMaxStretch) {
            PlanPieces(plan);
            perBatch_ = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(window / slot_, 1, 1u << 16));
            buffer_.resize(static_cast<std::size_t>(perBatch_ * slot_));
            return;
        }
        window = std::max(window, span_);
        perBatch_ = span_ == 0 ? 1u << 16 : static_cast<std::uint32_t>(std::min<std::uint64_t>(1 + (window - span_) / length_, 1u << 16));
        buffer_.resize(span_ == 0 ? 0 : static_cast<std::size_t>(span_ + (perBatch_ - 1) * length_));
        for (const RowRun& run : plan.runs)
            runAt_.push_back(static_cast<std::uint64_t>(run.firstRow - minRow_));
        if (readAhead && span_ > 0 && records_ > perBatch_)
            ahead_.emplace(buffer_.size(), [this](std::vector<std::uint8_t>& into) {
                aheadOk_ = ReadBatch(aheadFirst_, aheadCount_, into.data());
                aheadHas_ = true;
            });
    }

    // Waits for a read under way.
    ~RecordReader() = default;

    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    std::uint32_t PerBatch() const { return perBatch_; }

    // Reads what records first .. first + count - 1 need (taking them from
    // the read-ahead when it has them) and starts reading the next batch.
    // False when the source could not be read or has become shorter.
    bool Load(std::uint64_t first, std::uint32_t count)
    {
        if (span_ == 0)
            return true;
        bool ok = false;
        bool taken = false;
        if (ahead_) {
            std::vector<std::uint8_t>& ahead = ahead_->Idle();
            if (aheadHas_ && aheadFirst_ == first && aheadCount_ == count) {
                buffer_.swap(ahead);
                ok = aheadOk_;
                taken = true;
            }
            aheadHas_ = false;
        }
        if (!taken)
            ok = pieces_.empty() ? ReadBatch(first, count, buffer_.data()) : ReadPieces(first, count);
        start_ = Offset(first);
        first_ = first;
        const std::uint64_t next = first + count;
        if (ahead_ && ok && next < records_) {
            aheadFirst_ = next;
            aheadCount_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(perBatch_, records_ - next));
            ahead_->Start();
        }
        return ok;
    }

    // Where the bytes of record `k` lie in the batch: run i of the plan at
    // Record(k) + RunAt(i).
    const std::uint8_t* Record(std::uint64_t k) const
    {
        return buffer_.data() + (pieces_.empty() ? Offset(k) - start_ : (k - first_) * slot_);
    }
    std::uint64_t RunAt(std::size_t run) const { return runAt_[run]; }

private:
    std::uint64_t Offset(std::uint64_t k) const
    {
        return static_cast<std::uint64_t>(minRow_) + k * length_;
    }

    bool ReadBatch(std::uint64_t first, std::uint32_t count, std::uint8_t* into) const
    {
        const std::uint64_t start = Offset(first);
        const std::uint64_t end =
            std::min<std::uint64_t>(start + span_ + static_cast<std::uint64_t>(count - 1) * length_, size_);
        if (end <= start)
            return true;
        const std::uint64_t want = end - start;
        return source_.ReadAt(start, into, static_cast<std::size_t>(want)) == static_cast<std::int64_t>(want);
    }

    // Joins the runs that lie close together into pieces and places every
    // piece in a record's slot.
    void PlanPieces(const ColumnPlan& plan)
    {
        const std::size_t n = plan.runs.size();
        std::vector<std::size_t> order(n);
        for (std::size_t i = 0; i < n; ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return plan.runs[a].firstRow < plan.runs[b].firstRow; });
        std::vector<std::size_t> pieceOf(n);
        for (const std::size_t i : order) {
            const auto first = static_cast<std::uint64_t>(plan.runs[i].firstRow - minRow_);
            if (pieces_.empty() || first > pieces_.back().first + pieces_.back().length + kJoinGap)
                pieces_.push_back({first, 0, 0});
            Piece& piece = pieces_.back();
            piece.length = std::max(piece.length, first + plan.runs[i].length - piece.first);
            pieceOf[i] = pieces_.size() - 1;
        }
        for (Piece& piece : pieces_) {
            piece.at = slot_;
            slot_ += piece.length;
        }
        runAt_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const Piece& piece = pieces_[pieceOf[i]];
            runAt_[i] = piece.at + (static_cast<std::uint64_t>(plan.runs[i].firstRow - minRow_) - piece.first);
        }
    }

    bool ReadPieces(std::uint64_t first, std::uint32_t count)
    {
        for (std::uint64_t k = first; k < first + count; ++k) {
            std::uint8_t* slot = buffer_.data() + (k - first) * slot_;
            for (const Piece& piece : pieces_) {
                if (source_.ReadAt(Offset(k) + piece.first, slot + piece.at, static_cast<std::size_t>(piece.length)) !=
                    static_cast<std::int64_t>(piece.length))
                    return false;
            }
        }
        return true;
    }

    const SourceBytes& source_;
    std::uint64_t size_;
    std::uint64_t length_;
    std::uint64_t records_;
    std::int32_t minRow_;
    std::uint64_t span_ = 0;
    std::uint32_t perBatch_ = 1;
    std::uint64_t start_ = 0;
    std::uint64_t first_ = 0; // the batch's first record
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint64_t> runAt_; // where each run of the plan lies in a record's bytes

    // Far-apart fields: the stretches read, each at `first` from the
    // record's first read byte, placed at `at` in a record's slot.
    struct Piece {
        std::uint64_t first;
        std::uint64_t length;
        std::uint64_t at;
    };
    std::vector<Piece> pieces_;
    std::uint64_t slot_ = 0;

    // Read-ahead: the batch asked for and how its read went, written by the
    // loop before Start and by the read before Idle returns. `ahead_` is
    // last, so that it is destroyed, and its read has ended, before anything
    // the read uses.
    std::uint64_t aheadFirst_ = 0;
    std::uint32_t aheadCount_ = 0;
    bool aheadOk_ = false;
    bool aheadHas_ = false; // the background buffer holds batch aheadFirst_, aheadCount_
    std::optional<BackgroundBuffer> ahead_;
};

} // namespace zorbik
