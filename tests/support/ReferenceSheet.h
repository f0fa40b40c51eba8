// The worksheet a conversion must write, made the plain way: every field
// gathered byte by byte from the source, every record framed by hand,
// binary integers and singles widened by the processor, and every decimal
// text packed, without its blanks and plus signs, before it is read (the
// conversion reads plain ones directly); the code page in the CODEPAGE
// record, texts trimmed when asked.
// The record loop, its batched reads and its writer are compared with it
// byte for byte.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "convert/ColumnWalk.h"
#include "codecs/DecimalText.h"
#include "codecs/PackedDecimal.h"
#include "sheet/SheetBytes.h"

namespace zorbik::testing {

inline std::vector<std::uint8_t> ReferenceSheet(const std::vector<std::uint8_t>& source, const RecordLayout& layout,
                                                const ColumnPlan& plan)
{
    std::vector<std::uint8_t> out(kSheetHeader.begin(), kSheetHeader.end());
    const std::uint16_t page = plan.settings.codePage == 1252 ? 0x8001 : plan.settings.codePage;
    out[12] = static_cast<std::uint8_t>(page);
    out[13] = static_cast<std::uint8_t>(page >> 8);
    auto le = [&out](std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> 8 * i));
    };
    // A record's type and length, and for a cell its row, column and attributes 40 00 00.
    auto record = [&](int type, std::size_t length) { le(type | length << 16, 4); };
    auto cell = [&](int type, std::size_t length, std::uint32_t k, std::uint32_t c) {
        le(type | length << 16 | std::uint64_t{k & 0xFFFF} << 32 | std::uint64_t{c} << 48, 8);
        le(0x40, 3);
    };
    record(0x0000, 8); // DIMENSIONS: rows 0 to n, columns 0 to m
    le(std::uint64_t{layout.recordCount} << 16 | std::uint64_t{layout.columnCount} << 48, 8);
    for (std::uint32_t k = 0; k < layout.recordCount; ++k) {
        record(0x0008, 13); // ROW: columns 0 to m, default height, nothing else
        le((k & 0xFFFF) | std::uint64_t{layout.columnCount} << 32 | std::uint64_t{0x80FF} << 48, 8);
        le(0, 5);
        for (std::uint32_t c = 0; c < plan.columns.size(); ++c) {
            const PlannedColumn& column = plan.columns[c];
            std::vector<std::uint8_t> field;
            for (std::uint32_t r = column.firstRun; r < column.firstRun + column.runCount; ++r)
                for (std::uint64_t at = plan.runs[r].firstRow + std::uint64_t{k} * layout.recordLength,
                                   end = at + plan.runs[r].length;
                     at < end && at < source.size(); ++at)
                    field.push_back(source[at]);
            std::uint8_t padded[20] = {};
            std::copy_n(field.begin(), std::min<std::size_t>(field.size(), 20), padded);
            const std::uint32_t integer = padded[0] | padded[1] << 8 | padded[2] << 16 | std::uint32_t{padded[3]} << 24;
            std::uint8_t number[8];
            if (column.type == FieldType::Text || column.type == FieldType::None) {
                while (plan.settings.trimTexts && !field.empty() && (field.back() == ' ' || field.back() == 0))
                    field.pop_back();
                cell(0x0004, 8 + field.size(), k, c);
                le(field.size(), 1);
                out.insert(out.end(), field.begin(), field.end());
                continue;
            }
            if (column.type == FieldType::BinInteger && integer <= 0xFFFF) {
                cell(0x0002, 9, k, c);
                le(integer, 2);
                continue;
            }
            float single;
            std::memcpy(&single, padded, 4);
            const double value = column.type == FieldType::BinReal ? double{single} : static_cast<std::int32_t>(integer);
            std::memcpy(number, &value, 8);
            if (column.type == FieldType::BinReal && field.size() > 4)
                std::memcpy(number, padded, 8); // a double, its missing high bytes zero
            std::uint8_t packed[10];
            std::uint8_t text[20] = {};
            for (std::size_t i = 0, n = 0; i < 20 && padded[i] != 0; ++i)
                if (padded[i] != ' ' && padded[i] != '+')
                    text[n++] = padded[i];
            if (column.type == FieldType::DecimalNumber)
                PackDecimalText(text, packed);
            if (column.type == FieldType::DecimalNumber || column.type == FieldType::Bcd)
                StoreLe64(number, PackedDecimalToDouble(column.type == FieldType::Bcd ? padded : packed));
            cell(0x0003, 15, k, c);
            out.insert(out.end(), number, number + 8);
        }
    }
    out.insert(out.end(), kSheetTrailer.begin(), kSheetTrailer.end());
    return out;
}

} // namespace zorbik::testing
