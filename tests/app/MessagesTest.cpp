#include <gtest/gtest.h>

#include <algorithm>

#include "messages/Messages.h"

namespace zorbik {
namespace {

TEST(Messages, GermanIdsAndTheirEnglishTwinsSixtyFourApart)
{
    struct Row {
        int id;
        const char* german;
        const char* english;
    };
    const Row rows[] = {
        {0, "Fernschreiber-Code(Leer)", "Teletype-Code(Null)"},
        {27, "Escape-Sequenzen(Escape)", "Escape-Sequenzen(Escape)"},
        {31, "Fernschreiber-Code(Dateneiheitstrennzeichen)", "Teletype-Code(Unit Separator)"},
        {32, "Leertaste", "Space"},
        {33, "Initialisierungsfehler, Programm wird beendet!", "Error on initializing, program will be terminated!"},
        {34, "Import-Dateifehler", "Import file-error"},
        {35, "Datei existiert bereits!", "File exsists!"},
        {36, "Marke für Zeilenbeginn fehlt!", "Missing symbol for linebegin!"},
        {37, "Marke für Zeilenende fehlt!", "Missing symbol for lineend!"},
        {38, "Marke für Spaltenanfang fehlt!", "Missing symbol for columnbegin!"},
        {39, "Marke für Spaltenende fehlt!", "Missing symbol for columnend!"},
        {40, "Mehr als 65534 Spalten;\nMaximum an Spalten wird übernommen!",
         "More than 65534 columns;\nmaximum columns is selected!"},
        {42, "Mehr als 65534 Zeilen;\nMaximum an Zeilen wird übernommen!",
         "More than 65534 lines;\nmaximum lines is selected!"},
        {43, "Soll die aktuelle Quelldatei beibehalten werden?", "Do you like to keep actual sourcefile?"},
        {44, "Fehler beim Schreiben der Zieldatei!", "Error on writing target file!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(LoadLocalisedString(row.id, UiLanguage::German), row.german);
        EXPECT_EQ(LoadLocalisedString(row.id, UiLanguage::English), row.english);
        EXPECT_EQ(CatalogueString(row.id + 64), row.english);
    }
}

TEST(Messages, EveryControlCharacterHasANameInBothLanguages)
{
    for (int id = 0; id <= 32; ++id) {
        EXPECT_FALSE(LoadLocalisedString(id, UiLanguage::German).empty()) << id;
        EXPECT_FALSE(LoadLocalisedString(id, UiLanguage::English).empty()) << id;
    }
    // The longest name has 47 characters: it fits the list's 49.
    std::size_t longest = 0;
    for (int id = 0; id <= 32; ++id) {
        for (const UiLanguage language : {UiLanguage::German, UiLanguage::English}) {
            const std::string_view text = LoadLocalisedString(id, language);
            const auto characters = static_cast<std::size_t>(
                std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
            longest = std::max(longest, characters);
        }
    }
    EXPECT_EQ(longest, 47u);
}

TEST(Messages, UnknownIdsGiveAnEmptyText)
{
    EXPECT_TRUE(LoadLocalisedString(41, UiLanguage::German).empty());
    EXPECT_TRUE(LoadLocalisedString(64, UiLanguage::German).empty());
    EXPECT_TRUE(LoadLocalisedString(-1, UiLanguage::English).empty());
    EXPECT_TRUE(CatalogueString(128).empty());
}

TEST(Messages, BoxTypes)
{
    EXPECT_EQ(BoxTypeOf(MsgInitFailed), 16);
    EXPECT_EQ(BoxTypeOf(MsgImportFileError), 48);
    EXPECT_EQ(BoxTypeOf(MsgTooManyLines), 48);
    EXPECT_EQ(BoxTypeOf(MsgKeepSource), 52);
    EXPECT_EQ(BoxTypeOf(MsgWriteError), 16);
    EXPECT_EQ(kMessageCaption, "        ZORBIK");
}

TEST(Messages, GermanOnlyForGermanLocales)
{
    struct Row {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        UiLanguage expected;
    };
    const Row rows[] = {
        {nullptr, nullptr, "de_DE.UTF-8", UiLanguage::German},
        {nullptr, nullptr, "de_AT.UTF-8", UiLanguage::German},
        {nullptr, nullptr, "de_CH", UiLanguage::German},
        {nullptr, nullptr, "fr_FR.UTF-8", UiLanguage::English},
        {nullptr, nullptr, "en_GB.UTF-8", UiLanguage::English},
        {nullptr, nullptr, "C", UiLanguage::English},
        {nullptr, nullptr, nullptr, UiLanguage::English},
        {"", "", "de_DE", UiLanguage::German},             // empty values count as unset
        {"en_US.UTF-8", nullptr, "de_DE", UiLanguage::English}, // LC_ALL wins
        {nullptr, "de_DE", "en_US", UiLanguage::German},        // then LC_MESSAGES
        {nullptr, nullptr, "dk_DK", UiLanguage::English},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LanguageFromLocale(row.lcAll, row.lcMessages, row.lang), row.expected)
            << (row.lang ? row.lang : "(null)");
}

} // namespace
} // namespace zorbik
