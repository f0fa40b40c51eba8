#include "convert/PrepareConversion.h"

#include "record/NormaliseEdges.h"

namespace zorbik {

PreparedConversion PrepareConversion(const Marks& marks, std::uint64_t sourceSize,
                                     const ConversionSettings& settings, TargetFormat format)
{
    PreparedConversion prepared{{}, marks, {}, {}, 0, {}};
    prepared.fault = ValidateLayout(prepared.marks, sourceSize, prepared.layout);
    if (prepared.fault)
        return prepared;
    NormaliseEdges(prepared.marks, prepared.layout);
    prepared.sourceRecords = prepared.layout.recordCount;
    const bool sheet = format == TargetFormat::Xls;
    if (sheet)
        prepared.clamp = ClampCounts(prepared.layout);
    prepared.plan = BuildColumnPlan(prepared.marks, prepared.layout, sheet ? FieldSize(FieldType::Text) : kWholeField);
    prepared.plan.settings = settings;
    // A type of fixed width refuses another: the bytes would mean something else.
    for (const PlannedColumn& column : prepared.plan.columns) {
        if (!FieldWidthFits(column.type, column.options, column.byteCount)) {
            prepared.fault = {MessageId::FieldWidthWrong,
                              column.typeRow,
                              MessageId::FieldWidthDetail,
                              {std::string(FieldTypeWord(column.type)), FieldWidths(column.type, column.options),
                               std::to_string(column.byteCount)}};
            return prepared;
        }
    }
    if (format == TargetFormat::Xlsx && prepared.plan.columns.size() > kXlsxColumns)
        prepared.fault = {MessageId::XlsxTooManyColumns, prepared.plan.columns[kXlsxColumns].beginRow};
    return prepared;
}

} // namespace zorbik
