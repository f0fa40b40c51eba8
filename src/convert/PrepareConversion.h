// The one way from the user's marks to a conversion that can start: check
// the marks, turn the record's edges into columns, limit the counts to what
// a worksheet holds, and work out the column plan. The window, the command
// line and the fuzzer all start here.
#pragma once

#include <cstdint>

#include "convert/ColumnWalk.h"
#include "record/RecordLayout.h"
#include "record/ValidateLayout.h"
#include "marks/Marks.h"

namespace zorbik {

struct PreparedConversion {
    // The first fault of the marks; everything below is unset when there is one.
    LayoutFault fault;
    // The marks as the conversion reads them: the edges made columns.
    Marks marks;
    // Counts limited to 65534; `clamp` says which were.
    RecordLayout layout;
    ClampResult clamp;
    // Whole records in the source, before the limit.
    std::uint32_t sourceRecords = 0;
    ColumnPlan plan;
};

// Works on a copy of `marks`: the caller's marks stay as they are.
PreparedConversion PrepareConversion(const Marks& marks, std::uint32_t sourceSize,
                                     const ConversionSettings& settings = {});

} // namespace zorbik
