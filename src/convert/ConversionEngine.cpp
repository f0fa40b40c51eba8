#include "convert/ConversionEngine.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "codecs/LittleEndian.h"
#include "codepage/CodePages.h"
#include "convert/RecordReader.h"
#include "codecs/ValueConversions.h"
#include "sheet/SheetWriter.h"

namespace zorbik {
namespace {

// From this many source bytes on, the source is read ahead and the target
// written behind, each on a thread of its own beside the record loop: with
// a processor to spare, the file system's copying then costs the loop no
// time. Smaller conversions are over before the threads would pay.
constexpr std::uint64_t kOverlapFrom = 32u << 20;
// Bytes read and written at a time then: fewer hand-overs between threads.
// Records whose bytes or rows are larger go without the threads, whose
// second buffers would double the memory they take.
constexpr std::uint64_t kOverlapChunk = 1u << 20;

bool Overlaps(const RecordLayout& layout, const ColumnPlan& plan, std::size_t maxRowBytes)
{
    const auto span = static_cast<std::int64_t>(plan.maxRow) - plan.minRow + 1;
    return std::uint64_t{layout.recordCount} * layout.recordLength >= kOverlapFrom &&
           span <= static_cast<std::int64_t>(kOverlapChunk) && maxRowBytes <= kOverlapChunk;
}

// Bytes of the largest row a record can give: its ROW record and the
// largest cell of every column.
std::size_t MaxRowBytes(const ColumnPlan& plan)
{
    std::size_t bytes = SheetWriter::kRowRecordSize;
    for (const PlannedColumn& column : plan.columns) {
        bytes += column.type == FieldType::Text
                     ? SheetWriter::LabelCellSize(std::min(column.byteCount, SheetWriter::kMaxLabel))
                     : SheetWriter::kNumberCellSize;
    }
    return bytes;
}

// A run of field bytes, placed where the reader puts it in a record's bytes.
struct RunPlace {
    std::uint32_t offset;
    std::uint32_t length;
};

// A column as the record loop reads it, worked out once per conversion.
struct ColumnRead {
    FieldType type;
    RunPlace first;         // the field's first run
    std::uint32_t firstRun; // its index in the list of runs
    std::uint32_t runCount;
};

struct RecordReads {
    std::vector<ColumnRead> columns;
    std::vector<RunPlace> runs;
    bool trimTexts = false;
};

RecordReads PlanReads(const ColumnPlan& plan, const RecordReader& reader)
{
    RecordReads reads;
    reads.trimTexts = plan.settings.trimTexts;
    reads.runs.reserve(plan.runs.size());
    for (std::size_t i = 0; i < plan.runs.size(); ++i)
        reads.runs.push_back({static_cast<std::uint32_t>(reader.RunAt(i)), plan.runs[i].length});
    reads.columns.reserve(plan.columns.size());
    for (const PlannedColumn& column : plan.columns) {
        const RunPlace first = column.runCount > 0 ? reads.runs[column.firstRun] : RunPlace{0, 0};
        reads.columns.push_back({column.type, first, column.firstRun, column.runCount});
    }
    return reads;
}

// Copies `n` bytes to a buffer of `size` and zeroes the rest, as the value
// conversions expect.
template <std::size_t size>
void PadField(std::uint8_t (&padded)[size], const std::uint8_t* bytes, std::uint32_t n)
{
    std::memset(padded, 0, size);
    CopyShortBytes(padded, bytes, std::min<std::uint32_t>(n, size));
}

// Writes the cell of the `count` field bytes at `bytes`, as the column's
// type asks, and returns the byte after it.
inline std::uint8_t* PutCell(std::uint8_t* at, CellAddress cell, FieldType type, const std::uint8_t* bytes,
                             std::uint32_t count, bool trim)
{
    std::uint8_t number[8];
    switch (type) {
    case FieldType::None: // never planned: a column without a type is text
    case FieldType::Text:
        if (trim) {
            while (count > 0 && (bytes[count - 1] == ' ' || bytes[count - 1] == 0))
                --count;
        }
        return SheetWriter::PutLabelCell(at, cell, bytes, count);
    case FieldType::BinInteger: {
        const std::uint32_t v = LoadLe32(bytes, count);
        if (v <= 0xFFFF)
            return SheetWriter::PutIntegerCell(at, cell, static_cast<std::uint16_t>(v));
        WidenInteger(v, number);
        return SheetWriter::PutNumberCell(at, cell, number);
    }
    case FieldType::DecimalNumber: {
        std::uint8_t text[20];
        PadField(text, bytes, count);
        ConvertDecimal(DecimalSource::Text, text, number);
        return SheetWriter::PutNumberCell(at, cell, number);
    }
    case FieldType::BinReal:
        if (count == 8)
            return SheetWriter::PutNumberCell(at, cell, bytes);
        if (count == 4)
            std::memcpy(number, bytes, 4); // the single's bytes; the rest is WidenSingle's
        else
            PadField(number, bytes, count);
        if (count <= 4)
            WidenSingle(number);
        return SheetWriter::PutNumberCell(at, cell, number);
    case FieldType::Bcd: {
        std::uint8_t packed[10];
        if (count < 10) {
            PadField(packed, bytes, count);
            bytes = packed;
        }
        ConvertDecimal(DecimalSource::Packed, bytes, number);
        return SheetWriter::PutNumberCell(at, cell, number);
    }
    }
    return at;
}

// Writes the ROW record and the cells of record `k`, whose bytes the
// reader has loaded; returns the byte after them.
std::uint8_t* PutRow(std::uint8_t* at, std::uint32_t k, std::uint32_t columnCount, const RecordReader& reader,
                     const RecordReads& reads)
{
    at = SheetWriter::PutRowRecord(at, k, columnCount);
    CellAddress cell(k, 0);
    // Every field lies inside its record, and every record converted inside
    // the source.
    const std::uint8_t* const record = reader.Record(k);
    for (const ColumnRead& column : reads.columns) {
        if (column.runCount == 1) {
            at = PutCell(at, cell, column.type, record + column.first.offset, column.first.length, reads.trimTexts);
        } else {
            std::uint8_t field[256];
            std::uint32_t count = 0;
            for (std::uint32_t i = 0; i < column.runCount; ++i) {
                const RunPlace& run = reads.runs[column.firstRun + i];
                CopyShortBytes(field + count, record + run.offset, run.length);
                count += run.length;
            }
            at = PutCell(at, cell, column.type, field, count, reads.trimTexts);
        }
        cell = cell.NextColumn();
    }
    return at;
}

} // namespace

ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                ByteSink& sink, const std::atomic<bool>& stop, const ProgressFn& progress)
{
    ConversionOutcome outcome;
    const std::size_t maxRowBytes = MaxRowBytes(plan);
    const bool overlap = Overlaps(layout, plan, maxRowBytes);
    const std::size_t chunk = overlap ? kOverlapChunk : OutputBuffer::kDefaultCapacity;
    // A whole row goes into one reservation, so the buffer must hold one.
    OutputBuffer out(sink, &stop, std::max(chunk, maxRowBytes), overlap);
    SheetWriter writer(out);
    RecordReader reader(source, layout, plan, overlap ? kOverlapChunk : RecordReader::kDefaultWindow, overlap);
    const RecordReads reads = PlanReads(plan, reader);

    auto finish = [&](ConversionStatus status) {
        out.Settle();
        outcome.status = status;
        return outcome;
    };

    writer.WriteSheetHeader(CodePageRecordValue(plan.settings.codePage));
    writer.WriteDimensions(layout.recordCount, layout.columnCount);

    for (std::uint32_t first = 0; first < layout.recordCount; first += reader.PerBatch()) {
        const std::uint32_t batch = std::min(reader.PerBatch(), layout.recordCount - first);
        if (!reader.Load(first, batch))
            return finish(ConversionStatus::ReadFailed);
        for (std::uint32_t k = first; k < first + batch; ++k) {
            if (stop.load(std::memory_order_relaxed))
                return finish(ConversionStatus::Stopped);
            std::uint8_t* const rowStart = out.Reserve(maxRowBytes);
            std::uint8_t* const rowEnd = PutRow(rowStart, k, layout.columnCount, reader, reads);
            out.Commit(static_cast<std::size_t>(rowEnd - rowStart));
            outcome.recordsDone = k + 1;
            if (progress && (outcome.recordsDone % kProgressInterval == 0))
                progress(outcome.recordsDone);
        }
        if (out.Failed())
            return finish(ConversionStatus::WriteFailed);
    }
    writer.WriteSheetTrailer();
    out.Drain();
    if (out.Failed())
        return finish(ConversionStatus::WriteFailed);
    if (out.Stopped())
        return finish(ConversionStatus::Stopped);
    if (progress)
        progress(outcome.recordsDone);
    return finish(ConversionStatus::Finished);
}

} // namespace zorbik
