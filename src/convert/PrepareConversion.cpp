#include "convert/PrepareConversion.h"

#include "record/NormaliseEdges.h"

namespace zorbik {

PreparedConversion PrepareConversion(const Marks& marks, std::uint32_t sourceSize,
                                     const ConversionSettings& settings)
{
    PreparedConversion prepared{{}, marks, {}, {}, 0, {}};
    prepared.fault = ValidateLayout(prepared.marks, sourceSize, prepared.layout);
    if (prepared.fault)
        return prepared;
    NormaliseEdges(prepared.marks, prepared.layout);
    prepared.sourceRecords = prepared.layout.recordCount;
    prepared.clamp = ClampCounts(prepared.layout);
    prepared.plan = BuildColumnPlan(prepared.marks, prepared.layout);
    prepared.plan.settings = settings;
    return prepared;
}

} // namespace zorbik
