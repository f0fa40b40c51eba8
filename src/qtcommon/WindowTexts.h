// The fixed words of the windows (button texts, column titles, dialog titles
// and filters) in both languages. The message texts live in the catalogue.
#pragma once

#include <string_view>

#include "messages/Messages.h"
#include "source/FieldType.h"

namespace zorbik {

struct TextPair {
    std::string_view german;
    std::string_view english;
    std::string_view In(UiLanguage language) const { return language == UiLanguage::German ? german : english; }
};

inline constexpr std::string_view kWindowCaption = "ZORBIK";

// The six buttons, in the order they stand in the window.
inline constexpr TextPair kOpenText{"Öffnen", "Open"};
inline constexpr TextPair kMoreBytesText{"Mehr Bytes", "More bytes"};
inline constexpr TextPair kConvertText{"Konvertieren", "Convert"};
inline constexpr TextPair kCancelText{"Abbruch", "Cancel"};
inline constexpr TextPair kQuitText{"Ende", "Quit"};
inline constexpr TextPair kHelpText{"Hilfe", "Help"};

// Titles of the byte list's four columns.
inline constexpr TextPair kColumnTitles[4] = {
    {"ByteNr.", "ByteNr."},
    {"ANSI-Zeichen", "ANSI-Character"},
    {"Datenfeld-Typ", "Datafield-type"},
    {"Hex-Byte", "Hex-Byte"},
};

// The field type column: a row without a type shows "?-Feldtyp".
constexpr TextPair FieldTypeText(FieldType type)
{
    switch (type) {
    case FieldType::Text:
        return {"Text", "Text"};
    case FieldType::BinInteger:
        return {"BinInteger", "BinInteger"};
    case FieldType::BinReal:
        return {"BinRealzahl", "BinRealnumber"};
    case FieldType::DecimalNumber:
        return {"Dezimalzahl", "Decimalnumber"};
    case FieldType::Bcd:
        return {"BCD-Zahl", "BCD-number"};
    case FieldType::None:
        break;
    }
    return {"?-Feldtyp", "?-Fieldtype"};
}

// The source file dialog.
inline constexpr TextPair kOpenDialogTitle{"Daten Importieren", "Import data"};
inline constexpr TextPair kOpenFilterName{"alle Dateien", "all files"};

// The target file dialog: the filter is the same in both languages.
inline constexpr TextPair kSaveDialogTitle{"Excel -Sheet Exportieren", "Export Excel -sheet"};
inline constexpr std::string_view kSaveFilterName = "Excel -Sheet";
inline constexpr std::string_view kSaveDefaultSuffix = "XLS";

// Caption of the help window.
inline constexpr TextPair kHelpCaption{"HILFE", "HELP"};

// Buttons of the message boxes.
inline constexpr TextPair kYesText{"Ja", "Yes"};
inline constexpr TextPair kNoText{"Nein", "No"};
inline constexpr TextPair kOkText{"OK", "OK"};

} // namespace zorbik
