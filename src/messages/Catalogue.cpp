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
     "                       [--format F] [--no-names] [--bom] [--delimiter D] [--table NAME] QUELLE ZIEL\n"
     "        zorbik-convert --layout MARKEN --preview N [--codepage N] [--trim] QUELLE\n"
     "        zorbik-convert --guess [--lang de|en] QUELLE > MARKEN\n"
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
     "  --layout MARKEN  die Markendatei (.zlayout, wie Marken sichern im Fenster sie schreibt):\n"
     "                   eine Bytenummer je Zeile, \"ROW MARKER [TYPE [OPTION...]]\"\n"
     "                   MARKER: LineBegin ColumnBegin ByteMark ColumnEnd LineEnd Unmarked\n"
     "                   TYPE:   Text BinInteger BinReal DecimalNumber Bcd Integer Packed\n"
     "                           Zoned Extended Real48 Date PascalText\n"
     "                   OPTION: big unsigned scale=N sign=leading|separate-trailing|...\n"
     "                           ebcdic ibm format=YYMMDD|... days1899 cp=N\n"
     "  --codepage N     der Zeichensatz der Texte von QUELLE, in ZIEL angegeben, damit\n"
     "                   Tabellenprogramme sie richtig zeigen (Vorgabe 1252 oder die Zeile\n"
     "                   \"codepage N\" der Markendatei):\n%1"
     "                   in .xls werden EBCDIC- und UTF-8-Texte zu 1252 gewandelt\n"
     "  --trim           Textzellen ohne Leerzeichen und Nullbytes am Ende\n"
     "  --lang de|en     Sprache der Meldungen (Vorgabe: aus LC_ALL, LC_MESSAGES, LANG)\n"
     "  --force          ZIEL überschreiben, wenn es die Datei schon gibt\n"
     "  --explain        vor dem Umwandeln den Satzaufbau und jede Spalte ausgeben\n"
     "  --format F       xls, xlsx, csv oder sqlite, statt der Endung von ZIEL\n"
     "  --no-names       CSV und .xlsx ohne die erste Zeile mit den Spaltennamen (A, B, C ...)\n"
     "  --bom            CSV mit Byte-Order-Mark, für Tabellenprogramme, die sie brauchen\n"
     "  --delimiter D    Trennzeichen der CSV: ',' (Vorgabe), ';' oder '\\t'\n"
     "  --table NAME     Name der SQLite-Tabelle (Vorgabe: der Name von QUELLE)\n"
     "  --preview N      die ersten N Zeilen des Arbeitsblatts ausgeben, Zellen durch\n"
     "                   Tabulatoren getrennt, und keine Datei schreiben\n"
     "  --help           diesen Text zeigen\n"
     "  --version        die Version zeigen\n"
     "\n"
     "Rückgabewerte: 0 fertig, 1 die Marken beschreiben keinen Satz (--guess: kein Satz\n"
     "gefunden), 2 falsche Argumente, Markendatei, Quelle oder Ziel, 3 das Ziel konnte nicht\n"
     "bis zum Ende geschrieben (oder die Quelle gelesen) werden.\n",
     "Usage: zorbik-convert --layout LAYOUT [--codepage N] [--trim] [--lang de|en] [--force] [--explain]\n"
     "                      [--format F] [--no-names] [--bom] [--delimiter D] [--table NAME] SOURCE TARGET\n"
     "       zorbik-convert --layout LAYOUT --preview N [--codepage N] [--trim] SOURCE\n"
     "       zorbik-convert --guess [--lang de|en] SOURCE > LAYOUT\n"
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
     "  --layout LAYOUT  the marks file (.zlayout, as the window's Save marks writes it):\n"
     "                   one row a line, \"ROW MARKER [TYPE [OPTION...]]\"\n"
     "                   MARKER: LineBegin ColumnBegin ByteMark ColumnEnd LineEnd Unmarked\n"
     "                   TYPE:   Text BinInteger BinReal DecimalNumber Bcd Integer Packed\n"
     "                           Zoned Extended Real48 Date PascalText\n"
     "                   OPTION: big unsigned scale=N sign=leading|separate-trailing|...\n"
     "                           ebcdic ibm format=YYMMDD|... days1899 cp=N\n"
     "  --codepage N     the code page of the source's texts, declared in TARGET so that\n"
     "                   spreadsheet programs show them right (default 1252, or the\n"
     "                   layout file's \"codepage N\" line):\n%1"
     "                   in .xls, EBCDIC and UTF-8 texts are converted to 1252\n"
     "  --trim           text cells without trailing blanks and zero bytes\n"
     "  --lang de|en     language of the messages (default: from LC_ALL, LC_MESSAGES, LANG)\n"
     "  --force          overwrite TARGET if it exists\n"
     "  --explain        print the record layout and every column before converting\n"
     "  --format F       xls, xlsx, csv or sqlite, instead of TARGET's extension\n"
     "  --no-names       CSV and .xlsx without the first line of column names (A, B, C ...)\n"
     "  --bom            CSV with a byte order mark, for spreadsheet programs that need one\n"
     "  --delimiter D    the CSV's delimiter: ',' (default), ';' or '\\t'\n"
     "  --table NAME     the SQLite table's name (default: SOURCE's name)\n"
     "  --preview N      print the first N worksheet rows, cells separated by tabs, and\n"
     "                   write no file\n"
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
    {LayoutUnknownOption, kWord, "Angabe %1 gilt nicht für %2 (%2 kennt: %3)", "option %1 does not apply to %2 (%2 takes: %3)"},
    {CodePage037, kWord, "037 – EBCDIC USA/Kanada", "037 – EBCDIC US/Canada"},
    {CodePage273, kWord, "273 – EBCDIC Deutschland/Österreich", "273 – EBCDIC Germany/Austria"},
    {CodePage500, kWord, "500 – EBCDIC International", "500 – EBCDIC International"},
    {CodePage1140, kWord, "1140 – EBCDIC USA/Kanada mit Euro", "1140 – EBCDIC US/Canada with euro"},
    {CodePageUtf8, kWord, "UTF-8", "UTF-8"},
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
