// The worksheet a conversion must write, made the plain way: every field
// gathered byte by byte from the source, every record framed by hand, and
// binary integers and singles widened by the processor. The record loop, its
// batched reads and its writer are compared with it byte for byte.
#pragma once

#include <cstring>
#include <vector>

#include "convert/ColumnWalk.h"
#include "convert/ValueConversions.h"
#include "sheet/SheetBytes.h"

namespace zorbik::testing {

class ModelFile {
public:
    std::vector<std::uint8_t> bytes;
    void Le(std::uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> 8 * i));
    }
    void Record(int type, std::uint32_t length)
    {
        Le(type, 2);
        Le(length, 2);
    }
    // A cell record up to its value: row, column, attributes 40 00 00.
    void Cell(int type, std::uint32_t length, std::uint32_t row, std::uint32_t column)
    {
        Record(type, length);
        Le(row, 2);
        Le(column, 2);
        Le(0x40, 3);
    }
};

inline std::vector<std::uint8_t> ReferenceSheet(const std::vector<std::uint8_t>& source, const RecordLayout& layout,
                                                const ColumnPlan& plan)
{
    ModelFile f;
    f.bytes.assign(kSheetHeader.begin(), kSheetHeader.end());
    f.Record(0x0000, 8); // DIMENSIONS: rows 0 to n, columns 0 to m
    f.Le(std::uint64_t{layout.recordCount} << 16 | std::uint64_t{layout.columnCount} << 48, 8);
    for (std::uint32_t k = 0; k < layout.recordCount; ++k) {
        f.Record(0x0008, 13); // ROW: row, columns 0 to m, default height, nothing else
        f.Le((k & 0xFFFF) | std::uint64_t{layout.columnCount} << 32 | std::uint64_t{0x80FF} << 48, 8);
        f.Le(0, 5);
        for (std::uint32_t c = 0; c < plan.columns.size(); ++c) {
            const PlannedColumn& column = plan.columns[c];
            std::vector<std::uint8_t> field;
            for (std::uint32_t r = column.firstRun; r < column.firstRun + column.runCount; ++r)
                for (std::uint32_t i = 0; i < plan.runs[r].length; ++i) {
                    const std::uint64_t at = static_cast<std::uint64_t>(plan.runs[r].firstRow) + i +
                                            std::uint64_t{k} * layout.recordLength;
                    if (at < source.size())
                        field.push_back(source[at]);
                }
            std::uint8_t padded[20] = {};
            std::memcpy(padded, field.data(), std::min<std::size_t>(field.size(), 20));
            std::uint8_t number[8];
            const std::uint32_t integer = padded[0] | padded[1] << 8 | padded[2] << 16 | std::uint32_t{padded[3]} << 24;
            double value = 0;
            float single = 0;
            switch (column.type) {
            case FieldType::None:
            case FieldType::Text:
                f.Cell(0x0004, 8 + static_cast<std::uint32_t>(field.size()), k, c);
                f.Le(field.size(), 1);
                f.bytes.insert(f.bytes.end(), field.begin(), field.end());
                continue;
            case FieldType::BinInteger:
                if (integer <= 0xFFFF) {
                    f.Cell(0x0002, 9, k, c);
                    f.Le(integer, 2);
                    continue;
                }
                value = static_cast<std::int32_t>(integer);
                std::memcpy(number, &value, 8);
                break;
            case FieldType::BinReal:
                std::memcpy(&single, padded, 4);
                value = single;
                std::memcpy(number, field.size() <= 4 ? static_cast<void*>(&value) : padded, 8);
                break;
            case FieldType::DecimalNumber:
                ConvertDecimal(kDecimalText, padded, number);
                break;
            case FieldType::Bcd:
                ConvertDecimal(kPackedDecimal, padded, number);
                break;
            }
            f.Cell(0x0003, 15, k, c);
            f.bytes.insert(f.bytes.end(), number, number + 8);
        }
    }
    f.bytes.insert(f.bytes.end(), kSheetTrailer.begin(), kSheetTrailer.end());
    return f.bytes;
}

} // namespace zorbik::testing
