#include "convert/PrepareConversion.h"

#include <utility>

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
    // A worksheet's text holds 255 bytes of 1252; a UTF-8 source needs up to
    // four bytes for each of them.
    const std::uint32_t sheetText = FieldSize(FieldType::Text) * (settings.codePage == kUtf8CodePage ? 4 : 1);
    prepared.plan = BuildColumnPlan(prepared.marks, prepared.layout, sheet ? sheetText : kWholeField);
    prepared.plan.settings = settings;
    // A fault found in the columns leaves nothing to convert either.
    const auto refused = [&marks](LayoutFault fault) { return PreparedConversion{std::move(fault), marks, {}, {}, 0, {}}; };
    // A type of fixed width refuses another: the bytes would mean something else.
    for (const PlannedColumn& column : prepared.plan.columns) {
        if (!FieldWidthFits(column.type, column.options, column.byteCount))
            return refused({MessageId::FieldWidthWrong,
                            column.typeRow,
                            MessageId::FieldWidthDetail,
                            {std::string(FieldTypeWord(column.type)), FieldWidths(column.type, column.options),
                             std::to_string(column.byteCount)}});
    }
    if (format == TargetFormat::Xlsx && prepared.plan.columns.size() > kXlsxColumns)
        return refused({MessageId::XlsxTooManyColumns, prepared.plan.columns[kXlsxColumns].beginRow});
    return prepared;
}

} // namespace zorbik
