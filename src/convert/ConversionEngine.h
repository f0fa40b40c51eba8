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

// The same, a worksheet written to `sink`.
ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                ByteSink& sink, const std::atomic<bool>& stop, const ProgressFn& progress);

} // namespace zorbik
