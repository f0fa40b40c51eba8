#include "messages/Messages.h"

#include <array>

namespace zorbik {
namespace {

struct Entry {
    MessageId id;
    BoxType box;
    std::string_view german;
    std::string_view english;
};

using enum MessageId;
constexpr BoxType kStop = BoxType::Stop;
constexpr BoxType kWarn = BoxType::Exclamation;
constexpr BoxType kAsk = BoxType::QuestionYesNo;
constexpr BoxType kWord = BoxType::None;

// clang-format off
constexpr Entry kCatalogue[] = {
    // The messages keep their texts, typing errors included: users and the
    // help know them by these words.
    {InitFailed, kStop, "Initialisierungsfehler, Programm wird beendet!", "Error on initializing, program will be terminated!"},
    {ImportFileError, kWarn, "Import-Dateifehler", "Import file-error"},
    {FileExists, kWarn, "Datei existiert bereits!", "File exsists!"},
    {MissingLineBegin, kWarn, "Marke für Zeilenbeginn fehlt!", "Missing symbol for linebegin!"},
    {MissingLineEnd, kWarn, "Marke für Zeilenende fehlt!", "Missing symbol for lineend!"},
    {MissingColumnBegin, kWarn, "Marke für Spaltenanfang fehlt!", "Missing symbol for columnbegin!"},
    {MissingColumnEnd, kWarn, "Marke für Spaltenende fehlt!", "Missing symbol for columnend!"},
    {TooManyColumns, kWarn, "Mehr als 65534 Spalten;\nMaximum an Spalten wird übernommen!", "More than 65534 columns;\nmaximum columns is selected!"},
    {TooManyLines, kWarn, "Mehr als 65534 Zeilen;\nMaximum an Zeilen wird übernommen!", "More than 65534 lines;\nmaximum lines is selected!"},
    {KeepSource, kAsk, "Soll die aktuelle Quelldatei beibehalten werden?", "Do you like to keep actual sourcefile?"},
    {WriteError, kStop, "Fehler beim Schreiben der Zieldatei!", "Error on writing target file!"},
    {ColumnMarkAfterEnd, kWarn, "Spaltenmarke hinter dem Satzende!", "Column mark after the end of the record!"},
    {FaultyMarksFile, kWarn, "Markendatei fehlerhaft!", "Faulty marks file!"},
    {ReplaceMarks, kAsk, "Sollen die gesetzten Marken ersetzt werden?", "Replace the marks you have set?"},
    {NoRecordFound, kWarn, "Kein Satzaufbau gefunden!", "No record structure found!"},
    {RecordUncertain, kWarn, "Satzaufbau unsicher: bitte prüfen!", "Record structure uncertain: please check it!"},

    {OpenButton, kWord, "Öffnen", "Open"},
    {MoreBytesButton, kWord, "Mehr Bytes", "More bytes"},
    {ConvertButton, kWord, "Konvertieren", "Convert"},
    {CancelButton, kWord, "Abbruch", "Cancel"},
    {QuitButton, kWord, "Ende", "Quit"},
    {HelpButton, kWord, "Hilfe", "Help"},
    {SaveMarksButton, kWord, "Marken sichern…", "Save marks…"},
    {LoadMarksButton, kWord, "Marken laden…", "Load marks…"},
    {FindRecordButton, kWord, "Satz finden", "Find record"},
    {NumberColumnTitle, kWord, "ByteNr.", "ByteNr."},
    {CharacterColumnTitle, kWord, "ANSI-Zeichen", "ANSI-Character"},
    {FieldTypeColumnTitle, kWord, "Datenfeld-Typ", "Datafield-type"},
    {HexColumnTitle, kWord, "Hex-Byte", "Hex-Byte"},
    {CharacterPrefix, kWord, "ANSI-Zeichen:", "ANSI-character:"},
    {OpenDialogTitle, kWord, "Daten Importieren", "Import data"},
    {OpenFilterName, kWord, "alle Dateien", "all files"},
    {SaveDialogTitle, kWord, "Excel -Sheet Exportieren", "Export Excel -sheet"},
    {SaveFilterName, kWord, "Excel -Sheet", "Excel -Sheet"},
    {PreviewCaption, kWord, "Vorschau: die ersten %1 Zeilen des Arbeitsblatts", "Preview: the first %1 rows of the worksheet"},
    {PreviewFaultRow, kWord, " (Zeile %1; Klick zeigt sie)", " (row %1; click to show it)"},
    {PreviewEmpty, kWord, "Vorschau: erst eine Datei öffnen und einen Satz markieren", "Preview: open a file and mark a record"},
    {CodePageLabel, kWord, "Zeichensatz der Texte:", "Code page of the texts:"},
    {TrimChoice, kWord, "Texte ohne Leerzeichen am Ende", "Trim trailing blanks of texts"},
    {SaveMarksTitle, kWord, "Marken sichern", "Save marks"},
    {LoadMarksTitle, kWord, "Marken laden", "Load marks"},
    {MarksFilterName, kWord, "ZORBIK-Marken", "ZORBIK marks"},
    {ByteListTip, kWord,
     "Linksklick oder Taste: Marke setzen\n"
     "  B Zeilenbeginn, [ Spaltenanfang, M Bytemarke, ] Spaltenende, E Zeilenende, Entf keine\n"
     "Rechtsklick oder Taste: Feldtyp setzen\n"
     "  I BinInteger, R BinRealzahl, D Dezimalzahl, P BCD-Zahl, T Text\n"
     "Ziffern: zur Bytenummer springen",
     "Left click or key: set the marker\n"
     "  B record begin, [ column begin, M byte mark, ] column end, E record end, Delete none\n"
     "Right click or key: set the field type\n"
     "  I BinInteger, R BinRealnumber, D Decimalnumber, P BCD-number, T Text\n"
     "Digits: go to that byte number"},
    {HelpCaption, kWord, "HILFE", "HELP"},
    {YesButton, kWord, "Ja", "Yes"},
    {NoButton, kWord, "Nein", "No"},
    {OkButton, kWord, "OK", "OK"},
    {StatusConverted, kWord, "%1 Zeilen nach %2 geschrieben", "%1 rows written to %2"},
    {StatusCancelled, kWord, "Abgebrochen: die unfertige Datei %1 wurde gelöscht", "Cancelled: the unfinished file %1 was deleted"},

    {TypeText, kWord, "Text", "Text"},
    {TypeBinInteger, kWord, "BinInteger", "BinInteger"},
    {TypeBinReal, kWord, "BinRealzahl", "BinRealnumber"},
    {TypeDecimalNumber, kWord, "Dezimalzahl", "Decimalnumber"},
    {TypeBcd, kWord, "BCD-Zahl", "BCD-number"},
    {TypeNone, kWord, "?-Feldtyp", "?-Fieldtype"},

    {CodePage437, kWord, "437 – DOS (USA)", "437 – DOS (United States)"},
    {CodePage737, kWord, "737 – DOS Griechisch", "737 – DOS Greek"},
    {CodePage850, kWord, "850 – DOS Westeuropa", "850 – DOS Western Europe"},
    {CodePage852, kWord, "852 – DOS Mitteleuropa", "852 – DOS Central Europe"},
    {CodePage857, kWord, "857 – DOS Türkisch", "857 – DOS Turkish"},
    {CodePage861, kWord, "861 – DOS Isländisch", "861 – DOS Icelandic"},
    {CodePage865, kWord, "865 – DOS Nordisch", "865 – DOS Nordic"},
    {CodePage866, kWord, "866 – DOS Kyrillisch", "866 – DOS Cyrillic"},
    {CodePage874, kWord, "874 – Thai", "874 – Thai"},
    {CodePage1250, kWord, "1250 – Windows Mitteleuropa", "1250 – Windows Central Europe"},
    {CodePage1251, kWord, "1251 – Windows Kyrillisch", "1251 – Windows Cyrillic"},
    {CodePage1252, kWord, "1252 – Windows Westeuropa (ANSI)", "1252 – Windows Western Europe (ANSI)"},
    {CodePage1253, kWord, "1253 – Windows Griechisch", "1253 – Windows Greek"},
    {CodePage1254, kWord, "1254 – Windows Türkisch", "1254 – Windows Turkish"},
    {CodePage1255, kWord, "1255 – Windows Hebräisch", "1255 – Windows Hebrew"},
    {CodePage1256, kWord, "1256 – Windows Arabisch", "1256 – Windows Arabic"},
    {CodePage1257, kWord, "1257 – Windows Baltisch", "1257 – Windows Baltic"},
    {CodePage1258, kWord, "1258 – Windows Vietnamesisch", "1258 – Windows Vietnamese"},

    {FileCannotOpen, kWord, "kann nicht geöffnet werden", "cannot be opened"},
    {FileNotRegular, kWord, "ist keine gewöhnliche Datei", "is not a regular file"},
    {FileSizeUnknown, kWord, "ihre Größe ist unbekannt", "its size is unknown"},
    {FileEmpty, kWord, "die Datei ist leer", "the file is empty"},
    {FileUnreadable, kWord, "kann nicht gelesen werden", "cannot be read"},
    {FileCannotCreate, kWord, "kann nicht angelegt werden", "cannot be created"},
    {FileIsSource, kWord, "ist die Quelldatei selbst", "is the source file itself"},
    {FileExistsAlready, kWord, "die Datei gibt es schon", "the file exists"},
    {LayoutIsFolder, kWord, "ist ein Ordner, keine Markendatei", "is a folder, not a layout file"},
    {LayoutTooLarge, kWord, "ist zu groß für eine Markendatei", "is too large to be a layout file"},
    {SystemNoSuchFile, kWord, "Datei oder Ordner nicht gefunden", "No such file or directory"},
    {SystemPermissionDenied, kWord, "keine Berechtigung", "Permission denied"},
    {SystemNotPermitted, kWord, "nicht erlaubt", "Operation not permitted"},
    {SystemReadOnly, kWord, "das Dateisystem ist schreibgeschützt", "Read-only file system"},
    {SystemDiskFull, kWord, "kein Platz mehr auf dem Datenträger", "No space left on device"},
    {SystemIsFolder, kWord, "ist ein Ordner", "Is a directory"},
    {SystemNotFolder, kWord, "ein Teil des Pfades ist kein Ordner", "Not a directory"},
    {SystemExists, kWord, "die Datei gibt es schon", "File exists"},
    {SystemNameTooLong, kWord, "der Name ist zu lang", "File name too long"},
    {SystemLinkLoop, kWord, "zu viele verkettete Verknüpfungen", "Too many levels of symbolic links"},
    {SystemIoError, kWord, "Ein-/Ausgabefehler", "Input/output error"},
    {SystemBusy, kWord, "Gerät oder Datei belegt", "Device or resource busy"},
    {SystemTooManyFiles, kWord, "zu viele offene Dateien", "Too many open files"},

    {LayoutLine, kWord, "Zeile %1: %2", "line %1: %2"},
    {LayoutUnknownCodePage, kWord, "unbekannter Zeichensatz %1 (%2)", "unknown code page %1 (%2)"},
    {LayoutExpectedRowMarker, kWord, "erwartet BYTENUMMER MARKE [TYP], gefunden %1", "expected ROW MARKER [TYPE], got %1"},
    {LayoutNotARow, kWord, "%1 ist keine Bytenummer", "row %1 is not a byte number"},
    {LayoutRowPastEnd, kWord, "Bytenummer %1 liegt am oder hinter dem Ende der Quelldatei (%2 Bytes)", "row %1 lies at or past the end of the source (%2 bytes)"},
    {LayoutRowPastLast, kWord, "Bytenummer %1 liegt hinter der letzten, die markiert werden kann (%2)", "row %1 is past the last row that can be marked (%2)"},
    {LayoutUnknownMarker, kWord, "unbekannte Marke %1 (%2)", "unknown marker %1 (%2)"},
    {LayoutUnknownType, kWord, "unbekannter Feldtyp %1 (%2)", "unknown field type %1 (%2)"},
    {LayoutRowTwice, kWord, "Bytenummer %1 steht zweimal in der Datei", "row %1 is listed twice"},

    {CommandUsage, kWord,
     "Aufruf: zorbik-convert --layout MARKEN [--codepage N] [--trim] [--lang de|en] [--force] [--explain]\n"
     "                       [--format F] [--names] [--no-names] [--bom] [--delimiter D]\n"
     "                       [--table NAME] QUELLE ZIEL\n"
     "        zorbik-convert --layout MARKEN --preview N [--codepage N] [--trim] QUELLE\n"
     "        zorbik-convert --guess [--lang de|en] QUELLE > MARKEN\n"
     "        zorbik-convert --copybook COPYBOOK [--skip N] [--mainframe] [...] QUELLE ZIEL\n"
     "        zorbik-convert --copybook COPYBOOK [--skip N] [--mainframe] --emit-layout > MARKEN\n"
     "\n"
     "Wandelt jeden Satz von QUELLE in eine Zeile von ZIEL um, in Zellen geschnitten, wie die\n"
     "Marken in MARKEN einen Mustersatz beschreiben. Die Endung von ZIEL wählt das Format:\n"
     "  .xls     BIFF2-Arbeitsblatt (höchstens 65534 Zeilen und Spalten, Texte bis 255 Bytes)\n"
     "  .xlsx    Excel-Arbeitsmappe (nach 1048576 Zeilen geht es im nächsten Blatt weiter)\n"
     "  .csv     CSV nach RFC 4180, UTF-8\n"
     "  .sqlite  SQLite-Datenbank mit einer Tabelle (auch .db)\n"
     "In .xlsx, .csv und .sqlite sind Texte aus dem Zeichensatz in Unicode gewandelt.\n"
     "\n"
     "  --guess          Vorspann, Satzlänge und Spalten von QUELLE finden und als\n"
     "                   Markendatei für --layout ausgeben (vor Gebrauch prüfen);\n"
     "                   Rückgabewert 1, wenn kein Satzaufbau gefunden wird\n"
     "                   (bei einer dBASE-, FoxPro- oder Clipper-Tabelle: das Layout aus ihrem Kopf)\n"
     "  --layout MARKEN  die Markendatei (.zlayout, wie Marken sichern im Fenster sie schreibt):\n"
     "                   eine Bytenummer je Zeile, \"ROW MARKER [TYPE [OPTION...]]\"\n"
     "                   MARKER: LineBegin ColumnBegin ByteMark ColumnEnd LineEnd Unmarked\n"
     "                   TYPE:   Text BinInteger BinReal DecimalNumber Bcd Integer Packed\n"
     "                           Zoned Extended Real48 Date PascalText\n"
     "                   OPTION: big unsigned scale=N sign=leading|separate-trailing|...\n"
     "                           ebcdic ibm format=YYMMDD|... days1899 julian cp=N blank-empty\n"
     "  --codepage N     der Zeichensatz der Texte von QUELLE, in ZIEL angegeben, damit\n"
     "                   Tabellenprogramme sie richtig zeigen (Vorgabe 1252 oder die Zeile\n"
     "                   \"codepage N\" der Markendatei):\n%1"
     "                   in .xls werden EBCDIC- und UTF-8-Texte zu 1252 gewandelt\n"
     "  --trim           Textzellen ohne Leerzeichen und Nullbytes am Ende\n"
     "  --lang de|en     Sprache der Meldungen (Vorgabe: aus LC_ALL, LC_MESSAGES, LANG)\n"
     "  --force          ZIEL überschreiben, wenn es die Datei schon gibt\n"
     "  --explain        vor dem Umwandeln den Satzaufbau und jede Spalte ausgeben\n"
     "  --format F       xls, xlsx, csv oder sqlite, statt der Endung von ZIEL\n"
     "  --names          .xls mit einer ersten Zeile der Spaltennamen (jeder Satz eine Zeile tiefer)\n"
     "  --no-names       CSV und .xlsx ohne die erste Zeile mit den Spaltennamen (name= der\n"
     "                   Markendatei, sonst A, B, C ...)\n"
     "  --bom            CSV mit Byte-Order-Mark, für Tabellenprogramme, die sie brauchen\n"
     "  --delimiter D    Trennzeichen der CSV: ',' (Vorgabe), ';' oder '\\t'\n"
     "  --table NAME     Name der SQLite-Tabelle (Vorgabe: der Name von QUELLE)\n"
     "  --preview N      die ersten N Zeilen des Arbeitsblatts ausgeben, Zellen durch\n"
     "                   Tabulatoren getrennt, und keine Datei schreiben\n"
     "  --copybook C     mit dem Satz umwandeln, den das COBOL-Copybook C beschreibt,\n"
     "                   Spalten nach seinen Namen\n"
     "  --skip N         die Sätze beginnen bei Byte N von QUELLE (Vorgabe 0)\n"
     "  --mainframe      EBCDIC (Vorgabe --codepage 037) und die Zahlen des Großrechners\n"
     "  --emit-layout    die Markendatei des Copybooks ausgeben, nichts umwandeln\n"
     "  --help           diesen Text zeigen\n"
     "  --version        die Version zeigen\n"
     "\n"
     "Rückgabewerte: 0 fertig, 1 die Marken beschreiben keinen Satz (--guess: kein Satz\n"
     "gefunden), 2 falsche Argumente, Markendatei, Quelle oder Ziel, 3 das Ziel konnte nicht\n"
     "bis zum Ende geschrieben (oder die Quelle gelesen) werden.\n",
     "Usage: zorbik-convert --layout LAYOUT [--codepage N] [--trim] [--lang de|en] [--force] [--explain]\n"
     "                      [--format F] [--names] [--no-names] [--bom] [--delimiter D]\n"
     "                      [--table NAME] SOURCE TARGET\n"
     "       zorbik-convert --layout LAYOUT --preview N [--codepage N] [--trim] SOURCE\n"
     "       zorbik-convert --guess [--lang de|en] SOURCE > LAYOUT\n"
     "       zorbik-convert --copybook COPYBOOK [--skip N] [--mainframe] [...] SOURCE TARGET\n"
     "       zorbik-convert --copybook COPYBOOK [--skip N] [--mainframe] --emit-layout > LAYOUT\n"
     "\n"
     "Converts every record of SOURCE into one row of TARGET, cut into cells as the marks in\n"
     "LAYOUT describe one prototype record. TARGET's extension chooses the format:\n"
     "  .xls     BIFF2 worksheet (at most 65534 rows and columns, texts up to 255 bytes)\n"
     "  .xlsx    Excel workbook (past 1048576 rows it goes on in the next sheet)\n"
     "  .csv     CSV by RFC 4180, UTF-8\n"
     "  .sqlite  SQLite database of one table (.db too)\n"
     "In .xlsx, .csv and .sqlite the texts are decoded from the code page to Unicode.\n"
     "\n"
     "  --guess          find the header, the record length and the columns of SOURCE and\n"
     "                   print them as a layout file for --layout (check it before use);\n"
     "                   exit code 1 when no record structure is found\n"
     "                   (of a dBASE, FoxPro or Clipper table: what its header says)\n"
     "  --layout LAYOUT  the marks file (.zlayout, as the window's Save marks writes it):\n"
     "                   one row a line, \"ROW MARKER [TYPE [OPTION...]]\"\n"
     "                   MARKER: LineBegin ColumnBegin ByteMark ColumnEnd LineEnd Unmarked\n"
     "                   TYPE:   Text BinInteger BinReal DecimalNumber Bcd Integer Packed\n"
     "                           Zoned Extended Real48 Date PascalText\n"
     "                   OPTION: big unsigned scale=N sign=leading|separate-trailing|...\n"
     "                           ebcdic ibm format=YYMMDD|... days1899 julian cp=N blank-empty\n"
     "  --codepage N     the code page of the source's texts, declared in TARGET so that\n"
     "                   spreadsheet programs show them right (default 1252, or the\n"
     "                   layout file's \"codepage N\" line):\n%1"
     "                   in .xls, EBCDIC and UTF-8 texts are converted to 1252\n"
     "  --trim           text cells without trailing blanks and zero bytes\n"
     "  --lang de|en     language of the messages (default: from LC_ALL, LC_MESSAGES, LANG)\n"
     "  --force          overwrite TARGET if it exists\n"
     "  --explain        print the record layout and every column before converting\n"
     "  --format F       xls, xlsx, csv or sqlite, instead of TARGET's extension\n"
     "  --names          .xls with a first row of column names (every record one row down)\n"
     "  --no-names       CSV and .xlsx without the first line of column names (the layout\n"
     "                   file's name=, else A, B, C ...)\n"
     "  --bom            CSV with a byte order mark, for spreadsheet programs that need one\n"
     "  --delimiter D    the CSV's delimiter: ',' (default), ';' or '\\t'\n"
     "  --table NAME     the SQLite table's name (default: SOURCE's name)\n"
     "  --preview N      print the first N worksheet rows, cells separated by tabs, and\n"
     "                   write no file\n"
     "  --copybook C     convert with the record the COBOL copybook C describes, columns\n"
     "                   named as there\n"
     "  --skip N         the records start at byte N of SOURCE (default 0)\n"
     "  --mainframe      EBCDIC (default --codepage 037) and the mainframe's numbers\n"
     "  --emit-layout    print the copybook's layout file, convert nothing\n"
     "  --help           show this text\n"
     "  --version        show the version\n"
     "\n"
     "Exit codes: 0 done, 1 the marks do not describe a record (--guess: no record found),\n"
     "2 bad arguments, layout file, source or target, 3 the target could not be written\n"
     "(or the source read) to the end.\n"},
    {CommandLicence, kWord, "MIT-Lizenz (siehe LICENSE)", "MIT licence (see LICENSE)"},
    {CommandNeedsValue, kWord, "%1 braucht einen Wert", "%1 needs a value"},
    {CommandUnknownOption, kWord, "unbekannte Option %1", "unknown option %1"},
    {CommandLangValues, kWord, "--lang nimmt de oder en", "--lang takes de or en"},
    {CommandGuessAlone, kWord, "--guess nimmt kein --layout, --force, --explain, --preview, --codepage oder --trim", "--guess takes no --layout, --force, --explain, --preview, --codepage or --trim"},
    {CommandGuessSource, kWord, "--guess erwartet nur QUELLE", "--guess expects SOURCE only"},
    {CommandLayoutMissing, kWord, "--layout MARKEN fehlt", "--layout LAYOUT is missing"},
    {CommandCodePageValues, kWord, "--codepage nimmt einen von %1", "--codepage takes one of %1"},
    {CommandPreviewRows, kWord, "--preview nimmt eine Zeilenzahl von 1 bis 99999", "--preview takes a number of rows from 1 to 99999"},
    {CommandPreviewSource, kWord, "mit --preview nur QUELLE erwartet", "expected SOURCE only with --preview"},
    {CommandSourceAndTarget, kWord, "QUELLE und ZIEL erwartet", "expected SOURCE and TARGET"},
    {CommandAtRow, kWord, "bei Bytenummer %1", "at row %1"},
    {CommandWarning, kWord, "Warnung: %1", "warning: %1"},
    {CommandNotCompleted, kWord, "%1 wurde nicht fertig und ist gelöscht (Datenträger voll, Ein-/Ausgabefehler oder von einem anderen Programm gelöscht)", "%1 was not completed and is gone (disk full, I/O error, or deleted by another program)"},
    {CommandSourceChanged, kWord, "%1 konnte nicht bis zum Ende gelesen werden (während des Umwandelns geändert?); %2 wurde gelöscht", "%1 could not be read to the end (changed while converting?); %2 was deleted"},
    {CommandStopped, kWord, "angehalten; %1 wurde gelöscht", "stopped; %1 was deleted"},
    {CommandNotRead, kWord, "%1 konnte nicht gelesen werden", "%1 could not be read"},
    {CommandExplainRecord, kWord, "Satz: beginnt bei Byte %1, %2 Bytes lang, %3 Sätze", "Record: begins at byte %1, %2 bytes long, %3 records"},
    {CommandExplainOfAll, kWord, " (von %1)", " (of %1)"},
    {CommandExplainColumns, kWord, ", %1 Spalten", ", %1 columns"},
    {CommandExplainOneColumn, kWord, ", 1 Spalte", ", 1 column"},
    {CommandExplainColumn, kWord, "Spalte %1: Bytenummern %2-%3, Typ aus Bytenummer %4, %5, ", "Column %1: rows %2-%3, type row %4, %5, "},
    {CommandExplainByteMarks, kWord, "Bytemarken wählen die Bytes", "byte marks select bytes"},
    {CommandExplainAllBytes, kWord, "alle Bytes (%1)", "all bytes (%1)"},

    {GuessHeading, kWord, "# ZORBIK-Layout, von zorbik-convert --guess geraten: ZEILE MARKE [TYP]", "# ZORBIK layout guessed by zorbik-convert --guess: ROW MARKER [TYPE]"},
    {GuessRecords, kWord, "# Sätze von %1 Bytes ab Byte %2 (Vorspann %2 Bytes), %3 Sätze, %4 Bytes nach dem letzten Satz", "# records of %1 bytes from byte %2 (header %2 bytes), %3 records, %4 bytes after the last record"},
    {GuessConfidence, kWord, "# Sicherheit: %1 %", "# confidence: %1 %"},
    {GuessAlternatives, kWord, "# andere passende Satzlängen (erklären so viel wie die gewählte):", "# other record lengths that fit (explain as much as the chosen one):"},
    {GuessColumn, kWord, "# Spalte %1 (%6): Bytes %2-%3 des Satzes, %4, %5", "# column %1 (%6): bytes %2-%3 of the record, %4, %5"},
    {GuessTooSmall, kWord, "Die Datei ist zu klein für Sätze, die sich wiederholen.", "The file is too small for records that repeat."},
    {GuessNoRepeat, kWord, "Keine Satzstruktur gefunden: Die Bytes wiederholen sich bei keiner Satzlänge.", "No record structure found: the bytes repeat at no record length."},
    {GuessReadError, kWord, "Die Datei konnte nicht gelesen werden.", "The file could not be read."},
    {GuessSummary, kWord, "Sätze von %1 Bytes ab Byte %2, Sicherheit %3 %", "Records of %1 bytes from byte %2, confidence %3 %"},
    {GuessOtherLengths, kWord, "; andere Satzlängen: %1", "; other record lengths: %1"},
    {GuessLowConfidence, kWord, "GERINGE SICHERHEIT: Satzbeginn, Satzlänge und Spalten vor dem Umwandeln prüfen.", "LOW CONFIDENCE: check the record begin, the record length and the columns before converting."},
    {ReasonText, kWord, "Text (druckbare Bytes, aufgefüllt)", "text (printable bytes, padded)"},
    {ReasonNumberText, kWord, "Zahl als Text", "number written as text"},
    {ReasonInteger, kWord, "binäre Ganzzahl (little-endian)", "little-endian binary integer"},
    {ReasonBigEndianInteger, kWord, "binäre Ganzzahl (big-endian: Satznummern, Längen)", "big-endian binary integer (record numbers, lengths)"},
    {ReasonDouble, kWord, "IEEE-Double", "IEEE double"},
    {ReasonSingle, kWord, "IEEE-Single", "IEEE single"},
    {ReasonPackedDecimal, kWord, "gepackte Dezimalzahl (BCD) mit Skalenbyte", "packed decimal (BCD) with scale byte"},
    {ReasonConstant, kWord, "gleichbleibende Bytes (Kennzeichen oder Füllbytes)", "constant bytes (flag or padding)"},
    {ReasonPacked, kWord, "gepackte Dezimalzahl (COBOL COMP-3, Vorzeichen C, D oder F)", "packed decimal (COBOL COMP-3, sign C, D or F)"},
    {ReasonZoned, kWord, "Ziffern mit Vorzeichen auf der letzten (COBOL DISPLAY)", "digits with the sign on the last one (COBOL DISPLAY)"},
    {ReasonDateDigits, kWord, "Datum aus Ziffern (in jedem Satz zwischen 1900 und 2100)", "date written as digits (between 1900 and 2100 in every record)"},
    {ReasonPascalString, kWord, "Pascal-String (Längenbyte, dann so viele Zeichen)", "Pascal string (a length byte, then as many characters)"},
    {ReasonJoined, kWord, "Ein-Byte-Feld mit dem Nachbarn verbunden (allein nicht markierbar)", "one-byte field joined to its neighbour (cannot be marked alone)"},

    {XlsxTooManyColumns, kWarn, "Mehr als 16384 Spalten: so viele fasst ein .xlsx-Blatt nicht!", "More than 16384 columns: an .xlsx sheet holds no more!"},
    {NoteUndefinedBytes, kWord, "%1 Bytes hatten kein Zeichen im Zeichensatz %2", "%1 bytes had no character in code page %2"},
    {NoteTextsCut, kWord, "%1 Texte waren länger als 32767 Zeichen und wurden gekürzt", "%1 texts were longer than 32767 characters and were cut"},
    {SaveFilterXlsx, kWord, "Excel-Arbeitsmappe", "Excel workbook"},
    {SaveFilterCsv, kWord, "CSV, durch Kommas getrennt, UTF-8", "CSV, comma-separated, UTF-8"},
    {SaveFilterSqlite, kWord, "SQLite-Datenbank", "SQLite database"},
    {CommandFormatValues, kWord, "--format verlangt xls, xlsx, csv oder sqlite", "--format takes xls, xlsx, csv or sqlite"},
    {CommandUnknownTarget, kWord, "%1: unbekannte Endung; ZIEL endet auf .xls, .xlsx, .csv oder .sqlite (.db), oder --format nennt das Format", "%1: unknown extension; TARGET ends in .xls, .xlsx, .csv or .sqlite (.db), or --format names the format"},
    {CommandFormatMissing, kWord, "%1 kann dieses Programm nicht schreiben (ohne die Bibliothek gebaut)", "this build cannot write %1 (built without its library)"},
    {CommandDelimiterValues, kWord, "--delimiter verlangt ',', ';' oder '\\t'", "--delimiter takes ',', ';' or '\\t'"},
    {CommandTableName, kWord, "--table verlangt einen Namen aus Buchstaben, Ziffern und _, der nicht mit einer Ziffer beginnt", "--table takes a name of letters, digits and _ that does not begin with a digit"},
    {CommandOnlyFor, kWord, "%1 gilt nur für %2", "%1 applies to %2 only"},

    {TypeInteger, kWord, "Ganzzahl", "Integer"},
    {TypePacked, kWord, "Gepackt (COMP-3)", "Packed (COMP-3)"},
    {TypeZoned, kWord, "Gezont (DISPLAY)", "Zoned (DISPLAY)"},
    {TypeExtended, kWord, "Extended (80 Bit)", "Extended (80-bit)"},
    {TypeReal48, kWord, "Real48 (Pascal)", "Real48 (Pascal)"},
    {TypeDate, kWord, "Datum", "Date"},
    {TypePascalText, kWord, "Pascal-Text", "Pascal text"},
    {FieldWidthWrong, kWarn, "Die Feldbreite passt nicht zum Feldtyp!", "The field's width does not fit its type!"},
    {FieldWidthDetail, kWord, "Ein Feld vom Typ %1 ist %2 Bytes lang, nicht %3.", "A field of type %1 is %2 bytes long, not %3."},
    {NoteInvalidFields, kWord, "Spalte %1 (%2): %3 Felder %4, das erste in Satz %5", "column %1 (%2): %3 fields %4, first in record %5"},
    {NoteInvalidField, kWord, "Spalte %1 (%2): ein Feld %4, in Satz %5", "column %1 (%2): one field %4, in record %5"},
    {ReasonInvalidDigits, kWord, "mit ungültigen Ziffern", "with invalid digits"},
    {ReasonInvalidDate, kWord, "ohne gültiges Datum", "with no valid date"},
    {ReasonTextLength, kWord, "mit einer Länge über das Feld hinaus", "with a length past the field"},
    {InvalidCell, kWord, "‹ungültig›", "‹invalid›"},
    {FieldDialogTitle, kWord, "Feldtyp", "Field type"},
    {FieldDialogType, kWord, "&Typ:", "&Type:"},
    {FieldDialogBig, kWord, "&Big-Endian (höchstwertiges Byte zuerst)", "&Big-endian (most significant byte first)"},
    {FieldDialogUnsigned, kWord, "&Ohne Vorzeichen", "&Unsigned"},
    {FieldDialogScale, kWord, "&Nachkommastellen (gedacht):", "Implied &decimals:"},
    {FieldDialogSign, kWord, "&Vorzeichen:", "&Sign:"},
    {SignTrailing, kWord, "in der letzten Ziffer", "in the last digit"},
    {SignLeading, kWord, "in der ersten Ziffer", "in the first digit"},
    {SignSeparateTrailing, kWord, "eigenes Zeichen am Ende", "own character at the end"},
    {SignSeparateLeading, kWord, "eigenes Zeichen am Anfang", "own character at the start"},
    {FieldDialogEbcdic, kWord, "&EBCDIC (Großrechner)", "&EBCDIC (mainframe)"},
    {FieldDialogIbm, kWord, "&IBM-Gleitkomma (Großrechner)", "&IBM floating point (mainframe)"},
    {FieldDialogDate, kWord, "&Datumsform:", "Date &form:"},
    {DateDays1899, kWord, "TDateTime (Tage seit 30.12.1899)", "TDateTime (days since 1899-12-30)"},
    {FieldDialogCodePage, kWord, "&Zeichensatz:", "&Code page:"},
    {CodePageOfSource, kWord, "wie die ganze Datei", "as the whole file"},
    {FieldTypeButton, kWord, "Feldtyp…", "Field type…"},
    {CopybookAt, kWord, "Copybook Zeile %1, Spalte %2: %3", "copybook line %1, column %2: %3"},
    {CopybookTooLarge, kWord, "Das Copybook ist größer als %1 Bytes", "the copybook is larger than %1 bytes"},
    {CopybookLineTooLong, kWord, "Zeile länger als %1 Zeichen", "line longer than %1 characters"},
    {CopybookOpenLiteral, kWord, "Literal ohne schließendes Anführungszeichen", "literal without its closing quote"},
    {CopybookExpectedLevel, kWord, "Stufennummer erwartet statt „%1“", "a level number expected instead of '%1'"},
    {CopybookBadLevel, kWord, "Stufennummer %1 gibt es nicht (01–49, 66, 77, 88)", "there is no level number %1 (01–49, 66, 77, 88)"},
    {CopybookBadName, kWord, "„%1“ ist kein Datenname (Buchstaben, Ziffern, - und _)", "'%1' is no data name (letters, digits, - and _)"},
    {CopybookUnknownClause, kWord, "unbekannte Klausel „%1“", "unknown clause '%1'"},
    {CopybookMissingOperand, kWord, "nach %1 fehlt die Angabe", "%1 needs a value after it"},
    {CopybookUnknownUsage, kWord, "USAGE %1 wird nicht unterstützt (DISPLAY, COMP, COMP-1 bis COMP-5, BINARY, PACKED-DECIMAL)", "USAGE %1 is not supported (DISPLAY, COMP, COMP-1 to COMP-5, BINARY, PACKED-DECIMAL)"},
    {CopybookBadPicture, kWord, "PICTURE „%1“ ist ungültig oder passt nicht zu USAGE %2", "PICTURE '%1' is invalid or does not fit USAGE %2"},
    {CopybookTooManyDigits, kWord, "PICTURE „%1“ hat %2 Stellen, USAGE %3 höchstens %4", "PICTURE '%1' has %2 digits, USAGE %3 at most %4"},
    {CopybookScaleRight, kWord, "PICTURE „%1“: P rechts der Ziffern (Vielfache einer Zehnerpotenz) wird nicht unterstützt", "PICTURE '%1': P right of the digits (multiples of a power of ten) is not supported"},
    {CopybookNoPicture, kWord, "„%1“ hat weder PICTURE noch untergeordnete Felder", "'%1' has neither a PICTURE nor subordinate items"},
    {CopybookPictureAndItems, kWord, "„%1“ hat PICTURE oder USAGE COMP-1/COMP-2 und darf keine untergeordneten Felder haben", "'%1' has a PICTURE or USAGE COMP-1/COMP-2 and cannot have subordinate items"},
    {CopybookUnknownRedefines, kWord, "REDEFINES %1: kein vorangehendes Feld dieser Stufe heißt so", "REDEFINES %1: no item of this level before it has that name"},
    {CopybookSyncInTable, kWord, "SYNC innerhalb von OCCURS wird nicht unterstützt", "SYNC inside OCCURS is not supported"},
    {CopybookTooManyItems, kWord, "mehr als %1 Datenfelder", "more than %1 data items"},
    {CopybookEntryTooLong, kWord, "Eintrag mit mehr als %1 Wörtern (fehlt ein Punkt?)", "an entry of more than %1 words (a period missing?)"},
    {CopybookRecordTooLong, kWord, "der Satz wäre länger als %1 Bytes", "the record would be longer than %1 bytes"},
    {CopybookTooManyFields, kWord, "mehr als %1 Spalten", "more than %1 columns"},
    {CopybookNoFields, kWord, "das Copybook beschreibt kein benanntes Feld", "the copybook describes no named field"},
    {NoteCopybookRenames, kWord, "Zeile %1: RENAMES (%2) übergangen", "line %1: RENAMES (%2) ignored"},
    {NoteCopybookDepending, kWord, "Zeile %1: %2 OCCURS … DEPENDING ON %3 mit der größten Anzahl %4 ausgelegt; Sätze variabler Länge werden nicht gelesen", "line %1: %2 OCCURS … DEPENDING ON %3 laid out at its maximum of %4; records of varying length are not read"},
    {NoteCopybookRedefines, kWord, "Zeile %1: %2 (Bytes %3–%4) überlagert %5 (REDEFINES) und wird nicht konvertiert", "line %1: %2 (bytes %3–%4) redefines %5 and is not converted"},
    {NoteCopybookOtherRecord, kWord, "Zeile %1: weiterer Satz %2 (Bytes 0–%3) wird nicht konvertiert", "line %1: another record %2 (bytes 0–%3) is not converted"},
    {NoteCopybookSync, kWord, "Zeile %1: %2 Füllbytes vor %3 (SYNC)", "line %1: %2 slack bytes before %3 (SYNC)"},
    {NoteCopybookSameName, kWord, "Zeile %1: der Name %2 kommt mehrfach vor; diese Spalte heißt %3", "line %1: the name %2 occurs more than once; this column is named %3"},
    {CommandCopybookLeftover, kWord, "%1 Bytes am Ende der Quelle sind kein ganzer Satz von %2 Bytes und werden nicht konvertiert", "%1 bytes at the end of the source are no whole record of %2 bytes and are not converted"},
    {CommandCopybookTooLong, kWord, "Der Satz des Copybooks (%1 Bytes) ist länger als die Quelle ab Byte %2 (%3 Bytes)", "The copybook's record (%1 bytes) is longer than the source from byte %2 (%3 bytes)"},
    {CommandCopybookAlone, kWord, "--copybook geht nicht zusammen mit --layout oder --guess; --emit-layout und --skip nur mit --copybook", "--copybook does not go with --layout or --guess; --emit-layout and --skip only with --copybook"},
    {CommandEmitLayout, kWord, "Layout aus dem Copybook %1", "layout from the copybook %1"},
    {CommandMainframePage, kWord, "--mainframe braucht einen EBCDIC-Zeichensatz (037, 273, 500, 1140)", "--mainframe needs an EBCDIC code page (037, 273, 500, 1140)"},
    {LoadCopybookButton, kWord, "Copybook laden…", "Load copybook…"},
    {LoadCopybookTitle, kWord, "COBOL-Copybook laden", "Load COBOL copybook"},
    {CopybookFilterName, kWord, "COBOL-Copybooks", "COBOL copybooks"},
    {CopybookNotesTitle, kWarn, "Hinweise zum Copybook:", "Notes on the copybook:"},
    {LayoutUnknownOption, kWord, "Angabe %1 gilt nicht für %2 (%2 kennt: %3)", "option %1 does not apply to %2 (%2 takes: %3)"},
    {CodePage037, kWord, "037 – EBCDIC USA/Kanada", "037 – EBCDIC US/Canada"},
    {CodePage273, kWord, "273 – EBCDIC Deutschland/Österreich", "273 – EBCDIC Germany/Austria"},
    {CodePage500, kWord, "500 – EBCDIC International", "500 – EBCDIC International"},
    {CodePage1140, kWord, "1140 – EBCDIC USA/Kanada mit Euro", "1140 – EBCDIC US/Canada with euro"},
    {CodePageUtf8, kWord, "UTF-8", "UTF-8"},
    {ColumnWidthWrong, kWarn, "Die Breite einer Spalte (width=) passt nicht in den Satz!",
     "A column's width (width=) does not fit the record!"},
    {WidthPastRecord, kWord, "Die Spalte von %1 Bytes an Byte %2 reicht über das Satzende hinaus.",
     "The column of %1 bytes at row %2 runs past the record's end."},
    {WidthOverlaps, kWord, "Die Spalte von %1 Bytes an Byte %2 überdeckt eine andere Spalte.",
     "The column of %1 bytes at row %2 overlaps another column."},
    {LayoutBadName, kWord, "Name %1: nur Buchstaben, Ziffern, _ und - (höchstens 64)",
     "name %1: letters, digits, _ and - only (64 at most)"},
    {LayoutNameTwice, kWord, "Name %1 steht zweimal in der Datei", "name %1 is used twice"},
    {LayoutBadWidth, kWord, "Breite %1: eine ganze Zahl ab 1", "width %1: a whole number from 1 on"},
    {SheetNamesChoice, kWord, "Namen in .xls", "Names in .xls"},
    {SheetNamesTip, kWord, "Eine .xls-Datei bekommt eine erste Zeile mit den Spaltennamen; jeder Satz steht dann eine Zeile tiefer.",
     "An .xls file gets a first row of the column names; every record is then one row further down."},
    {NameTaken, kWarn, "Diesen Spaltennamen trägt schon eine andere Zeile!", "Another row already has this column name!"},
    {FieldDialogName, kWord, "Spalten&name:", "Column &name:"},
    {FieldDialogWidth, kWord, "&Breite in Bytes (0: nach den Marken):", "&Width in bytes (0: as marked):"},
    {DateJulian, kWord, "Julianischer Tag und Millisekunden (FoxPro)", "Julian day and milliseconds (FoxPro)"},
    {FieldDialogBlankEmpty, kWord, "Nur Leerzeichen oder * ergeben eine leere Zelle (dBASE)", "Only blanks or * give an empty cell (dBASE)"},
    {TableFoundNotes, kWarn, "Tabelle an ihrem Kopf erkannt: bitte die Hinweise lesen!", "Table recognised by its header: please read the notes!"},
    {TableKindFoxBase, kWord, "FoxBASE", "FoxBASE"},
    {TableKindDbase3, kWord, "dBASE III/IV, FoxPro, Clipper", "dBASE III/IV, FoxPro, Clipper"},
    {TableKindDbase3Memo, kWord, "dBASE III/Clipper mit Memos", "dBASE III/Clipper with memos"},
    {TableKindDbase4, kWord, "dBASE IV/V", "dBASE IV/V"},
    {TableKindFoxPro, kWord, "FoxPro 2", "FoxPro 2"},
    {TableKindVisualFoxPro, kWord, "Visual FoxPro", "Visual FoxPro"},
    {TableKindClipper, kWord, "Clipper (SIX)", "Clipper (SIX)"},
    {TableHeading, kWord, "# ZORBIK-Layout aus dem Kopf der Tabelle gelesen (%1, Versionsbyte %2h): ZEILE MARKE [TYP]", "# ZORBIK layout read from the table's header (%1, version byte %2h): ROW MARKER [TYPE]"},
    {TableFound, kWord, "Tabelle (%1) erkannt: %2 Sätze von %3 Bytes ab Byte %4, Sicherheit 100 %", "Table (%1) recognised: %2 records of %3 bytes from byte %4, confidence 100 %"},
    {TableField, kWord, "# Spalte %1: Bytes %2-%3 des Satzes, %4", "# column %1: bytes %2-%3 of the record, %4"},
    {TableNoteMemo, kWord, "Feld %1 (%2) steht in einer Memo-Datei: umgewandelt wird nur die Nummer seines Blocks.", "Field %1 (%2) lives in a memo file: only its block number is converted."},
    {TableNoteWideNumber, kWord, "Feld %1 ist eine Zahl von %2 Zeichen, breiter als 20: Es wird als Text umgewandelt.", "Field %1 is a number of %2 characters, wider than 20: it is converted as text."},
    {TableNoteNullFlags, kWord, "Das Systemfeld %1 (die Null-Kennzeichen von Visual FoxPro) wird nicht umgewandelt.", "The system field %1 (Visual FoxPro's null flags) is not converted."},
    {TableNoteUnknownPage, kWord, "Der Sprachtreiber %1h nennt Codepage %2, die ZORBIK nicht kennt: Codepage vor dem Umwandeln wählen.", "The language driver %1h names code page %2, which ZORBIK does not know: choose the code page before converting."},
    {TableNoteNoPage, kWord, "Der Kopf nennt keine Codepage (Sprachtreiber %1h): Codepage vor dem Umwandeln prüfen.", "The header names no code page (language driver %1h): check the code page before converting."},
};

// The byte list's names of the control characters 00h to 1Fh and the blank.
constexpr std::array<std::pair<std::string_view, std::string_view>, 33> kControlCharNames = {{
    {"Fernschreiber-Code(Leer)", "Teletype-Code(Null)"},
    {"Fernschreiber-Code(Anfang der Kopfzeile)", "Teletype-Code(Start of Heading)"},
    {"Fernschreiber-Code(Textanfang)", "Teletype-Code(Start of Text)"},
    {"Fernschreiber-Code(Textende)", "Teletype-Code(End of Text)"},
    {"Fernschreiber-Code(Übertragungsende)", "Teletype-Code(End of Transmission)"},
    {"Fernschreiber-Code(Stationsaufforderung)", "Teletype-Code(Enquiry)"},
    {"Fernschreiber-Code(Positive Rückmeldung)", "Teletype-Code(Acknowledge)"},
    {"Fernschreiber-Code(Klingel)", "Teletype-Code(Bell)"},
    {"Fernschreiber-Code(Rückwärtsschritt)", "Teletype-Code(Backspace)"},
    {"Tabulator", "Horizontal Tabulation"},
    {"Zeilenvorschub", "Line Feed"},
    {"Fernschreiber-Code(Vertikal-Tab)", "Vertical Tabulation"},
    {"Fernschreiber-Code(Formularvorschub)", "Form Feed"},
    {"Wagenrücklauf", "Carriage Return"},
    {"Fernschreiber-Code(Caps-Lock)", "Teletype-Code(Shift Out)"},
    {"Fernschreiber-Code(Caps-Lock lösen)", "Teletype-Code(Shift In)"},
    {"Fernschreiber-Code(Datenübertragung umschalten)", "Teletype-Code(Data Link Escape)"},
    {"Fernschreiber-Code(Gerätesteuerung1)", "Teletype-Code(Device Control 1)"},
    {"Fernschreiber-Code(Gerätesteuerung2)", "Teletype-Code(Device Control 2)"},
    {"Fernschreiber-Code(Gerätesteuerung3)", "Teletype-Code(Device Control 3)"},
    {"Fernschreiber-Code(Gerätesteuerung4)", "Teletype-Code(Device Control 4)"},
    {"Fernschreiber-Code(Negative Rückmeldung)", "Teletype-Code(Negative Acknowledge)"},
    {"Fernschreiber-Code(Synchronisieren)", "Teletype-Code(Synchronous Idle)"},
    {"Fernschreiber-Code(Ende des Übertragungsblocks)", "Teletype-Code(End of Transmission Block)"},
    {"Fernschreiber-Code(Abbrechen)", "Teletype-Code(Cancel)"},
    {"Fernschreiber-Code(Aufzeichnungsende)", "Teletype-Code(End of Medium)"},
    {"Fernschreiber-Code(Substitution/Dateiende)", "Teletype-Code(Substitute)"},
    {"Escape-Sequenzen(Escape)", "Escape-Sequenzen(Escape)"},
    {"Fernschreiber-Code(Dateitrennzeichen)", "Teletype-Code(File Separator)"},
    {"Fernschreiber-Code(Gruppentrennzeichen)", "Teletype-Code(Group Separator)"},
    {"Fernschreiber-Code(Datensatztrennzeichen)", "Teletype-Code(Record Separator)"},
    {"Fernschreiber-Code(Dateneiheitstrennzeichen)", "Teletype-Code(Unit Separator)"},
    {"Leertaste", "Space"},
}};
// clang-format on

constexpr std::size_t kIdCount = 650;

// Where each id stands in the catalogue; -1 for ids without a text.
constexpr std::array<std::int16_t, kIdCount> MakeIndex()
{
    std::array<std::int16_t, kIdCount> index{};
    index.fill(-1);
    for (std::size_t i = 0; i < std::size(kCatalogue); ++i)
        index[static_cast<std::size_t>(kCatalogue[i].id)] = static_cast<std::int16_t>(i);
    return index;
}
constexpr auto kIndex = MakeIndex();

constexpr bool EveryIdOnce()
{
    std::array<bool, kIdCount> seen{};
    for (const Entry& entry : kCatalogue) {
        const auto id = static_cast<std::size_t>(entry.id);
        if (id >= kIdCount || seen[id] || entry.german.empty() || entry.english.empty())
            return false;
        seen[id] = true;
    }
    return true;
}
static_assert(EveryIdOnce(), "each id has one entry, with a German and an English text");

const Entry* Find(MessageId id)
{
    const auto at = static_cast<std::size_t>(id);
    if (at >= kIdCount || kIndex[at] < 0)
        return nullptr;
    return &kCatalogue[static_cast<std::size_t>(kIndex[at])];
}

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

std::string_view Text(MessageId id, UiLanguage language)
{
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return {};
    return language == UiLanguage::German ? entry->german : entry->english;
}

std::string Say(MessageId id, UiLanguage language, std::initializer_list<std::string_view> args)
{
    return Say(id, language, std::vector<std::string>(args.begin(), args.end()));
}

std::string Say(MessageId id, UiLanguage language, const std::vector<std::string>& args)
{
    const std::string_view pattern = Text(id, language);
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto n = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
            text += args[n];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

BoxType BoxOf(MessageId id)
{
    const Entry* entry = Find(id);
    return entry == nullptr ? BoxType::None : entry->box;
}

std::string_view ControlCharName(std::uint8_t byte, UiLanguage language)
{
    if (byte >= kControlCharNames.size())
        return {};
    const auto& [german, english] = kControlCharNames[byte];
    return language == UiLanguage::German ? german : english;
}

} // namespace zorbik
