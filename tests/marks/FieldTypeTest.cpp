// The type column of the byte list: the type's name and its options in
// short, only the options the type has.
#include <gtest/gtest.h>

#include "marks/FieldOptions.h"
#include "marks/FieldType.h"

namespace zorbik {
namespace {

TEST(FieldType, TheShortNameShowsTheOptionsOfItsType)
{
    FieldOptions unsignedBig;
    unsignedBig.isUnsigned = true;
    unsignedBig.bigEndian = true;
    FieldOptions leading;
    leading.sign = ZonedSign::Leading;
    leading.scale = 2;
    const struct {
        FieldType type;
        FieldOptions options;
        const char* english;
        const char* german;
    } rows[] = {
        {FieldType::Integer, {}, "Integer", "Ganzzahl"},
        {FieldType::Integer, unsignedBig, "Integer BE U", "Ganzzahl BE U"},
        {FieldType::Packed, unsignedBig, "Packed U", "Gepackt U"},
        {FieldType::Zoned, unsignedBig, "Zoned", "Gezont"},
        {FieldType::Zoned, leading, "Zoned 2 L", "Gezont 2 L"},
        {FieldType::BinReal, unsignedBig, "BinRealnumber BE", "BinRealzahl BE"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FieldTypeShort(row.type, row.options, UiLanguage::English), row.english);
        EXPECT_EQ(FieldTypeShort(row.type, row.options, UiLanguage::German), row.german);
    }
}

} // namespace
} // namespace zorbik
