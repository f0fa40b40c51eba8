#include <gtest/gtest.h>

#include "marks/Marks.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(Marks, ClicksCycleMarkersAndTypesAndTellTheView)
{
    Marks store = MakeStore(4, {{3, CE, BC}});
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

} // namespace
} // namespace zorbik
