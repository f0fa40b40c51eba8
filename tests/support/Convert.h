// Runs the whole chain on memory: validation, edge columns, column plan and
// the record loop, for tests.
#pragma once

#include <atomic>

#include "convert/ColumnWalk.h"
#include "convert/ConversionEngine.h"
#include "layout/NormaliseEdges.h"
#include "layout/ValidateLayout.h"
#include "support/SheetReader.h"
#include "support/TestStore.h"

namespace zorbik::testing {

struct MemoryConversion {
    LayoutFault fault;
    RecordLayout layout;
    ConversionOutcome outcome;
    std::vector<std::uint8_t> bytes;
    Sheet sheet;
};

inline MemoryConversion ConvertInMemory(const std::vector<std::uint8_t>& source, const std::vector<Mark>& marks,
                                        UiLanguage language = UiLanguage::English)
{
    MemoryConversion result;
    RowStore store = MakeStore(static_cast<std::int32_t>(source.size()), marks, language);
    result.fault = ValidateLayout(store, static_cast<std::uint32_t>(source.size()), result.layout);
    if (result.fault)
        return result;
    NormaliseEdges(store, result.layout);
    ClampCounts(result.layout);
    const ColumnPlan plan = BuildColumnPlan(store, result.layout);
    MemorySource memory(source);
    MemorySink sink;
    std::atomic<bool> stop{false};
    result.outcome = RunConversion(memory, result.layout, plan, sink, stop, {});
    result.bytes = std::move(sink.bytes);
    result.sheet = ReadSheet(result.bytes);
    return result;
}

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

// The cells of worksheet row `row`, in file order.
inline std::vector<Cell> RowCells(const Sheet& sheet, std::uint16_t row)
{
    std::vector<Cell> out;
    for (const Cell& c : sheet.cells)
        if (c.row == row)
            out.push_back(c);
    return out;
}

} // namespace zorbik::testing
