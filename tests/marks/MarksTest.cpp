#include <gtest/gtest.h>

#include "marks/Marks.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(Marks, ClicksCycleMarkersAndTypes)
{
    Marks marks = MakeStore({{3, CE, BC}});
    for (const MarkerKind kind : {LB, CB, BM, CE, LE, NO, LB}) {
        marks.CycleMarker(1);
        EXPECT_EQ(marks.GetMarker(1), kind);
    }
    for (const FieldType type : {BI, BR, DN, BC, TX, BI}) {
        marks.CycleFieldType(2);
        EXPECT_EQ(marks.GetFieldType(2), type);
    }
    EXPECT_TRUE(marks.HasNoFieldType(1)); // each click leaves the other half alone
    EXPECT_EQ(marks.GetMarker(2), NO);
    // Rows that cannot be rows are left alone.
    const Marks before = marks;
    marks.CycleMarker(kNoRow);
    marks.SetFieldType(kMaxMarkRow + 1, TX);
    EXPECT_EQ(marks, before);
    marks.SetFieldType(5, TX);
    EXPECT_EQ(marks.LastRow(), 5); // a type past the last marker counts
    marks.SetMarker(kMaxMarkRow, LE);
    EXPECT_EQ(marks.LastRow(), kMaxMarkRow);
    // Unmarking and untyping take the row out.
    for (const std::int32_t row : {1, 2, 3, 5, kMaxMarkRow}) {
        marks.SetMarker(row, NO);
        marks.SetFieldType(row, FieldType::None);
    }
    EXPECT_TRUE(marks.Empty());
    EXPECT_EQ(marks.LastRow(), kNoRow);
}

} // namespace
} // namespace zorbik
