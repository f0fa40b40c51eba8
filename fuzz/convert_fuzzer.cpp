// libFuzzer target: random marks (or layout file text) and random source
// bytes go through the whole chain a Convert runs, into memory. A finished
// conversion must have written exactly the reference sheet; a failed,
// stopped or short-read one the start of it at most. Under the sanitizers
// every read outside the source or the buffers is a crash here.
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "layout/LayoutFile.h"
#include "support/MemoryIo.h"
#include "support/ReferenceSheet.h"

namespace zorbik::fuzz {
namespace {

// Beyond this many cells an input only costs time.
constexpr std::uint64_t kMaxCells = 1u << 17;

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Takes `room` bytes, then fails like a full disk; nothing may follow a failure.
class FailingSink : public MemorySink {
public:
    explicit FailingSink(std::uint32_t room) : room_(room) {}
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        Require(!failed_, "a write after a failed write");
        failed_ = bytes.size() + n > room_;
        return !failed_ && MemorySink::Write(data, n);
    }

private:
    std::uint32_t room_;
    bool failed_ = false;
};

// A source that another program cut short after its size was taken.
class ShrunkSource : public MemorySource {
public:
    ShrunkSource(const std::vector<std::uint8_t>& bytes, std::uint32_t readable) : MemorySource(bytes), readable_(readable) {}
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        Require(offset + n <= Bytes().size(), "a read past the size the source had");
        return offset >= readable_ ? 0 : MemorySource::ReadAt(offset, buffer, std::min<std::size_t>(n, readable_ - offset));
    }

private:
    std::uint64_t readable_;
};

bool IsPrefix(const std::vector<std::uint8_t>& part, const std::vector<std::uint8_t>& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// The marks go into the store; a layout file text must also come back
// unchanged through the writer and the reader.
bool FillStore(const FuzzInput& input, RowStore& store, std::uint32_t size)
{
    if (!(input.options & TextLayout)) {
        for (const FuzzMark& mark : input.marks) {
            store.SetMarker(mark.row % size, mark.marker);
            store.SetFieldType(mark.row % size, mark.type);
        }
        return true;
    }
    std::vector<LayoutEntry> entries;
    if (const LayoutParseError error = ParseLayout(input.layoutText, size, entries)) {
        Require(error.message.rfind("line " + std::to_string(error.line) + ": ", 0) == 0, "an error names its line");
        return false;
    }
    ApplyLayout(entries, store);
    std::vector<LayoutEntry> again;
    Require(!ParseLayout(FormatLayout(store), size, again), "a written layout reads back");
    RowStore copy;
    copy.AddRows(store.RowCount());
    ApplyLayout(again, copy);
    Require(copy.Markers() == store.Markers() && copy.FieldTypes() == store.FieldTypes(), "to the same marks");
    return true;
}

} // namespace
} // namespace zorbik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorbik;
    using namespace zorbik::fuzz;

    const FuzzInput input = DecodeFuzzInput(data, size);
    const auto sourceSize = static_cast<std::uint32_t>(input.source.size());
    RowStore store;
    store.AddRows(static_cast<std::int32_t>(sourceSize));
    if (sourceSize == 0 || !FillStore(input, store, sourceSize))
        return 0; // an empty source is refused before any layout is read

    const PreparedConversion prepared = PrepareConversion(store, sourceSize);
    const RecordLayout& layout = prepared.layout;
    const ColumnPlan& plan = prepared.plan;
    if (const LayoutFault fault = prepared.fault) {
        Require(fault.messageId >= MsgMissingLineBegin && fault.messageId <= MsgMissingColumnEnd, "one of four faults");
        Require(fault.row >= kNoRow && fault.row < static_cast<std::int32_t>(sourceSize), "a fault row is a row");
        return 0;
    }
    Require(layout.recordLength >= 2 && prepared.sourceRecords >= 1, "a record has 2 bytes and occurs once");
    Require(layout.columnCount >= 1 && plan.columns.size() == layout.columnCount, "a planned column per column");
    Require(layout.columnCount <= kMaxSheetCount && layout.recordCount <= kMaxSheetCount, "the counts are clamped");
    for (const PlannedColumn& column : plan.columns)
        Require(column.byteCount <= FieldSize(column.type) && column.beginRow <= column.typeRow &&
                    column.typeRow <= column.endRow,
                "a field lies in its column and fits its type");
    if (std::uint64_t{layout.recordCount} * layout.columnCount > kMaxCells)
        return 0;

    const MemorySource source(input.source);
    MemorySink sink;
    std::atomic<bool> noStop{false};
    const ConversionOutcome outcome = RunConversion(source, layout, plan, sink, noStop, {});
    Require(outcome.status == ConversionStatus::Finished && outcome.recordsDone == layout.recordCount,
            "a conversion into memory converts every record");
    Require(sink.bytes == testing::ReferenceSheet(input.source, layout, plan), "the reference sheet");

    if (input.options & FailWrites) {
        FailingSink failing(input.failAfter);
        const ConversionOutcome failed = RunConversion(source, layout, plan, failing, noStop, {});
        const bool fits = sink.bytes.size() <= input.failAfter;
        Require(failed.status == (fits ? ConversionStatus::Finished : ConversionStatus::WriteFailed),
                "a failed write ends the conversion as failed");
        Require(IsPrefix(failing.bytes, sink.bytes), "a failing target gets the start of the file");
    }
    if (input.options & ShortSource) {
        const ShrunkSource shrunk(input.source, input.readableBytes);
        MemorySink partial;
        const ConversionOutcome cut = RunConversion(shrunk, layout, plan, partial, noStop, {});
        Require(cut.status == ConversionStatus::ReadFailed ||
                    (cut.status == ConversionStatus::Finished && partial.bytes == sink.bytes),
                "a shrunk source fails to read, or gave every byte needed");
    }
    if (input.options & StopEarly) {
        std::atomic<bool> stop{false};
        MemorySink stopped;
        const ConversionOutcome early =
            RunConversion(source, layout, plan, stopped, stop, [&stop](std::uint32_t) { stop = true; });
        const bool reported = layout.recordCount >= kProgressInterval;
        Require(early.status == (reported ? ConversionStatus::Stopped : ConversionStatus::Finished),
                "a stop asked for at a progress report stops the conversion");
        Require(IsPrefix(stopped.bytes, sink.bytes), "a stopped conversion wrote the start of the file only");
    }
    return 0;
}
