// Reads the source bytes that a conversion needs, a batch of records at a
// time with one positioned read, into a buffer that is reused for every
// batch: the record loop then finds every field in memory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "convert/ColumnWalk.h"
#include "layout/RecordLayout.h"
#include "source/SourceBytes.h"

namespace zorbik {

// Bytes read at a time: enough that the reads cost little beside the
// conversion, few enough to stay in the processor's cache until the record
// loop has used them.
inline constexpr std::uint64_t kReadWindow = 256u << 10;

class RecordReader {
public:
    RecordReader(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan)
        : source_(source), size_(source.Size()), length_(layout.recordLength), minRow_(plan.minRow)
    {
        span_ = plan.maxRow >= plan.minRow ? static_cast<std::uint64_t>(plan.maxRow - plan.minRow) + 1 : 0;
        const std::uint64_t window = std::max(kReadWindow, span_);
        perBatch_ = span_ == 0 ? 1u << 16 : static_cast<std::uint32_t>(std::min<std::uint64_t>(1 + (window - span_) / length_, 1u << 16));
        buffer_.resize(span_ == 0 ? 0 : static_cast<std::size_t>(span_ + (perBatch_ - 1) * length_));
    }

    std::uint32_t PerBatch() const { return perBatch_; }

    // Reads what records first .. first + count - 1 need. False when the
    // source could not be read or has become shorter.
    bool Load(std::uint32_t first, std::uint32_t count)
    {
        if (span_ == 0)
            return true;
        start_ = static_cast<std::uint64_t>(minRow_) + static_cast<std::uint64_t>(first) * length_;
        std::uint64_t end = start_ + span_ + static_cast<std::uint64_t>(count - 1) * length_;
        end = std::min<std::uint64_t>(end, size_);
        if (end <= start_)
            return true;
        const std::uint64_t want = end - start_;
        return source_.ReadAt(start_, buffer_.data(), static_cast<std::size_t>(want)) ==
               static_cast<std::int64_t>(want);
    }

    // Whether the source holds every byte the plan reads of record `k`.
    bool Whole(std::uint32_t k) const { return span_ > 0 && Offset(k) + span_ <= size_; }

    // Where the byte of row plan.minRow of record `k` lies in the batch.
    const std::uint8_t* Record(std::uint32_t k) const { return buffer_.data() + (Offset(k) - start_); }

    // Copies the field bytes of `column` for record `k` into `field`,
    // stopping at the end of the source; returns how many were present.
    std::uint32_t Gather(const ColumnPlan& plan, const PlannedColumn& column, std::uint32_t k,
                         std::uint8_t* field) const
    {
        const std::uint64_t shift = static_cast<std::uint64_t>(k) * length_;
        std::uint32_t count = 0;
        for (std::uint32_t i = 0; i < column.runCount; ++i) {
            const RowRun& run = plan.runs[column.firstRun + i];
            const std::uint64_t offset = static_cast<std::uint64_t>(run.firstRow) + shift;
            if (offset >= size_)
                break;
            const auto present = static_cast<std::uint32_t>(std::min<std::uint64_t>(run.length, size_ - offset));
            std::memcpy(field + count, buffer_.data() + (offset - start_), present);
            count += present;
            if (present < run.length)
                break;
        }
        return count;
    }

private:
    std::uint64_t Offset(std::uint32_t k) const
    {
        return static_cast<std::uint64_t>(minRow_) + static_cast<std::uint64_t>(k) * length_;
    }

    const SourceBytes& source_;
    std::uint64_t size_;
    std::uint64_t length_;
    std::int32_t minRow_;
    std::uint64_t span_ = 0;
    std::uint32_t perBatch_ = 1;
    std::uint64_t start_ = 0;
    std::vector<std::uint8_t> buffer_;
};

} // namespace zorbik
