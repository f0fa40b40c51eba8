#include <gtest/gtest.h>

#include "messages/Messages.h"

namespace zorbik {
namespace {

TEST(Messages, GermanOnlyForTheFirstLocaleVariableSetToGerman)
{
    const struct {
        const char *lcAll, *lcMessages, *lang;
        UiLanguage expected;
    } rows[] = {
        {nullptr, nullptr, "de_AT.UTF-8", UiLanguage::German},
        {nullptr, nullptr, "dk_DK", UiLanguage::English},
        {nullptr, nullptr, "C", UiLanguage::English},
        {nullptr, nullptr, nullptr, UiLanguage::English},
        {"", "", "de_DE", UiLanguage::German}, // empty values count as unset
        {"en_US.UTF-8", "de_DE", "de_DE", UiLanguage::English},
        {nullptr, "de_DE", "en_US", UiLanguage::German},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LanguageFromLocale(row.lcAll, row.lcMessages, row.lang), row.expected) << (row.lang ? row.lang : "-");
}

TEST(Messages, UnknownIdsGiveNoText)
{
    for (const int id : {-1, 41, 63, 64})
        EXPECT_TRUE(LoadLocalisedString(id, UiLanguage::English).empty()) << id;
}

} // namespace
} // namespace zorbik
