#include "messages/Messages.h"

#include <array>
#include <cstring>

namespace zorbik {
namespace {

constexpr int kTableSize = 128;

// German ids 0..63, English ids 64..127.
constexpr std::array<std::string_view, kTableSize> MakeTable()
{
    std::array<std::string_view, kTableSize> t{};
    t[0] = "Fernschreiber-Code(Leer)";
    t[1] = "Fernschreiber-Code(Anfang der Kopfzeile)";
    t[2] = "Fernschreiber-Code(Textanfang)";
    t[3] = "Fernschreiber-Code(Textende)";
    t[4] = "Fernschreiber-Code(Übertragungsende)";
    t[5] = "Fernschreiber-Code(Stationsaufforderung)";
    t[6] = "Fernschreiber-Code(Positive Rückmeldung)";
    t[7] = "Fernschreiber-Code(Klingel)";
    t[8] = "Fernschreiber-Code(Rückwärtsschritt)";
    t[9] = "Tabulator";
    t[10] = "Zeilenvorschub";
    t[11] = "Fernschreiber-Code(Vertikal-Tab)";
    t[12] = "Fernschreiber-Code(Formularvorschub)";
    t[13] = "Wagenrücklauf";
    t[14] = "Fernschreiber-Code(Caps-Lock)";
    t[15] = "Fernschreiber-Code(Caps-Lock lösen)";
    t[16] = "Fernschreiber-Code(Datenübertragung umschalten)";
    t[17] = "Fernschreiber-Code(Gerätesteuerung1)";
    t[18] = "Fernschreiber-Code(Gerätesteuerung2)";
    t[19] = "Fernschreiber-Code(Gerätesteuerung3)";
    t[20] = "Fernschreiber-Code(Gerätesteuerung4)";
    t[21] = "Fernschreiber-Code(Negative Rückmeldung)";
    t[22] = "Fernschreiber-Code(Synchronisieren)";
    t[23] = "Fernschreiber-Code(Ende des Übertragungsblocks)";
    t[24] = "Fernschreiber-Code(Abbrechen)";
    t[25] = "Fernschreiber-Code(Aufzeichnungsende)";
    t[26] = "Fernschreiber-Code(Substitution/Dateiende)";
    t[27] = "Escape-Sequenzen(Escape)";
    t[28] = "Fernschreiber-Code(Dateitrennzeichen)";
    t[29] = "Fernschreiber-Code(Gruppentrennzeichen)";
    t[30] = "Fernschreiber-Code(Datensatztrennzeichen)";
    t[31] = "Fernschreiber-Code(Dateneiheitstrennzeichen)";
    t[32] = "Leertaste";
    t[33] = "Initialisierungsfehler, Programm wird beendet!";
    t[34] = "Import-Dateifehler";
    t[35] = "Datei existiert bereits!";
    t[36] = "Marke für Zeilenbeginn fehlt!";
    t[37] = "Marke für Zeilenende fehlt!";
    t[38] = "Marke für Spaltenanfang fehlt!";
    t[39] = "Marke für Spaltenende fehlt!";
    t[40] = "Mehr als 65534 Spalten;\nMaximum an Spalten wird übernommen!";
    t[42] = "Mehr als 65534 Zeilen;\nMaximum an Zeilen wird übernommen!";
    t[43] = "Soll die aktuelle Quelldatei beibehalten werden?";
    t[44] = "Fehler beim Schreiben der Zieldatei!";
    t[45] = "Spaltenmarke hinter dem Satzende!";
    t[46] = "Markendatei fehlerhaft!";
    t[47] = "Sollen die gesetzten Marken ersetzt werden?";
    t[48] = "Kein Satzaufbau gefunden!";
    t[49] = "Satzaufbau unsicher: bitte prüfen!";

    t[64 + 0] = "Teletype-Code(Null)";
    t[64 + 1] = "Teletype-Code(Start of Heading)";
    t[64 + 2] = "Teletype-Code(Start of Text)";
    t[64 + 3] = "Teletype-Code(End of Text)";
    t[64 + 4] = "Teletype-Code(End of Transmission)";
    t[64 + 5] = "Teletype-Code(Enquiry)";
    t[64 + 6] = "Teletype-Code(Acknowledge)";
    t[64 + 7] = "Teletype-Code(Bell)";
    t[64 + 8] = "Teletype-Code(Backspace)";
    t[64 + 9] = "Horizontal Tabulation";
    t[64 + 10] = "Line Feed";
    t[64 + 11] = "Vertical Tabulation";
    t[64 + 12] = "Form Feed";
    t[64 + 13] = "Carriage Return";
    t[64 + 14] = "Teletype-Code(Shift Out)";
    t[64 + 15] = "Teletype-Code(Shift In)";
    t[64 + 16] = "Teletype-Code(Data Link Escape)";
    t[64 + 17] = "Teletype-Code(Device Control 1)";
    t[64 + 18] = "Teletype-Code(Device Control 2)";
    t[64 + 19] = "Teletype-Code(Device Control 3)";
    t[64 + 20] = "Teletype-Code(Device Control 4)";
    t[64 + 21] = "Teletype-Code(Negative Acknowledge)";
    t[64 + 22] = "Teletype-Code(Synchronous Idle)";
    t[64 + 23] = "Teletype-Code(End of Transmission Block)";
    t[64 + 24] = "Teletype-Code(Cancel)";
    t[64 + 25] = "Teletype-Code(End of Medium)";
    t[64 + 26] = "Teletype-Code(Substitute)";
    t[64 + 27] = "Escape-Sequenzen(Escape)";
    t[64 + 28] = "Teletype-Code(File Separator)";
    t[64 + 29] = "Teletype-Code(Group Separator)";
    t[64 + 30] = "Teletype-Code(Record Separator)";
    t[64 + 31] = "Teletype-Code(Unit Separator)";
    t[64 + 32] = "Space";
    t[64 + 33] = "Error on initializing, program will be terminated!";
    t[64 + 34] = "Import file-error";
    t[64 + 35] = "File exsists!";
    t[64 + 36] = "Missing symbol for linebegin!";
    t[64 + 37] = "Missing symbol for lineend!";
    t[64 + 38] = "Missing symbol for columnbegin!";
    t[64 + 39] = "Missing symbol for columnend!";
    t[64 + 40] = "More than 65534 columns;\nmaximum columns is selected!";
    t[64 + 42] = "More than 65534 lines;\nmaximum lines is selected!";
    t[64 + 43] = "Do you like to keep actual sourcefile?";
    t[64 + 44] = "Error on writing target file!";
    t[64 + 45] = "Column mark after the end of the record!";
    t[64 + 46] = "Faulty marks file!";
    t[64 + 47] = "Replace the marks you have set?";
    t[64 + 48] = "No record structure found!";
    t[64 + 49] = "Record structure uncertain: please check it!";
    return t;
}

constexpr auto kTable = MakeTable();

bool StartsWithDe(const char* value)
{
    return value[0] == 'd' && value[1] == 'e';
}

} // namespace

UiLanguage LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang)
{
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && value[0] != '\0')
            return StartsWithDe(value) ? UiLanguage::German : UiLanguage::English;
    }
    return UiLanguage::English;
}

std::string_view LoadLocalisedString(int id, UiLanguage language)
{
    if (id < 0 || id >= 64)
        return {};
    return kTable[static_cast<std::size_t>(language == UiLanguage::German ? id : id + 64)];
}

int BoxTypeOf(int messageId)
{
    switch (messageId) {
    case MsgInitFailed:
    case MsgWriteError:
        return BoxStop;
    case MsgKeepSource:
    case MsgReplaceMarks:
        return BoxQuestionYesNo;
    default:
        return BoxExclamation;
    }
}

} // namespace zorbik
