#include <gtest/gtest.h>

#include "codepage/CodePages.h"
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

TEST(Messages, TextsTakeTheirArgumentsAndBoxes)
{
    const struct {
        MessageId id;
        UiLanguage language;
        std::initializer_list<std::string_view> args;
        std::string said;
        BoxType box;
    } rows[] = {
        {MessageId::FileExists, UiLanguage::English, {}, "File exsists!", BoxType::Exclamation},
        {MessageId::WriteError, UiLanguage::German, {}, "Fehler beim Schreiben der Zieldatei!", BoxType::Stop},
        {MessageId::KeepSource, UiLanguage::English, {}, "Do you like to keep actual sourcefile?", BoxType::QuestionYesNo},
        {MessageId::LayoutLine, UiLanguage::German, {"3", "x"}, "Zeile 3: x", BoxType::None},
        // An argument that is missing leaves its place as it is; a % alone stays.
        {MessageId::GuessConfidence, UiLanguage::English, {}, "# confidence: %1 %", BoxType::None},
        {MessageId::CommandSourceChanged, UiLanguage::English, {"a%2", "b"},
         "a%2 could not be read to the end (changed while converting?); b was deleted", BoxType::None},
        {MessageId{}, UiLanguage::English, {"x"}, "", BoxType::None},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Say(row.id, row.language, row.args), row.said);
        EXPECT_EQ(BoxOf(row.id), row.box);
    }
    EXPECT_EQ(ControlCharName(0x0A, UiLanguage::German), "Zeilenvorschub");
    EXPECT_EQ(ControlCharName(0x20, UiLanguage::English), "Space");
    EXPECT_EQ(ControlCharName(0x21, UiLanguage::English), "");
}

TEST(Messages, EveryCodePageIsNamedByItsNumber)
{
    for (const std::uint16_t page : KnownCodePages())
        for (const UiLanguage language : {UiLanguage::German, UiLanguage::English}) {
            const std::string_view name = Text(CodePageName(page), language);
            EXPECT_TRUE(page == kUtf8CodePage ? name == "UTF-8" : name.starts_with(CodePageNumber(page) + " – "))
                << page;
        }
}

} // namespace
} // namespace zorbik
