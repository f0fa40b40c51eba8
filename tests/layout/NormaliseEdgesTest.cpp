#include <gtest/gtest.h>

#include "layout/NormaliseEdges.h"
#include "layout/ValidateLayout.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

struct EdgeCase {
    const char* name;
    std::vector<Mark> marks;
    std::vector<std::pair<std::int32_t, MarkerKind>> markersAfter; // only rows that change or matter
    std::int32_t lineBegin;
    std::uint32_t columns;
    bool wholeRecord;
};

constexpr FieldType TX = FieldType::Text;
constexpr FieldType BI = FieldType::BinInteger;

TEST(NormaliseEdges, EdgesBecomeColumnsByRewritingMarkers)
{
    const EdgeCase cases[] = {
        {"record only: one whole-record column", {{10, LB}, {29, LE}}, {{10, CB}, {29, CE}}, 9, 1, true},
        {"typed record begin", {{0, LB, TX}, {5, CB}, {9, CE}, {14, LE}}, {{0, CB}, {4, CE}, {5, CB}, {14, LE}}, -1, 2,
         false},
        {"typed record begin and end",
         {{0, LB, TX}, {5, CB}, {9, CE}, {14, LE, TX}},
         {{0, CB}, {4, CE}, {10, CB}, {14, CE}},
         -1,
         3,
         false},
        {"byte mark before the first column", {{0, LB}, {2, BM}, {5, CB}, {9, CE}, {14, LE}}, {{0, CB}, {4, CE}, {2, BM}}, -1,
         2, false},
        {"column right after an untyped begin", {{0, LB}, {1, CB}, {9, CE}, {14, LE}}, {{0, LB}, {1, CB}}, 0, 1, false},
        {"byte mark after the last column", {{0, LB}, {1, CB}, {9, CE}, {12, BM}, {14, LE}}, {{10, CB}, {14, CE}, {12, BM}},
         0, 2, false},
        {"a type after the last column alone makes nothing", {{0, LB}, {1, CB}, {9, CE}, {10, NO, TX}, {14, LE}},
         {{10, NO}, {14, LE}}, 0, 1, false},
        {"byte mark just before the first column ends the leading column",
         {{0, LB}, {4, BM}, {5, CB}, {9, CE}, {14, LE}},
         {{0, CB}, {4, CE}},
         -1,
         2,
         false},
        {"one-row trailing column", {{0, LB}, {1, CB}, {13, CE}, {14, LE, TX}}, {{13, CE}, {14, CB}}, 0, 2, false},
        {"one-byte leading column", {{0, LB, BI}, {1, CB}, {9, CE}, {14, LE}}, {{0, CB}, {1, CB}, {9, CE}}, -1, 2, false},
        {"no trailing column for columns after the record end",
         {{0, LB}, {1, CB}, {3, CE}, {5, LE, TX}, {7, CB}, {8, CE}},
         {{5, LE}, {4, NO}},
         0,
         2,
         false},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        RowStore store = MakeStore(40, c.marks);
        const auto typesBefore = store.FieldTypes();
        RecordLayout layout;
        ASSERT_FALSE(ValidateLayout(store, 40, layout));
        NormaliseEdges(store, layout);
        for (const auto& [row, kind] : c.markersAfter)
            EXPECT_EQ(store.GetMarker(row), kind) << "row " << row;
        EXPECT_EQ(layout.lineBegin, c.lineBegin);
        EXPECT_EQ(layout.columnCount, c.columns);
        EXPECT_EQ(layout.wholeRecordColumn, c.wholeRecord);
        EXPECT_EQ(store.FieldTypes(), typesBefore); // no field type is ever rewritten
    }
}

TEST(NormaliseEdges, ASecondConvertNeedsNewRecordMarks)
{
    RowStore leading = MakeStore(20, {{0, LB, TX}, {5, CB}, {9, CE}, {14, LE}});
    RecordLayout layout;
    ASSERT_FALSE(ValidateLayout(leading, 20, layout));
    NormaliseEdges(leading, layout);
    EXPECT_EQ(ValidateLayout(leading, 20, layout).messageId, MsgMissingLineBegin);

    RowStore trailing = MakeStore(20, {{0, LB}, {1, CB}, {9, CE}, {14, LE, TX}});
    ASSERT_FALSE(ValidateLayout(trailing, 20, layout));
    NormaliseEdges(trailing, layout);
    EXPECT_EQ(ValidateLayout(trailing, 20, layout).messageId, MsgMissingLineEnd);
}

} // namespace
} // namespace zorbik
