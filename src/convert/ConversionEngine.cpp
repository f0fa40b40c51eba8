#include "convert/ConversionEngine.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "convert/ValueConversions.h"
#include "sheet/SheetWriter.h"

namespace zorbik {
namespace {

constexpr std::uint64_t kReadWindow = 4u << 20;

// Fetches the source bytes of a batch of records with one read each.
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

    // Copies the field bytes of `column` for record `k` into `field`;
    // returns how many were present.
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
    const SourceBytes& source_;
    std::uint64_t size_;
    std::uint64_t length_;
    std::int32_t minRow_;
    std::uint64_t span_ = 0;
    std::uint32_t perBatch_ = 1;
    std::uint64_t start_ = 0;
    std::vector<std::uint8_t> buffer_;
};

// Writes the cell of one field, as its type asks.
void WriteCell(SheetWriter& writer, TypeCode type, std::uint8_t* field, std::uint32_t count)
{
    std::uint8_t number[8];
    switch (type) {
    case TypeCode::Text:
        writer.WriteLabelCell(field, count);
        break;
    case TypeCode::BinInteger: {
        const std::uint32_t v = static_cast<std::uint32_t>(field[0]) | static_cast<std::uint32_t>(field[1]) << 8 |
                                static_cast<std::uint32_t>(field[2]) << 16 |
                                static_cast<std::uint32_t>(field[3]) << 24;
        if (v <= 0xFFFF) {
            writer.WriteIntegerCell(field);
        } else {
            WidenInteger(v, number);
            writer.WriteNumberCell(number);
        }
        break;
    }
    case TypeCode::DecimalNumber:
        ConvertDecimal(kDecimalText, field, number);
        writer.WriteNumberCell(number);
        break;
    case TypeCode::BinReal:
        if (count <= 4)
            WidenSingle(field);
        writer.WriteNumberCell(field);
        break;
    case TypeCode::Bcd:
        ConvertDecimal(kPackedDecimal, field, number);
        writer.WriteNumberCell(number);
        break;
    }
}

} // namespace

ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                ByteSink& sink, const std::atomic<bool>& stop, const ProgressFn& progress)
{
    ConversionOutcome outcome;
    OutputBuffer out(sink, &stop);
    SheetWriter writer(out);
    RecordReader reader(source, layout, plan);
    std::uint8_t field[256];

    auto finish = [&](ConversionStatus status) {
        outcome.status = status;
        outcome.bytesWritten = out.Written();
        return outcome;
    };

    writer.WriteSheetHeader();
    writer.WriteDimensions(layout.recordCount, layout.columnCount);
    writer.CurrentRow = 0;
    writer.CurrentColumn = 0;

    const auto columnCount = static_cast<std::uint32_t>(plan.columns.size());
    for (std::uint32_t first = 0; first < layout.recordCount; first += reader.PerBatch()) {
        const std::uint32_t batch = std::min(reader.PerBatch(), layout.recordCount - first);
        if (!reader.Load(first, batch))
            return finish(ConversionStatus::ReadFailed);
        for (std::uint32_t k = first; k < first + batch; ++k) {
            if (stop.load(std::memory_order_relaxed))
                return finish(ConversionStatus::Stopped);
            writer.WriteRowRecord(writer.CurrentRow, layout.columnCount);
            for (std::uint32_t c = 0; c < columnCount; ++c) {
                const PlannedColumn& column = plan.columns[c];
                const std::uint32_t size = FieldSize(column.type);
                const std::uint32_t count = reader.Gather(plan, column, k, field);
                std::memset(field + count, 0, size - count);
                WriteCell(writer, column.type, field, count);
                ++writer.CurrentColumn;
            }
            writer.CurrentColumn = 0;
            ++writer.CurrentRow;
            outcome.recordsDone = k + 1;
            if (progress && (outcome.recordsDone % kProgressInterval == 0))
                progress(outcome.recordsDone);
        }
        if (out.Failed())
            return finish(ConversionStatus::WriteFailed);
    }
    writer.WriteSheetTrailer();
    out.Flush();
    if (out.Failed())
        return finish(ConversionStatus::WriteFailed);
    if (out.Stopped())
        return finish(ConversionStatus::Stopped);
    if (progress)
        progress(outcome.recordsDone);
    return finish(ConversionStatus::Finished);
}

} // namespace zorbik
