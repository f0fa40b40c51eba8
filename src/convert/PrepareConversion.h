// The one way from the user's marks to a conversion that can start: check
// the marks, turn the record's edges into columns, limit the counts to what
// the target format holds, and work out the column plan. The window, the
// command line and the fuzzer all start here.
#pragma once

#include <cstdint>

#include "convert/ColumnWalk.h"
#include "record/RecordLayout.h"
#include "record/ValidateLayout.h"
#include "marks/Marks.h"
#include "target/TargetFormat.h"

namespace zorbik {

struct PreparedConversion {
    // The first fault of the marks; everything below is unset when there is one.
    LayoutFault fault;
    // The marks as the conversion reads them: the edges made columns.
    Marks marks;
    // For .xls the counts limited to 65534, `clamp` says which were; the
    // other formats take every record and column.
    RecordLayout layout;
    ClampResult clamp;
    // Whole records in the source, before the limit.
    std::uint64_t sourceRecords = 0;
    ColumnPlan plan;
};

// Works on a copy of `marks`: the caller's marks stay as they are. Only
// .xls cuts texts, at 255 bytes (of UTF-8 at 1020, room for 255
// characters); the preview prepares as for the others, so that it shows
// every cell whole.
PreparedConversion PrepareConversion(const Marks& marks, std::uint64_t sourceSize,
                                     const ConversionSettings& settings = {},
                                     TargetFormat format = TargetFormat::Xls);

} // namespace zorbik
