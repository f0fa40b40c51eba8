// Sheets written the slow way, one cell at a time, for the record loop to be
// compared with, and a layout prepared as the programs prepare it.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "convert/ValueConversions.h"
#include "sheet/SheetWriter.h"
#include "support/Convert.h"

namespace zorbik::testing {

struct Prepared {
    RowStore store{UiLanguage::English};
    RecordLayout layout;
    ColumnPlan plan;
};

inline Prepared Prepare(std::uint32_t size, const std::vector<Mark>& marks)
{
    Prepared p;
    p.store = MakeStore(static_cast<std::int32_t>(size), marks);
    EXPECT_FALSE(ValidateLayout(p.store, size, p.layout));
    NormaliseEdges(p.store, p.layout);
    ClampCounts(p.layout);
    p.plan = BuildColumnPlan(p.store, p.layout);
    return p;
}

// The whole sheet, cell by cell: `fieldOf(k, c, field, count)` puts the
// bytes of column c of record k into `field` (256 bytes, all zero), sets
// `count` and gives the column's type.
template <typename FieldOf>
std::vector<std::uint8_t> ReferenceSheet(const RecordLayout& layout, FieldOf fieldOf)
{
    MemorySink sink;
    OutputBuffer out(sink);
    SheetWriter writer(out);
    writer.WriteSheetHeader();
    writer.WriteDimensions(layout.recordCount, layout.columnCount);
    for (std::uint32_t k = 0; k < layout.recordCount; ++k) {
        writer.WriteRowRecord(k, layout.columnCount);
        writer.CurrentRow = k;
        for (std::uint32_t c = 0; c < layout.columnCount; ++c) {
            std::uint8_t field[256] = {};
            std::uint32_t count = 0;
            const TypeCode type = fieldOf(k, c, field, count);
            writer.CurrentColumn = c;
            std::uint8_t number[8];
            const std::uint32_t v = field[0] | field[1] << 8 | field[2] << 16 | std::uint32_t{field[3]} << 24;
            switch (type) {
            case TypeCode::Text:
                writer.WriteLabelCell(field, count);
                break;
            case TypeCode::BinInteger:
                if (v <= 0xFFFF) {
                    writer.WriteIntegerCell(field);
                } else {
                    WidenInteger(v, number);
                    writer.WriteNumberCell(number);
                }
                break;
            case TypeCode::BinReal:
                if (count <= 4)
                    WidenSingle(field);
                writer.WriteNumberCell(field);
                break;
            case TypeCode::DecimalNumber:
                ConvertDecimal(kDecimalText, field, number);
                writer.WriteNumberCell(number);
                break;
            case TypeCode::Bcd:
                ConvertDecimal(kPackedDecimal, field, number);
                writer.WriteNumberCell(number);
                break;
            }
        }
    }
    writer.WriteSheetTrailer();
    out.Flush();
    return sink.bytes;
}

} // namespace zorbik::testing
