// libFuzzer target: random marks (or layout file text) and random source
// bytes go through the whole chain a Convert runs, into memory, and the
// worksheet must be exactly the reference sheet; the same records go into
// CSV too. Under the sanitizers every
// read outside the source or the buffers is a crash here.
//
// The input, read front to back (missing bytes read as zero):
//   byte 0        options: bit 0 set for layout file text instead of marks;
//                 bits 1 and 2 (older inputs) each skip a u16 after them
//   text layout:  u16 length, then the text of a layout file (names, widths)
//   marks:        u8 count, then per mark u16 row (modulo the source size),
//                 u8 marker, u8 field type (0 none, 1 Text, 2 BinInteger,
//                 3 BinReal, 4 DecimalNumber, 5 Bcd), both modulo 6
//   the rest      the source bytes
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "layout/LayoutFile.h"
#include "support/MemoryIo.h"
#include "support/ReferenceSheet.h"

namespace {

using namespace zorbik;

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Where the marks or the layout text end.
std::size_t MarksEnd(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return size;
    return data[0] & 1 ? std::min<std::size_t>(size, 3 + (data[1] | data[2] << 8))
                       : 2 + 4 * std::min<std::size_t>(data[1], (size - 2) / 4);
}

// Puts the marks into `store`; false for a layout text that is refused.
bool ReadMarks(const std::uint8_t* data, std::size_t end, Marks& store, std::uint32_t sourceSize)
{
    constexpr FieldType kTypes[6] = {FieldType::None,   FieldType::Text,          FieldType::BinInteger,
                                     FieldType::BinReal, FieldType::DecimalNumber, FieldType::Bcd};
    if ((data[0] & 1) == 0) {
        for (std::size_t at = 2; at + 4 <= end; at += 4) {
            const std::int32_t row = (data[at] | data[at + 1] << 8) % sourceSize;
            store.SetMarker(row, static_cast<MarkerKind>(data[at + 2] % 6));
            store.SetFieldType(row, kTypes[data[at + 3] % 6]);
        }
        return true;
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + 3, end - 3);
    const LoadedLayout loaded = LoadLayout(text, sourceSize, UiLanguage::English);
    if (loaded.error.Failed()) {
        const std::string said = loaded.error.Describe(UiLanguage::English);
        Require(loaded.error.line > 0 && said.rfind("line " + std::to_string(loaded.error.line) + ": ", 0) == 0,
                "an error names its line");
        return false;
    }
    store = loaded.layout.marks;
    // What the writer makes of the layout reads back to the same layout.
    const LoadedLayout again = LoadLayout(FormatLayout(loaded.layout), sourceSize, UiLanguage::German);
    Require(!again.error.Failed() && again.layout == loaded.layout, "a written layout reads back the same");
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t end = MarksEnd(data, size);
    const std::size_t start = size < 3 ? size : std::min<std::size_t>(size, end + (data[0] & 2) + (data[0] & 4) / 2);
    const std::vector<std::uint8_t> bytes(data + start, data + size);
    const auto sourceSize = static_cast<std::uint32_t>(bytes.size());
    Marks store;
    if (sourceSize == 0 || !ReadMarks(data, end, store, sourceSize))
        return 0; // an empty source is refused before any layout is read

    const PreparedConversion prepared = PrepareConversion(store, sourceSize);
    const RecordLayout& layout = prepared.layout;
    const ColumnPlan& plan = prepared.plan;
    if (const LayoutFault fault = prepared.fault) {
        const MessageId m = fault.message;
        Require(m == MessageId::MissingLineBegin || m == MessageId::MissingLineEnd ||
                    m == MessageId::MissingColumnBegin || m == MessageId::MissingColumnEnd ||
                    m == MessageId::ColumnMarkAfterEnd || m == MessageId::FieldWidthWrong ||
                    m == MessageId::ColumnWidthWrong,
                "one of the five faults, or a width the type or the record cannot have");
        Require(fault.row >= kNoRow && fault.row < static_cast<std::int32_t>(sourceSize), "a fault row is a row");
        Require(prepared.sourceRecords == 0 && plan.columns.empty(), "a fault leaves nothing to convert");
        return 0;
    }
    Require(layout.recordLength >= 2 && prepared.sourceRecords >= 1, "a record has 2 bytes and occurs once");
    Require(layout.columnCount >= 1 && plan.columns.size() == layout.columnCount, "a planned column per column");
    Require(layout.columnCount <= kMaxSheetCount && layout.recordCount <= kMaxSheetCount, "the counts are clamped");
    for (const PlannedColumn& column : plan.columns)
        Require(column.byteCount <= FieldSize(column.type) && column.beginRow <= column.typeRow &&
                    column.typeRow <= column.endRow,
                "a field lies in its column and fits its type");
    if (std::uint64_t{layout.recordCount} * layout.columnCount > (1u << 17))
        return 0; // more cells only cost time: every record is cut up alike

    const MemorySource source(bytes);
    MemorySink sink;
    std::atomic<bool> noStop{false};
    const ConversionOutcome outcome = RunConversion(source, layout, plan, sink, noStop, {});
    Require(outcome.status == ConversionStatus::Finished && outcome.recordsDone == layout.recordCount,
            "a conversion into memory converts every record");
    // The reference sheet knows the design's types as they were; the others
    // and the options go through the sanitizers here and are read back by
    // other programs in the tests.
    bool designTypes = true;
    for (const PlannedColumn& column : plan.columns)
        designTypes = designTypes && IsDesignType(column.type) && column.options == FieldOptions{};
    Require(!designTypes || sink.bytes == testing::ReferenceSheet(bytes, layout, plan),
            "the worksheet is the reference sheet");

    // Whole texts, decoded from a page the source's size picks and quoted,
    // through the sanitizers.
    ConversionSettings settings = plan.settings;
    settings.codePage = KnownCodePages()[sourceSize % KnownCodePages().size()];
    const PreparedConversion whole = PrepareConversion(store, sourceSize, settings, TargetFormat::Csv);
    Require(!whole.fault && whole.plan.columns.size() == plan.columns.size(), "the formats agree on the columns");
    MemorySink csv;
    TargetPlace place;
    place.options.format = TargetFormat::Csv;
    place.sink = &csv;
    const ConversionOutcome csvOutcome = RunConversion(source, whole.layout, whole.plan, place, noStop, {});
    Require(csvOutcome.status == ConversionStatus::Finished && csvOutcome.recordsDone == whole.layout.recordCount,
            "a conversion into CSV converts every record");
    return 0;
}
