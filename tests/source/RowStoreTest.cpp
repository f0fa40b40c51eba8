#include <gtest/gtest.h>

#include "source/RowStore.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(RowStore, ClicksCycleMarkersAndTypesAndTellTheView)
{
    RowStore store = MakeStore(4, {{3, CE, BC}});
    std::vector<std::int32_t> changed;
    store.SetChangeHook([&](std::int32_t row) { changed.push_back(row); });
    for (const MarkerKind kind : {LB, CB, BM, CE, LE, NO, LB}) {
        store.CycleMarker(1);
        EXPECT_EQ(store.GetMarker(1), kind);
    }
    for (const FieldType type : {BI, BR, DN, BC, TX, BI}) {
        store.CycleFieldType(2);
        EXPECT_EQ(store.GetFieldType(2), type);
    }
    EXPECT_TRUE(store.HasNoFieldType(1)); // each click leaves the other half alone
    EXPECT_EQ(store.GetMarker(2), NO);
    store.CycleMarker(kNoRow);
    store.CycleFieldType(4);
    store.SetMarker(4, LB);
    EXPECT_EQ(changed, (std::vector<std::int32_t>{1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}));

    // Taking over other marks tells of every row that had or gets a mark.
    changed.clear();
    store.ReplaceMarks(MakeStore(4, {{0, LB}, {3, CE, BC}}));
    EXPECT_EQ(changed, (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(store.Markers().size(), 2u);
    EXPECT_EQ(store.FieldTypes().size(), 1u);
    store.Clear();
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_TRUE(store.Markers().empty() && store.FieldTypes().empty());
}

TEST(RowStore, MarkedRowSearchStopsAtTheWantedOrTheStopKind)
{
    const RowStore store = MakeStore(12, {{3, BM}, {7, CE}, {9, CB}});
    const struct {
        std::int32_t start;
        MarkerKind wanted, stop;
        int result;
        std::int32_t found;
    } rows[] = {
        {0, CB, CE, FoundStop, 7}, {7, CB, CE, FoundWanted, 9}, {9, CB, CE, FoundNone, 42},
        {-1, BM, LE, FoundWanted, 3}, {3, BM, LE, FoundNone, 42}, // the start row is not looked at
    };
    for (const auto& row : rows) {
        std::int32_t found = 42;
        EXPECT_EQ(MarkedRowSearch(store, row.start, row.wanted, row.stop, found), row.result) << row.start;
        EXPECT_EQ(found, row.found) << row.start;
    }
}

} // namespace
} // namespace zorbik
