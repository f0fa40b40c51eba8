// The fixed words of the windows (button texts, column titles, dialog titles
// and filters) in both languages. The message texts live in the catalogue.
#pragma once

#include <cstdint>
#include <string_view>

#include "messages/Messages.h"
#include "marks/FieldType.h"

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

// The preview below the byte list.
inline constexpr TextPair kPreviewCaption{"Vorschau: die ersten %1 Zeilen des Arbeitsblatts",
                                          "Preview: the first %1 rows of the worksheet"};
inline constexpr TextPair kPreviewFaultRow{" (Zeile %1; Klick zeigt sie)", " (row %1; click to show it)"};
inline constexpr TextPair kPreviewEmpty{"Vorschau: erst eine Datei öffnen und einen Satz markieren",
                                        "Preview: open a file and mark a record"};

// The settings and the marks' buttons below the six buttons.
inline constexpr TextPair kCodePageLabel{"Zeichensatz der Texte:", "Code page of the texts:"};
inline constexpr TextPair kTrimText{"Texte ohne Leerzeichen am Ende", "Trim trailing blanks of texts"};
inline constexpr TextPair kSaveMarksText{"Marken sichern…", "Save marks…"};
inline constexpr TextPair kLoadMarksText{"Marken laden…", "Load marks…"};
inline constexpr TextPair kFindRecordText{"Satz finden", "Find record"};
inline constexpr TextPair kSaveMarksTitle{"Marken sichern", "Save marks"};
inline constexpr TextPair kLoadMarksTitle{"Marken laden", "Load marks"};
inline constexpr TextPair kMarksFilterName{"ZORBIK-Marken", "ZORBIK marks"};
inline constexpr std::string_view kMarksSuffix = "zlayout";

// What the byte list's keys do, shown as its tooltip.
inline constexpr TextPair kByteListTip{
    "Linksklick oder Taste: Marke setzen\n"
    "  B Zeilenbeginn, [ Spaltenanfang, M Bytemarke, ] Spaltenende, E Zeilenende, Entf keine\n"
    "Rechtsklick oder Taste: Feldtyp setzen\n"
    "  I BinInteger, R BinRealzahl, D Dezimalzahl, P BCD-Zahl, T Text\n"
    "Ziffern: zur Bytenummer springen",
    "Left click or key: set the marker\n"
    "  B record begin, [ column begin, M byte mark, ] column end, E record end, Delete none\n"
    "Right click or key: set the field type\n"
    "  I BinInteger, R BinRealnumber, D Decimalnumber, P BCD-number, T Text\n"
    "Digits: go to that byte number"};

// The code pages offered, as the choice names them.
struct CodePageName {
    std::uint16_t number;
    TextPair name;
};
inline constexpr CodePageName kCodePageNames[] = {
    {437, {"437 – DOS (USA)", "437 – DOS (United States)"}},
    {737, {"737 – DOS Griechisch", "737 – DOS Greek"}},
    {850, {"850 – DOS Westeuropa", "850 – DOS Western Europe"}},
    {852, {"852 – DOS Mitteleuropa", "852 – DOS Central Europe"}},
    {857, {"857 – DOS Türkisch", "857 – DOS Turkish"}},
    {861, {"861 – DOS Isländisch", "861 – DOS Icelandic"}},
    {865, {"865 – DOS Nordisch", "865 – DOS Nordic"}},
    {866, {"866 – DOS Kyrillisch", "866 – DOS Cyrillic"}},
    {874, {"874 – Thai", "874 – Thai"}},
    {1250, {"1250 – Windows Mitteleuropa", "1250 – Windows Central Europe"}},
    {1251, {"1251 – Windows Kyrillisch", "1251 – Windows Cyrillic"}},
    {1252, {"1252 – Windows Westeuropa (ANSI)", "1252 – Windows Western Europe (ANSI)"}},
    {1253, {"1253 – Windows Griechisch", "1253 – Windows Greek"}},
    {1254, {"1254 – Windows Türkisch", "1254 – Windows Turkish"}},
    {1255, {"1255 – Windows Hebräisch", "1255 – Windows Hebrew"}},
    {1256, {"1256 – Windows Arabisch", "1256 – Windows Arabic"}},
    {1257, {"1257 – Windows Baltisch", "1257 – Windows Baltic"}},
    {1258, {"1258 – Windows Vietnamesisch", "1258 – Windows Vietnamese"}},
};

// Caption of the help window.
inline constexpr TextPair kHelpCaption{"HILFE", "HELP"};

// Buttons of the message boxes.
inline constexpr TextPair kYesText{"Ja", "Yes"};
inline constexpr TextPair kNoText{"Nein", "No"};
inline constexpr TextPair kOkText{"OK", "OK"};

} // namespace zorbik
