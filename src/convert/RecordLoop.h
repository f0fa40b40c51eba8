// The record loop of a conversion: every record cut into its fields, every
// field made a cell of the column's type and handed to a target, which
// writes it in its format. Runs on whatever thread calls it; a stop flag
// ends it between records.
#pragma once

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "codecs/DecimalText.h"
#include "codecs/FieldDecoders.h"
#include "codecs/LittleEndian.h"
#include "codecs/ValueConversions.h"
#include "codepage/CodePages.h"
#include "convert/ColumnWalk.h"
#include "convert/RecordReader.h"
#include "file/BackgroundBuffer.h"
#include "file/SourceBytes.h"
#include "record/RecordLayout.h"
#include "sheet/SheetWriter.h"
#include "target/CellTarget.h"

namespace zorbik {

enum class ConversionStatus { Finished, Stopped, WriteFailed, ReadFailed };

// The fields of one column that were no value of its type, which became
// empty cells.
struct ColumnFault {
    std::uint32_t column = 0;
    FieldType type = FieldType::None;
    std::uint64_t count = 0;
    std::uint64_t firstRecord = 0; // from 0
    bool operator==(const ColumnFault&) const = default;
};

struct ConversionOutcome {
    ConversionStatus status = ConversionStatus::Finished;
    std::uint64_t recordsDone = 0;
    TargetNotes notes;
    std::vector<ColumnFault> faults; // columns with invalid fields only, in column order
};

// Told the number of records done, now and then (every few hundred records
// and after the last one), on the converting thread.
using ProgressFn = std::function<void(std::uint64_t recordsDone)>;

// Records between two progress reports.
inline constexpr std::uint32_t kProgressInterval = 256;

// The cell kind a field type gives.
constexpr CellKind KindOf(FieldType type, const FieldOptions& options = {})
{
    switch (ConvertedType(type)) {
    case FieldType::BinInteger:
        return CellKind::Integer;
    case FieldType::Integer:
        return options.scale == 0 ? CellKind::Integer : CellKind::Number;
    case FieldType::DecimalNumber:
    case FieldType::BinReal:
    case FieldType::Bcd:
    case FieldType::Packed:
    case FieldType::Zoned:
    case FieldType::Extended:
    case FieldType::Real48:
        return CellKind::Number;
    case FieldType::Date:
        return CellKind::Date;
    default:
        return CellKind::Text;
    }
}

namespace record_loop {

// A run of field bytes, placed where the reader puts it in a record's bytes.
struct RunPlace {
    std::uint32_t offset;
    std::uint32_t length;
};

// The way the commonest fields take to their cell, chosen once per column
// from its type, options and width: a field of one run that needs none of
// the checks of its type. Every other field goes through PutCell.
enum class Route : std::uint8_t { Any, Text, TextRuns, Integer2, Integer4, Real8, Real4, DecimalText, Bcd10 };

// A column as the record loop reads it, worked out once per conversion.
struct ColumnRead {
    Route route;
    FieldType type;
    FieldOptions options;
    RunPlace first;         // the field's first run
    std::uint32_t firstRun; // its index in the list of runs
    std::uint32_t runCount;
    std::uint8_t blank; // what trimming takes off, with zero bytes: the blank of the text's page
};

struct RecordReads {
    std::vector<ColumnRead> columns;
    std::vector<ColumnFault> faults; // one per column
    std::vector<RunPlace> runs;
    std::vector<std::uint8_t> field; // a field of several runs, put together
    bool trimTexts = false;
};

inline Route RouteOf(FieldType type, const FieldOptions& options, std::uint32_t runCount, std::uint32_t bytes)
{
    if (runCount != 1)
        return type == FieldType::Text || type == FieldType::None ? Route::TextRuns : Route::Any;
    const bool nativeReal = type == FieldType::BinReal && !options.ibm && !options.bigEndian;
    switch (type) {
    case FieldType::None:
    case FieldType::Text:
        return Route::Text;
    case FieldType::BinInteger:
        return bytes == 4 ? Route::Integer4 : bytes == 2 ? Route::Integer2 : Route::Any;
    case FieldType::BinReal:
        return nativeReal && bytes == 8 ? Route::Real8 : nativeReal && bytes == 4 ? Route::Real4 : Route::Any;
    case FieldType::DecimalNumber:
        return options.scale == 0 && !options.blankEmpty ? Route::DecimalText : Route::Any;
    case FieldType::Bcd:
        return bytes == 10 ? Route::Bcd10 : Route::Any;
    default:
        return Route::Any;
    }
}

inline RecordReads PlanReads(const ColumnPlan& plan, const RecordReader& reader)
{
    RecordReads reads;
    reads.trimTexts = plan.settings.trimTexts;
    reads.runs.reserve(plan.runs.size());
    for (std::size_t i = 0; i < plan.runs.size(); ++i)
        reads.runs.push_back({static_cast<std::uint32_t>(reader.RunAt(i)), plan.runs[i].length});
    reads.columns.reserve(plan.columns.size());
    std::uint32_t widest = 0;
    for (const PlannedColumn& column : plan.columns) {
        const RunPlace first = column.runCount > 0 ? reads.runs[column.firstRun] : RunPlace{0, 0};
        const std::uint16_t page = column.options.codePage != 0 ? column.options.codePage : plan.settings.codePage;
        reads.columns.push_back({RouteOf(column.type, column.options, column.runCount, first.length), column.type,
                                 column.options, first, column.firstRun, column.runCount, BlankByte(page)});
        reads.faults.push_back({static_cast<std::uint32_t>(reads.faults.size()), column.type, 0, 0});
        if (column.runCount > 1)
            widest = std::max(widest, column.byteCount);
    }
    reads.field.resize(widest);
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

// The length of a text without the blanks and zero bytes at its end,
// eight bytes looked at a time.
inline std::uint32_t TrimmedLength(const std::uint8_t* bytes, std::uint32_t count, std::uint8_t blank)
{
    const std::uint64_t blanks = 0x0101010101010101ull * blank;
    for (; count >= 8; count -= 8) {
        const std::uint64_t eight = LoadLe64(bytes + count - 8);
        const std::uint64_t kept = NonZeroBytes(eight ^ blanks) & NonZeroBytes(eight);
        if (kept != 0)
            return count - 8 + static_cast<std::uint32_t>(63 - std::countl_zero(kept)) / 8 + 1;
    }
    while (count > 0 && (bytes[count - 1] == blank || bytes[count - 1] == 0))
        --count;
    return count;
}

inline double NumberOf(const std::uint8_t bytes[8])
{
    return std::bit_cast<double>(LoadLe64(bytes));
}

inline double PowerOfTen(int n)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return kPowers[n];
}

// A target that writes a decimal's digits as they are, where they are the
// shortest text of its double, and needs no double for them: read into a
// ShortDecimal, straight from a packed decimal's places (false where that
// cannot be done), or as the field's own text.
template <class Target>
concept WritesDecimals = requires(Target target, const ShortDecimal& decimal, const std::uint8_t* bytes) {
    target.Decimal(decimal);
    { target.Packed(bytes) } -> std::same_as<bool>;
    target.ShortestText(false, bytes, std::uint32_t{});
};

// The cell of a decimal text or a packed decimal.
template <CellTarget Target>
inline void PutDecimal(Target& target, DecimalSource kind, const std::uint8_t* bytes)
{
    if constexpr (WritesDecimals<Target>) {
        if (kind == DecimalSource::Packed && target.Packed(bytes))
            return;
        ShortDecimal decimal;
        if (ReadShortDecimal(kind, bytes, decimal)) {
            target.Decimal(decimal);
            return;
        }
    }
    std::uint8_t number[8];
    ConvertDecimal(kind, bytes, number);
    target.Number(NumberOf(number));
}

// The cell of a decimal text without implied decimals: its first 20 bytes
// in `text`, zero bytes after them.
template <CellTarget Target>
inline void PutDecimalText(Target& target, const std::uint8_t (&text)[40])
{
    if constexpr (WritesDecimals<Target>) {
        std::uint32_t begin;
        bool negative;
        if (const std::uint32_t n = ShortestDecimalText(text, begin, negative)) {
            target.ShortestText(negative, text + begin, n);
            return;
        }
    }
    PutDecimal(target, DecimalSource::Text, text);
}

// The cell of a little-endian IEEE real: a double of 8 bytes, a single of
// 4 (or fewer, zero-padded) widened to one.
template <CellTarget Target>
inline void PutReal(Target& target, const std::uint8_t* bytes, std::uint32_t count)
{
    if (count == 8) {
        target.Number(NumberOf(bytes));
        return;
    }
    std::uint8_t number[8];
    if (count == 4)
        std::memcpy(number, bytes, 4); // the single's bytes; the rest is WidenSingle's
    else
        PadField(number, bytes, count);
    if (count <= 4)
        WidenSingle(number);
    target.Number(NumberOf(number));
}

// The cells of the types of COBOL, Pascal and C records; false for a field
// that is no value of its type, which becomes an empty cell.
template <CellTarget Target>
[[gnu::noinline]] bool PutRecordCell(Target& target, FieldType type, const FieldOptions& options,
                                     const std::uint8_t* bytes, std::uint32_t count, bool trim, std::uint8_t blank)
{
    double value = 0;
    FieldStatus status = FieldStatus::Ok;
    switch (type) {
    case FieldType::Integer: {
        const std::uint64_t bits = DecodeInteger(bytes, count, options.bigEndian, options.isUnsigned);
        if (options.scale != 0)
            target.Number(ScaledInteger(bits, options.isUnsigned, options.scale));
        else if (options.isUnsigned && bits > 0x7FFFFFFFFFFFFFFFull)
            target.Unsigned(bits);
        else
            target.Integer(static_cast<std::int64_t>(bits));
        return true;
    }
    case FieldType::Packed:
        status = DecodePacked(bytes, count, options.scale, options.isUnsigned, value);
        break;
    case FieldType::Zoned:
        status = DecodeZoned(bytes, count, options.scale, options.sign, options.ebcdic, value);
        break;
    case FieldType::Extended:
        status = count == 10 ? (value = DecodeExtended(bytes), FieldStatus::Ok) : FieldStatus::Invalid;
        break;
    case FieldType::Real48:
        status = count == 6 ? (value = DecodeReal48(bytes), FieldStatus::Ok) : FieldStatus::Invalid;
        break;
    case FieldType::Date: {
        DateValue date;
        status = count == DateWidth(options.date) ? DecodeDate(bytes, options.date, date) : FieldStatus::Invalid;
        if (status != FieldStatus::Ok)
            break;
        // The number the design's worksheet shows: the digits, or the day.
        double number = 0;
        if (options.date == DateForm::Days1899)
            std::memcpy(&number, bytes, 8);
        else if (options.date == DateForm::Julian)
            number = SerialDay(date);
        else
            for (std::uint32_t i = 0; i < count; ++i)
                number = number * 10 + (bytes[i] & 0x0F);
        target.Date(date, number);
        return true;
    }
    case FieldType::PascalText: {
        bool clipped = false;
        std::uint32_t length = PascalTextLength(bytes, count, clipped);
        if (trim)
            while (length > 0 && (bytes[length] == blank || bytes[length] == 0))
                --length;
        target.Text(bytes + 1, length);
        return !clipped;
    }
    default:
        break;
    }
    if (status != FieldStatus::Ok) {
        target.Empty(status == FieldStatus::Invalid);
        return status != FieldStatus::Invalid;
    }
    target.Number(value);
    return true;
}

// Hands the target the cell of the `count` field bytes at `bytes`, as the
// column's type asks; false for an invalid field.
template <CellTarget Target>
[[gnu::always_inline]] inline bool PutCell(Target& target, FieldType type, const FieldOptions& options,
                                           const std::uint8_t* bytes, std::uint32_t count, bool trim,
                                           std::uint8_t blank)
{
    std::uint8_t number[8];
    switch (type) {
    case FieldType::None: // never planned: a column without a type is text
    case FieldType::Text:
        target.Text(bytes, trim ? TrimmedLength(bytes, count, blank) : count);
        return true;
    case FieldType::BinInteger:
        // Signed: a full field of four bytes is a 32-bit integer of either sign.
        target.Integer(static_cast<std::int32_t>(LoadLe32(bytes, count)));
        return true;
    case FieldType::DecimalNumber: {
        if (options.blankEmpty && std::all_of(bytes, bytes + count, [](std::uint8_t b) {
                return b == ' ' || b == '*' || b == 0;
            })) {
            target.Empty(false);
            return true;
        }
        std::uint8_t text[40]; // the first 20 bytes, zero bytes after them
        PadDecimalText(text, bytes, count);
        if (options.scale == 0) {
            PutDecimalText(target, text);
            return true;
        }
        ConvertDecimal(DecimalSource::Text, text, number);
        double value = NumberOf(number);
        // Implied decimals, for a text that has no point of its own.
        if (!std::memchr(text, '.', 20) && !std::memchr(text, ',', 20))
            value = std::abs(value) < 9007199254740992.0 && options.scale <= 22
                        ? value / PowerOfTen(options.scale)
                        : ScaledInteger(static_cast<std::uint64_t>(static_cast<std::int64_t>(value)), false,
                                        options.scale);
        target.Number(value);
        return true;
    }
    case FieldType::BinReal:
        if (options.ibm || options.bigEndian) {
            if (options.ibm) {
                target.Number(DecodeIbmFloat(bytes, count));
                return true;
            }
            std::uint8_t swapped[8];
            const std::uint32_t n = std::min<std::uint32_t>(count, 8);
            for (std::uint32_t i = 0; i < n; ++i)
                swapped[i] = bytes[n - 1 - i];
            PutReal(target, swapped, n);
            return true;
        }
        PutReal(target, bytes, count);
        return true;
    case FieldType::Bcd: {
        std::uint8_t packed[10];
        if (count < 10) {
            PadField(packed, bytes, count);
            bytes = packed;
        }
        PutDecimal(target, DecimalSource::Packed, bytes);
        return true;
    }
    default:
        return PutRecordCell(target, type, options, bytes, count, trim, blank);
    }
}

// The bytes of a field of several runs, put together in reads.field; their
// count.
inline std::uint32_t GatherRuns(const ColumnRead& column, const std::uint8_t* record, RecordReads& reads)
{
    std::uint32_t count = 0;
    for (std::uint32_t i = 0; i < column.runCount; ++i) {
        const RunPlace& run = reads.runs[column.firstRun + i];
        CopyShortBytes(reads.field.data() + count, record + run.offset, run.length);
        count += run.length;
    }
    return count;
}

// The cells of record `k`, whose bytes the reader has loaded.
template <CellTarget Target>
inline void PutRow(Target& target, std::uint64_t k, const RecordReader& reader, RecordReads& reads)
{
    target.Row(k);
    // Every field lies inside its record, and every record converted inside
    // the source.
    const std::uint8_t* const record = reader.Record(k);
    // Held apart: the target's writes could be the vector's, as far as the
    // compiler knows, and it would load its size again for every field.
    const ColumnRead* const columns = reads.columns.data();
    const std::size_t columnCount = reads.columns.size();
    for (std::size_t c = 0; c < columnCount; ++c) {
        const ColumnRead& column = columns[c];
        const std::uint8_t* const bytes = record + column.first.offset;
        switch (column.route) {
        case Route::Text:
            target.Text(bytes, reads.trimTexts ? TrimmedLength(bytes, column.first.length, column.blank)
                                               : column.first.length);
            continue;
        case Route::Integer2:
            target.Integer(LoadLe32(bytes, 2));
            continue;
        case Route::Integer4:
            target.Integer(static_cast<std::int32_t>(LoadLe32(bytes)));
            continue;
        case Route::Real8:
            PutReal(target, bytes, 8);
            continue;
        case Route::Real4:
            PutReal(target, bytes, 4);
            continue;
        case Route::DecimalText: {
            std::uint8_t text[40]; // the first 20 bytes, zero bytes after them
            PadDecimalText(text, bytes, column.first.length);
            PutDecimalText(target, text);
            continue;
        }
        case Route::Bcd10:
            PutDecimal(target, DecimalSource::Packed, bytes);
            continue;
        case Route::TextRuns: {
            const std::uint32_t count = GatherRuns(column, record, reads);
            const std::uint8_t* const field = reads.field.data();
            target.Text(field, reads.trimTexts ? TrimmedLength(field, count, column.blank) : count);
            continue;
        }
        case Route::Any:
            break;
        }
        const bool valid =
            column.runCount == 1
                ? PutCell(target, column.type, column.options, bytes, column.first.length, reads.trimTexts,
                          column.blank)
                : PutCell(target, column.type, column.options, reads.field.data(), GatherRuns(column, record, reads),
                          reads.trimTexts, column.blank);
        if (!valid && reads.faults[c].count++ == 0)
            reads.faults[c].firstRecord = k;
    }
    target.EndRow();
}

} // namespace record_loop

// The columns' names: the layout's, else the letters, which give way
// (with a '_' after them) to a name the layout gave another column.
std::vector<std::string> ColumnNames(const ColumnPlan& plan);

// What a target is told before the first row: a column per planned
// column, named as ColumnNames says.
TargetStart StartOf(const RecordLayout& layout, const ColumnPlan& plan);

// A second target of the same kind, over bytes in memory, for a second
// thread: it writes the later part of every batch of records, and the
// first thread hands those bytes to its own target after its own part.
// Targets whose rows are bytes that follow each other can do this.
template <class Target>
concept SplitsRows = CellTarget<Target> && requires(Target target, const std::vector<std::uint8_t>& bytes) {
    target.Put(bytes);   // bytes another target of the kind has written into its sink
    target.Take(target); // and those it has collected
};

template <class Target>
struct SecondRows {
    Target& target;
    std::vector<std::uint8_t>& bytes; // where target's sink puts its bytes
};

namespace record_loop {

// Batches of fewer records are not worth a hand-over between threads.
inline constexpr std::uint32_t kSplitFrom = 2048;

// The column faults of two threads' records as one list.
inline void AddFaults(std::vector<ColumnFault>& faults, const std::vector<ColumnFault>& more)
{
    for (std::size_t c = 0; c < faults.size(); ++c) {
        if (more[c].count == 0)
            continue;
        if (faults[c].count == 0 || more[c].firstRecord < faults[c].firstRecord)
            faults[c].firstRecord = more[c].firstRecord;
        faults[c].count += more[c].count;
    }
}

} // namespace record_loop

// Converts layout.recordCount records of `source`, cut up by `plan`, into
// `target`. Record k starts at source offset layout.recordBegin + k *
// layout.recordLength (rows are source offsets, so a row r of the
// prototype lies at r + k * recordLength); bytes past the end of the source
// are absent and shorten their field. With `readAhead` the next records are
// read on a thread of their own while the loop works; with `second` the
// records of each batch are shared with a second thread.
template <CellTarget Target>
ConversionOutcome RunRecords(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                             Target& target, const std::atomic<bool>& stop, const ProgressFn& progress,
                             std::uint64_t window = RecordReader::kDefaultWindow, bool readAhead = false,
                             SecondRows<Target>* second = nullptr)
{
    ConversionOutcome outcome;
    RecordReader reader(source, layout, plan, window, readAhead);
    record_loop::RecordReads reads = record_loop::PlanReads(plan, reader);

    // The second thread: records [secondFirst, secondEnd) of the batch
    // loaded, with reads of its own.
    record_loop::RecordReads secondReads;
    std::uint64_t secondFirst = 0;
    std::uint64_t secondEnd = 0;
    std::exception_ptr secondError;
    // This thread's part of a batch, in 32nds: half at first, then as the
    // two threads keep pace with each other on this machine.
    std::uint32_t ownShare = 16;
    // Only its thread is used; declared after what its work uses, so that
    // it ends first.
    std::optional<BackgroundBuffer> helper;
    if constexpr (SplitsRows<Target>) {
        if (second != nullptr && reader.PerBatch() >= record_loop::kSplitFrom) {
            secondReads = record_loop::PlanReads(plan, reader);
            helper.emplace(0, [&](std::vector<std::uint8_t>&) {
                try {
                    for (std::uint64_t k = secondFirst; k < secondEnd && !stop.load(std::memory_order_relaxed); ++k)
                        record_loop::PutRow(second->target, k, reader, secondReads);
                } catch (...) {
                    secondError = std::current_exception();
                }
            });
        }
    }

    auto end = [&](ConversionStatus status) {
        if (helper) {
            helper->Idle();
            record_loop::AddFaults(reads.faults, secondReads.faults);
            outcome.notes = second->target.Notes();
        }
        if (status == ConversionStatus::Finished) {
            if (!target.End())
                status = ConversionStatus::WriteFailed;
            else if (stop.load(std::memory_order_acquire))
                status = ConversionStatus::Stopped; // the target has dropped what came after the stop
        }
        if (status != ConversionStatus::Finished)
            target.Abort();
        outcome.status = status;
        const TargetNotes notes = target.Notes();
        outcome.notes.undefinedBytes += notes.undefinedBytes;
        outcome.notes.textsCut += notes.textsCut;
        for (const ColumnFault& fault : reads.faults)
            if (fault.count != 0)
                outcome.faults.push_back(fault);
        return outcome;
    };

    if (!target.Begin(StartOf(layout, plan)))
        return end(ConversionStatus::WriteFailed);
    if (helper && !second->target.Begin(StartOf(layout, plan)))
        return end(ConversionStatus::WriteFailed);
    for (std::uint64_t first = 0; first < layout.recordCount; first += reader.PerBatch()) {
        const auto batch = static_cast<std::uint32_t>(std::min<std::uint64_t>(reader.PerBatch(), layout.recordCount - first));
        if (!reader.Load(first, batch))
            return end(ConversionStatus::ReadFailed);
        // The later part of a large batch goes to the second thread.
        std::uint64_t split = first + batch;
        if (helper && batch >= record_loop::kSplitFrom) {
            split = first + batch * ownShare / 32;
            secondFirst = split;
            secondEnd = first + batch;
            helper->Start();
        }
        for (std::uint64_t k = first; k < split; ++k) {
            if (stop.load(std::memory_order_relaxed))
                return end(ConversionStatus::Stopped);
            record_loop::PutRow(target, k, reader, reads);
            outcome.recordsDone = k + 1;
            if (progress && (outcome.recordsDone % kProgressInterval == 0))
                progress(outcome.recordsDone);
        }
        if (split != first + batch) {
            // The thread that finished first takes a little more of the
            // next batch.
            if (helper->Busy())
                ownShare = std::min(ownShare + 1, 24u);
            else
                ownShare = std::max(ownShare - 1, 8u);
            helper->Idle();
            if (secondError)
                std::rethrow_exception(secondError);
            if (stop.load(std::memory_order_relaxed))
                return end(ConversionStatus::Stopped);
            if constexpr (SplitsRows<Target>) {
                target.Put(second->bytes);
                target.Take(second->target);
            }
            second->bytes.clear();
            outcome.recordsDone = first + batch;
            if (progress)
                progress(outcome.recordsDone);
        }
        if (target.Failed())
            return end(ConversionStatus::WriteFailed);
    }
    const ConversionOutcome done = end(ConversionStatus::Finished);
    if (done.status == ConversionStatus::Finished && progress)
        progress(done.recordsDone);
    return done;
}

} // namespace zorbik
