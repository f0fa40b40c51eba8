// A conversion's record loop fed into the target of the chosen format: the
// one place that knows which class writes which format.
#pragma once

#include <atomic>
#include <string>

#include "convert/ColumnWalk.h"
#include "convert/RecordLoop.h"
#include "record/RecordLayout.h"
#include "sheet/OutputBuffer.h"
#include "file/SourceBytes.h"
#include "messages/Messages.h"
#include "target/TargetFormat.h"

namespace zorbik {

// Where a conversion writes: the bytes of .xls and CSV go to `sink`; a
// library writes .xlsx and SQLite into the file at `path` itself.
struct TargetPlace {
    TargetOptions options;
    ByteSink* sink = nullptr;
    std::string path;
};

// Converts layout.recordCount records of `source`, cut up by `plan`, into
// the target `place` describes; see RunRecords.
ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                const TargetPlace& place, const std::atomic<bool>& stop, const ProgressFn& progress);

// What the user reads of a column's invalid fields: "column C (Packed): 3
// fields with invalid digits, first in record 118".
std::string DescribeFault(const ColumnFault& fault, UiLanguage language);

// The same, a worksheet written to `sink`.
ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                ByteSink& sink, const std::atomic<bool>& stop, const ProgressFn& progress);

} // namespace zorbik
