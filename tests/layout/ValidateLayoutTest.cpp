#include <gtest/gtest.h>

#include "layout/ValidateLayout.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

struct FaultCase {
    const char* name;
    std::vector<Mark> marks;
    int message;
    std::int32_t row; // where the list is left scrolled
};

TEST(ValidateLayout, FaultsComeWithTheirMessageAndRow)
{
    const FaultCase cases[] = {
        {"no marks at all", {}, 36, kNoRow},
        {"record end before begin", {{5, LE}, {9, LB}}, 36, 5},
        {"second begin before the end", {{2, LB}, {8, LB}, {20, LE}}, 37, 8},
        {"begin without end", {{3, LB}}, 37, 3},
        {"column end first", {{0, LB}, {3, CE}, {9, LE}}, 38, 3},
        {"second column begin", {{0, LB}, {2, CB}, {5, CB}, {7, CE}, {9, LE}}, 39, 5},
        {"column begin never closed", {{0, LB}, {2, CB}, {9, LE}}, 39, 2},
        {"column end after the record", {{0, LB}, {9, LE}, {12, CE}}, 38, 12},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        RowStore store = MakeStore(30, c.marks);
        std::int32_t scrolled = -7;
        store.SetScrollHook([&](std::int32_t row) { scrolled = row; });
        RecordLayout layout;
        const LayoutFault fault = ValidateLayout(store, 30, layout);
        EXPECT_EQ(fault.messageId, c.message);
        EXPECT_EQ(fault.row, c.row);
        EXPECT_EQ(scrolled, c.row == kNoRow ? -7 : c.row);
    }
}

struct PassCase {
    const char* name;
    std::vector<Mark> marks;
    std::uint32_t size;
    std::uint32_t length, count, columns;
    std::int32_t lastColumnEnd;
};

TEST(ValidateLayout, PassingMarksGiveTheRecordLayout)
{
    const PassCase cases[] = {
        {"record only", {{10, LB}, {19, LE}}, 1000, 10, 99, 0, -1},
        {"a short tail is not a record", {{10, LB}, {19, LE}}, 1005, 10, 99, 0, -1},
        {"column marks before the record are ignored", {{1, CE}, {4, LB}, {9, LE}}, 30, 6, 4, 0, -1},
        {"a second record begin after the end is ignored", {{0, LB}, {4, LE}, {6, LB}}, 30, 5, 6, 0, -1},
        {"columns after the record end count", {{0, LB}, {2, CB}, {3, CE}, {4, LE}, {6, CB}, {7, CE}}, 30, 5, 6, 2, 7},
        {"byte marks take no part", {{0, LB}, {1, BM}, {2, CB}, {3, BM}, {5, CE}, {7, LE}}, 16, 8, 2, 1, 5},
        {"70000 records before clamping", {{0, LB}, {1, LE}}, 140000, 2, 70000, 0, -1},
    };
    for (const PassCase& c : cases) {
        SCOPED_TRACE(c.name);
        RowStore store = MakeStore(static_cast<std::int32_t>(std::min<std::uint32_t>(c.size, 100)), c.marks);
        RecordLayout layout;
        ASSERT_FALSE(ValidateLayout(store, c.size, layout));
        EXPECT_EQ(layout.recordLength, c.length);
        EXPECT_EQ(layout.recordCount, c.count);
        EXPECT_EQ(layout.progressRange, c.count);
        EXPECT_EQ(layout.columnCount, c.columns);
        EXPECT_EQ(layout.lastColumnEnd, c.lastColumnEnd);
    }
}

TEST(ValidateLayout, PassingLeavesTheListAtTheLastColumnEndOrTheRecordBegin)
{
    std::int32_t scrolled = -7;
    RowStore withColumns = MakeStore(20, {{1, LB}, {3, CB}, {6, CE}, {9, LE}});
    withColumns.SetScrollHook([&](std::int32_t row) { scrolled = row; });
    RecordLayout layout;
    ASSERT_FALSE(ValidateLayout(withColumns, 20, layout));
    EXPECT_EQ(scrolled, 6);

    RowStore bare = MakeStore(20, {{1, LB}, {9, LE}});
    bare.SetScrollHook([&](std::int32_t row) { scrolled = row; });
    ASSERT_FALSE(ValidateLayout(bare, 20, layout));
    EXPECT_EQ(scrolled, 1);
}

TEST(ValidateLayout, ValidationChangesNoMark)
{
    RowStore store = MakeStore(20, {{1, LB, FieldType::Text}, {3, CB}, {6, CE}, {9, LE, FieldType::Bcd}});
    const auto markers = store.Markers();
    const auto types = store.FieldTypes();
    RecordLayout layout;
    ValidateLayout(store, 20, layout);
    EXPECT_EQ(store.Markers(), markers);
    EXPECT_EQ(store.FieldTypes(), types);
}

TEST(ClampCounts, LimitsBothCountsTo65534)
{
    const struct {
        std::uint32_t columns, records;
        bool columnsClamped, recordsClamped;
        std::uint32_t columnsAfter, recordsAfter;
    } rows[] = {
        {65534, 65534, false, false, 65534, 65534},
        {65535, 1, true, false, 65534, 1},
        {1, 70000, false, true, 1, 65534},
        {4000000000u, 4000000000u, true, true, 65534, 65534},
    };
    for (const auto& row : rows) {
        RecordLayout layout;
        layout.columnCount = row.columns;
        layout.recordCount = row.records;
        layout.progressRange = row.records;
        const ClampResult result = ClampCounts(layout);
        EXPECT_EQ(result.columnsClamped, row.columnsClamped);
        EXPECT_EQ(result.recordsClamped, row.recordsClamped);
        EXPECT_EQ(layout.columnCount, row.columnsAfter);
        EXPECT_EQ(layout.recordCount, row.recordsAfter);
        EXPECT_EQ(layout.progressRange, row.records); // the bar keeps the full range
    }
}

} // namespace
} // namespace zorbik
