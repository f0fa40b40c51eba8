#include <gtest/gtest.h>

#include <chrono>

#include "source/RowStore.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(RowStore, LeftClicksCycleTheMarkerAndKeepTheMarkFlagInStep)
{
    RowStore store(UiLanguage::German);
    store.AddRows(10);
    const MarkerKind expected[] = {LB, CB, BM, CE, LE, NO, LB};
    for (const MarkerKind kind : expected) {
        store.CycleMarker(4);
        EXPECT_EQ(store.GetMarker(4), kind);
        EXPECT_EQ(store.HasMark(4), kind != NO);
        EXPECT_EQ(store.NextMarkedRow(-1), kind != NO ? 4 : kNoRow);
    }
    EXPECT_EQ(store.GetFieldTypeId(4), FieldType::None); // a left click leaves the type alone
}

TEST(RowStore, RightClicksCycleTheFieldTypeInBothLanguages)
{
    const std::pair<UiLanguage, std::vector<const char*>> rows[] = {
        {UiLanguage::German, {"BinInteger", "BinRealzahl", "Dezimalzahl", "BCD-Zahl", "Text", "BinInteger"}},
        {UiLanguage::English, {"BinInteger", "BinRealnumber", "Decimalnumber", "BCD-number", "Text", "BinInteger"}},
    };
    for (const auto& [language, texts] : rows) {
        RowStore store(language);
        store.AddRows(3);
        store.SetMarker(1, MarkerKind::ColumnEnd);
        EXPECT_EQ(store.GetFieldType(1), language == UiLanguage::German ? "?-Feldtyp" : "?-Fieldtype");
        EXPECT_TRUE(store.HasNoFieldType(1));
        for (const char* text : texts) {
            store.CycleFieldType(1);
            EXPECT_EQ(store.GetFieldType(1), text);
            EXPECT_FALSE(store.HasNoFieldType(1));
        }
        EXPECT_EQ(store.GetMarker(1), MarkerKind::ColumnEnd); // a right click leaves the marker alone
    }
}

TEST(RowStore, FieldTypesAreKnownByTheirFirstFourBytes)
{
    EXPECT_EQ(FieldTypeFromText("BinIxyz", UiLanguage::English), FieldType::BinInteger);
    EXPECT_EQ(FieldTypeFromText("Dezimal", UiLanguage::German), FieldType::DecimalNumber);
    EXPECT_EQ(FieldTypeFromText("Dezimal", UiLanguage::English), FieldType::None);
    EXPECT_EQ(FieldTypeFromText("Decimalnumber", UiLanguage::English), FieldType::DecimalNumber);
    EXPECT_EQ(FieldTypeFromText("BCD-", UiLanguage::German), FieldType::Bcd);
    EXPECT_EQ(FieldTypeFromText("Tex", UiLanguage::German), FieldType::None);
    EXPECT_EQ(FieldTypeFromText("?-Fieldtype", UiLanguage::English), FieldType::None);
}

TEST(RowStore, ClicksOnNoRowChangeNothing)
{
    RowStore store(UiLanguage::English);
    store.AddRows(2);
    store.CycleMarker(kNoRow);
    store.CycleFieldType(kNoRow);
    store.CycleMarker(2);
    EXPECT_EQ(store.NextMarkedRow(-1), kNoRow);
    EXPECT_TRUE(store.FieldTypes().empty());
}

TEST(RowStore, MarkedRowSearchExamples)
{
    RowStore store = MakeStore(12, {{3, BM}, {7, CE}, {9, CB}});
    std::int32_t found = 42;
    EXPECT_EQ(MarkedRowSearch(store, 0, CB, CE, found, false), FoundStop);
    EXPECT_EQ(found, 7);
    EXPECT_EQ(MarkedRowSearch(store, 7, CB, CE, found, false), FoundWanted);
    EXPECT_EQ(found, 9);
    found = 42;
    EXPECT_EQ(MarkedRowSearch(store, 9, CB, CE, found, false), FoundNone);
    EXPECT_EQ(found, 42);

    RowStore first = MakeStore(6, {{0, LB}, {5, LE}});
    EXPECT_EQ(MarkedRowSearch(first, -1, LB, LE, found, false), FoundWanted);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(MarkedRowSearch(first, 0, LB, LE, found, false), FoundStop); // the start row is excluded
    EXPECT_EQ(found, 5);
}

TEST(RowStore, SearchesScrollToTheRowMetOrBackToTheirStart)
{
    RowStore store = MakeStore(20, {{4, CB}, {8, CE}});
    std::vector<std::int32_t> scrolled;
    store.SetScrollHook([&](std::int32_t row) { scrolled.push_back(row); });
    std::int32_t found = 0;
    MarkedRowSearch(store, -1, CB, CE, found, true);
    MarkedRowSearch(store, 8, CB, CE, found, true);  // nothing after 8: back to 8
    MarkedRowSearch(store, -1, LB, LE, found, true); // nothing at all: no scroll for -1
    MarkedRowSearch(store, 4, CE, CB, found, false);
    EXPECT_EQ(scrolled, (std::vector<std::int32_t>{4, 8}));
}

TEST(RowStore, NextMarkedRowSkipsMillionsOfUnmarkedRowsAtOnce)
{
    RowStore store(UiLanguage::English);
    store.AddRows(2'000'000'000);
    for (std::int32_t i = 0; i < 40; ++i)
        store.SetMarker(i * 50'000'000, MarkerKind::ByteMark);
    const auto start = std::chrono::steady_clock::now();
    std::int64_t visited = 0;
    for (int pass = 0; pass < 1000; ++pass)
        for (std::int32_t row = store.NextMarkedRow(-1); row != kNoRow; row = store.NextMarkedRow(row))
            ++visited;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(visited, 40'000);
    EXPECT_LT(elapsed, std::chrono::seconds(1));
}

TEST(RowStore, ViewHearsOfEveryChange)
{
    RowStore store(UiLanguage::English);
    store.AddRows(5);
    std::vector<std::int32_t> changed;
    store.SetChangeHook([&](std::int32_t row) { changed.push_back(row); });
    store.CycleMarker(1);
    store.CycleFieldType(2);
    store.SetMarker(3, MarkerKind::ColumnEnd);
    EXPECT_EQ(changed, (std::vector<std::int32_t>{1, 2, 3}));
}

TEST(RowStore, ClearDropsRowsAndMarks)
{
    RowStore store = MakeStore(10, {{2, LB, FieldType::Text}, {5, LE}});
    store.Clear();
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_EQ(store.NextMarkedRow(-1), kNoRow);
    store.AddRows(3);
    EXPECT_EQ(store.GetMarker(2), MarkerKind::Unmarked);
    EXPECT_TRUE(store.HasNoFieldType(2));
}

} // namespace
} // namespace zorbik
