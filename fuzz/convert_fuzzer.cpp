// libFuzzer target: random marks (or layout file text) and random source
// bytes go through the whole chain a Convert runs, into memory, and the
// result is held to the invariants of a finished, failed or stopped
// conversion. Built with AddressSanitizer and UndefinedBehaviorSanitizer, so
// that every read outside the source or the buffers is a crash here.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzInput.h"
#include "SheetInvariants.h"
#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "layout/LayoutFile.h"
#include "sheet/OutputBuffer.h"
#include "source/SourceBytes.h"
#include "support/MemoryIo.h"

namespace zorbik::fuzz {
namespace {

// Beyond this many cells an input only costs time: the record loop is the
// same for every record.
constexpr std::uint64_t kMaxCells = 1u << 17;

// A target that takes `room` bytes and then fails, like a full disk. Once it
// has failed, nothing more may be written to it.
class FailingSink : public ByteSink {
public:
    explicit FailingSink(std::uint32_t room) : room_(room) {}
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        Require(!failed_, "a write after a failed write");
        if (bytes.size() + n > room_) {
            failed_ = true;
            return false;
        }
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    std::vector<std::uint8_t> bytes;

private:
    std::uint32_t room_;
    bool failed_ = false;
};

// A source that another program cut short after its size was taken.
class ShrunkSource : public SourceBytes {
public:
    ShrunkSource(const std::vector<std::uint8_t>& bytes, std::uint32_t readable)
        : bytes_(bytes), readable_(std::min<std::size_t>(readable, bytes.size()))
    {
    }
    std::uint32_t Size() const override { return static_cast<std::uint32_t>(bytes_.size()); }
    std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const override
    {
        Require(offset + n <= bytes_.size(), "a read past the size the source had");
        if (offset >= readable_)
            return 0;
        const std::size_t count = std::min<std::size_t>(n, readable_ - offset);
        std::memcpy(buffer, bytes_.data() + offset, count);
        return static_cast<std::int64_t>(count);
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t readable_;
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
            const auto row = static_cast<std::int32_t>(mark.row % size);
            store.SetMarker(row, mark.marker);
            store.SetFieldType(row, mark.type);
        }
        return true;
    }
    std::vector<LayoutEntry> entries;
    if (const LayoutParseError error = ParseLayout(input.layoutText, size, entries)) {
        Require(error.line >= 1 && error.message.rfind("line " + std::to_string(error.line) + ": ", 0) == 0,
                "a layout error names its line");
        return false;
    }
    ApplyLayout(entries, store);
    std::vector<LayoutEntry> again;
    Require(!ParseLayout(FormatLayout(store), size, again), "a written layout reads back");
    RowStore copy;
    copy.AddRows(store.RowCount());
    ApplyLayout(again, copy);
    Require(copy.Markers() == store.Markers() && copy.FieldTypes() == store.FieldTypes(),
            "a written layout reads back to the same marks");
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
    if (sourceSize == 0)
        return 0; // an empty source is refused before any layout is read

    RowStore store;
    store.AddRows(static_cast<std::int32_t>(sourceSize));
    if (!FillStore(input, store, sourceSize))
        return 0;

    const PreparedConversion prepared = PrepareConversion(store, sourceSize);
    const RecordLayout& layout = prepared.layout;
    if (const LayoutFault fault = prepared.fault) {
        Require(fault.messageId >= MsgMissingLineBegin && fault.messageId <= MsgMissingColumnEnd,
                "a layout fault is one of the four messages");
        Require(fault.row >= kNoRow && fault.row < static_cast<std::int32_t>(sourceSize), "a fault row is a row");
        return 0;
    }
    Require(layout.recordLength >= 2 && prepared.sourceRecords >= 1, "a valid record has 2 bytes and occurs once");
    Require(layout.columnCount >= 1, "edge columns leave at least one column");
    Require(layout.columnCount <= kMaxSheetCount && layout.recordCount <= kMaxSheetCount, "the counts are clamped");
    if (static_cast<std::uint64_t>(layout.recordCount) * layout.columnCount > kMaxCells)
        return 0;

    const ColumnPlan& plan = prepared.plan;
    Require(plan.columns.size() == layout.columnCount, "one planned column per column");

    const MemorySource source(input.source);
    MemorySink sink;
    std::atomic<bool> noStop{false};
    const ConversionOutcome outcome = RunConversion(source, layout, plan, sink, noStop, {});
    Require(outcome.status == ConversionStatus::Finished, "a conversion into memory finishes");
    Require(outcome.recordsDone == layout.recordCount, "every record is converted");
    CheckSheet(sink.bytes, layout, plan);

    if (input.options & FailWrites) {
        FailingSink failing(input.failAfter);
        const ConversionOutcome failed = RunConversion(source, layout, plan, failing, noStop, {});
        const bool fits = sink.bytes.size() <= input.failAfter;
        Require(failed.status == (fits ? ConversionStatus::Finished : ConversionStatus::WriteFailed),
                "a failed write ends the conversion as failed");
        Require(IsPrefix(failing.bytes, sink.bytes), "what reached a failing target is the start of the file");
    }
    if (input.options & ShortSource) {
        const ShrunkSource shrunk(input.source, input.readableBytes);
        MemorySink partial;
        const ConversionOutcome cut = RunConversion(shrunk, layout, plan, partial, noStop, {});
        Require(cut.status == ConversionStatus::Finished || cut.status == ConversionStatus::ReadFailed,
                "a shrunk source finishes or fails to read");
        if (cut.status == ConversionStatus::Finished)
            Require(partial.bytes == sink.bytes, "a finished conversion of a shrunk source read the same bytes");
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
