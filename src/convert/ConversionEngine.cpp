#include "convert/ConversionEngine.h"

#include <set>
#include <thread>

#include "layout/LayoutFile.h"

#include "target/Biff2Target.h"
#include "target/CsvTarget.h"
#ifndef ZORBIK_NO_LIBRARY_FORMATS
#include "target/SqliteTarget.h"
#include "target/XlsxTarget.h"
#endif

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

// Where the second thread's lines go that its target cannot hold, a batch
// at a time.
class MemoryBytes : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};
// Processors from which a second thread formats lines. Two are enough:
// even where they are two halves of one core, and the reading and the
// writing thread take their share of them, the benchmark's million records
// took a fifth less time with the second formatter (0.14 s against 0.18 s,
// the medians of 21 runs taking turns).
constexpr unsigned kSecondFormatterFrom = 2;
// What the second thread's target collects of its lines: room for all of
// most batches, which are then taken from there without a copy between.
constexpr std::size_t kSecondCapacity = 2u << 20;

bool Overlaps(const RecordLayout& layout, const ColumnPlan& plan, std::size_t maxRowBytes)
{
    const auto span = static_cast<std::int64_t>(plan.maxRow) - plan.minRow + 1;
    return layout.recordCount * layout.recordLength >= kOverlapFrom &&
           span <= static_cast<std::int64_t>(kOverlapChunk) && maxRowBytes <= kOverlapChunk;
}

// Bytes of the longest line of CSV a record can give: every byte of a text
// three bytes of UTF-8, every one of them a quote written twice, a number
// at most 24 characters.
std::size_t MaxLineBytes(const std::vector<TargetColumn>& columns)
{
    std::size_t bytes = 2;
    for (const TargetColumn& column : columns)
        bytes += column.kind == CellKind::Text ? std::size_t{column.bytes} * 6 + 3 : 25;
    return bytes;
}

template <CellTarget Target>
ConversionOutcome Run(Target& target, const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                      const std::atomic<bool>& stop, const ProgressFn& progress, bool overlap)
{
    return RunRecords(source, layout, plan, target, stop, progress,
                      overlap ? kOverlapChunk : RecordReader::kDefaultWindow, overlap);
}

} // namespace

std::string DescribeFault(const ColumnFault& fault, UiLanguage language)
{
    const MessageId reason = fault.type == FieldType::Date         ? MessageId::ReasonInvalidDate
                             : fault.type == FieldType::PascalText ? MessageId::ReasonTextLength
                                                                   : MessageId::ReasonInvalidDigits;
    return Say(fault.count == 1 ? MessageId::NoteInvalidField : MessageId::NoteInvalidFields, language,
               {ColumnLetters(fault.column), FieldTypeWord(fault.type), std::to_string(fault.count), Text(reason, language),
                std::to_string(fault.firstRecord + 1)});
}

std::vector<std::string> ColumnNames(const ColumnPlan& plan)
{
    std::set<std::string> given;
    for (const PlannedColumn& column : plan.columns)
        if (!column.name.empty())
            given.insert(NameKey(column.name));
    std::vector<std::string> names;
    names.reserve(plan.columns.size());
    for (std::size_t i = 0; i < plan.columns.size(); ++i) {
        std::string name = plan.columns[i].name;
        if (name.empty()) {
            // Letters another column took as its name get a '_' until free.
            name = ColumnLetters(static_cast<std::uint32_t>(i));
            while (given.count(NameKey(name)) != 0)
                name += '_';
        }
        names.push_back(std::move(name));
    }
    return names;
}

TargetStart StartOf(const RecordLayout& layout, const ColumnPlan& plan)
{
    TargetStart start;
    start.recordCount = layout.recordCount;
    start.codePage = plan.settings.codePage;
    start.columns.reserve(plan.columns.size());
    std::vector<std::string> names = ColumnNames(plan);
    for (std::size_t i = 0; i < plan.columns.size(); ++i) {
        const PlannedColumn& column = plan.columns[i];
        start.columns.push_back({std::move(names[i]), KindOf(column.type, column.options), column.byteCount,
                                 column.type == FieldType::Text ? column.options.codePage : std::uint16_t{0}});
    }
    return start;
}

ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                const TargetPlace& place, const std::atomic<bool>& stop, const ProgressFn& progress)
{
    const TargetStart start = StartOf(layout, plan);
    switch (place.options.format) {
    case TargetFormat::Xls: {
        const std::size_t maxRow = Biff2Target::MaxRowBytes(start.columns);
        const bool overlap = Overlaps(layout, plan, maxRow);
        Biff2Target target(*place.sink, stop, overlap ? kOverlapChunk : OutputBuffer::kDefaultCapacity, overlap,
                           place.options.sheetNames);
        return Run(target, source, layout, plan, stop, progress, overlap);
    }
    case TargetFormat::Csv: {
        const std::size_t maxLine = MaxLineBytes(start.columns);
        const bool overlap = Overlaps(layout, plan, maxLine);
        CsvTarget target(*place.sink, stop, place.options, overlap ? kOverlapChunk : OutputBuffer::kDefaultCapacity,
                         overlap);
        if (!overlap || std::thread::hardware_concurrency() < kSecondFormatterFrom)
            return Run(target, source, layout, plan, stop, progress, overlap);
        // Large conversions format their lines on two processors.
        TargetOptions lines = place.options;
        lines.bom = false;
        lines.names = false;
        MemoryBytes bytes;
        CsvTarget half(bytes, stop, lines, kSecondCapacity, false);
        SecondRows<CsvTarget> second{half, bytes.bytes};
        return RunRecords(source, layout, plan, target, stop, progress, kOverlapChunk, true, &second);
    }
#ifndef ZORBIK_NO_LIBRARY_FORMATS
    case TargetFormat::Xlsx: {
        XlsxTarget target(place.path, place.options);
        return Run(target, source, layout, plan, stop, progress, Overlaps(layout, plan, 0));
    }
    case TargetFormat::Sqlite: {
        SqliteTarget target(place.path, place.options);
        return Run(target, source, layout, plan, stop, progress, Overlaps(layout, plan, 0));
    }
#else
    case TargetFormat::Xlsx:
    case TargetFormat::Sqlite:
        break;
#endif
    }
    ConversionOutcome refused;
    refused.status = ConversionStatus::WriteFailed;
    return refused;
}

ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                ByteSink& sink, const std::atomic<bool>& stop, const ProgressFn& progress)
{
    TargetPlace place;
    place.sink = &sink;
    return RunConversion(source, layout, plan, place, stop, progress);
}

} // namespace zorbik
