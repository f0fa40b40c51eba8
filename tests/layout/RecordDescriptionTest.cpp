#include <gtest/gtest.h>

#include "convert/PrepareConversion.h"
#include "layout/RecordDescription.h"

namespace zorbik {
namespace {

using FT = FieldType;

DescribedField F(const char* name, std::uint32_t offset, std::uint32_t width, FT type = FT::Text,
                 FieldOptions options = {})
{
    return {name, offset, width, type, options};
}

struct DescriptionCase {
    const char* name;
    std::uint32_t length;
    std::vector<DescribedField> fields;
};

// Every field list converts exactly its fields, in every format: the
// planned columns lie where the fields lie, with their types, options and
// names, and no byte of a gap is read; the layout file keeps them.
TEST(RecordDescription, MarksConvertExactlyTheFields)
{
    FieldOptions packed;
    packed.scale = 2;
    const DescriptionCase cases[] = {
        {"one field, the whole record", 6, {F("ALL", 0, 6)}},
        {"one byte of two", 2, {F("A", 0, 1)}},
        {"the last byte of two", 2, {F("Z", 1, 1)}},
        {"two one-byte fields, the whole record", 2, {F("A", 0, 1), F("Z", 1, 1)}},
        {"first and last, adjacent", 9, {F("HEAD", 0, 4, FT::Integer), F("TAIL", 4, 5, FT::Packed, packed)}},
        {"first and last, a gap between", 9, {F("HEAD", 0, 2), F("TAIL", 5, 4)}},
        {"one-byte first, gap, one-byte last", 7, {F("F", 0, 1), F("L", 6, 1)}},
        {"dBASE-like: a flag, then fields", 12, {F("deleted", 0, 1), F("NAME", 1, 5), F("OK", 6, 1), F("N", 7, 5, FT::DecimalNumber)}},
        {"a single field inside", 10, {F("MID", 3, 4, FT::Text)}},
        {"a single byte inside", 10, {F("", 4, 1, FT::BinInteger)}},
        {"one-byte fields between, adjacent and apart", 12,
         {F("a", 1, 1), F("b", 2, 1), F("c", 3, 3), F("d", 6, 1), F("e", 9, 1)}},
        {"gaps everywhere, unnamed columns", 22, {F("", 2, 3), F("", 6, 2, FT::Zoned), F("", 12, 8, FT::Date)}},
        {"a gap after the first field, none before the last", 8, {F("X", 0, 3), F("Y", 5, 3)}},
    };
    for (const DescriptionCase& c : cases) {
        const RecordDescription description{c.length, c.fields, {850, false}};
        for (const std::uint64_t begin : {0u, 7u}) {
            const Layout layout = LayoutFromDescription(begin, description);
            EXPECT_EQ(layout.settings.codePage, 850) << c.name;
            // Through the layout file and back: the same layout.
            const LoadedLayout again = LoadLayout(FormatLayout(layout), 1000, UiLanguage::English);
            EXPECT_FALSE(again.error.Failed()) << c.name << ": " << again.error.message;
            EXPECT_EQ(again.layout, layout) << c.name;
            for (const TargetFormat format : {TargetFormat::Xls, TargetFormat::Csv}) {
                const PreparedConversion prepared = PrepareConversion(layout.marks, begin + 3 * c.length, {}, format);
                ASSERT_FALSE(prepared.fault) << c.name << " fault " << static_cast<int>(prepared.fault.message);
                EXPECT_EQ(prepared.layout.recordLength, c.length) << c.name;
                std::vector<DescribedField> planned;
                for (const PlannedColumn& column : prepared.plan.columns) {
                    const RowRun& run = prepared.plan.runs[column.firstRun];
                    EXPECT_EQ(column.runCount, 1u) << c.name;
                    planned.push_back({column.name, static_cast<std::uint32_t>(run.firstRow - static_cast<std::int32_t>(begin)),
                                       run.length, column.type, column.options});
                }
                EXPECT_EQ(planned, c.fields) << c.name << " at " << begin;
            }
        }
    }
}

// No fields, a record of one byte, fields overlapping, out of order, past
// the record, of no bytes, a record past the last row that can be marked.
TEST(RecordDescription, WhatMarksCannotHoldGivesNoMarks)
{
    const std::pair<std::uint64_t, RecordDescription> refused[] = {
        {0, {10, {}, {}}}, {0, {1, {F("A", 0, 1)}, {}}}, {0, {10, {F("A", 2, 3), F("B", 4, 2)}, {}}},
        {0, {10, {F("A", 5, 1), F("B", 2, 1)}, {}}}, {0, {10, {F("A", 8, 3)}, {}}}, {0, {10, {F("A", 3, 0)}, {}}},
        {kMaxMarkRow, {4, {F("A", 0, 4)}, {}}}};
    for (const auto& [begin, description] : refused)
        EXPECT_TRUE(LayoutFromDescription(begin, description).marks.Empty());
    // A name the layout file cannot hold, or one given already, is left out.
    const Marks named = LayoutFromDescription(0, {6, {F("NO NAME", 1, 1), F("code", 2, 1), F("CODE", 3, 1)}, {}}).marks;
    EXPECT_EQ(named.GetTraits(1).name + "|" + named.GetTraits(2).name + "|" + named.GetTraits(3).name, "|code|");
}

} // namespace
} // namespace zorbik
