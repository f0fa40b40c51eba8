// The record loop of a conversion: header, dimensions, one worksheet row per
// source record with one cell per column, trailer. Runs on whatever thread
// calls it; a stop flag ends it between records, and once the flag is seen
// nothing more is written.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "convert/ColumnWalk.h"
#include "record/RecordLayout.h"
#include "sheet/OutputBuffer.h"
#include "file/SourceBytes.h"

namespace zorbik {

enum class ConversionStatus { Finished, Stopped, WriteFailed, ReadFailed };

struct ConversionOutcome {
    ConversionStatus status = ConversionStatus::Finished;
    std::uint32_t recordsDone = 0;
};

// Told the number of records done, now and then (every few hundred records
// and after the last one), on the converting thread.
using ProgressFn = std::function<void(std::uint32_t recordsDone)>;

// Records between two progress reports.
inline constexpr std::uint32_t kProgressInterval = 256;

// Converts layout.recordCount records of `source`, cut up by `plan`, into a
// worksheet written to `sink`. Record k starts at source offset
// layout.recordBegin + k * layout.recordLength (rows are source offsets, so a
// row r of the prototype lies at r + k * recordLength); bytes past the end
// of the source are absent and shorten their field.
ConversionOutcome RunConversion(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                ByteSink& sink, const std::atomic<bool>& stop, const ProgressFn& progress);

} // namespace zorbik
