// The catalogue: every word a user reads, in the window, in the message
// boxes and on the command line, German and English side by side. Each text
// has a typed id; the texts of message boxes carry their box type. The
// message numbers 33 to 49 are the ones users and the help know the
// messages by.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zorbik {

// The language is decided once at start and never changes.
enum class UiLanguage : unsigned char { German, English };

// Picks German when the first set of LC_ALL, LC_MESSAGES and LANG starts
// with "de"; any other or no setting means English.
UiLanguage LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);
// The user's language as the system tells it: from the process environment
// as above, or on Windows from the user's display language (German when its
// primary language is German). UserLanguagePosix.cpp and
// UserLanguageWindows.cpp implement it.
UiLanguage LanguageFromEnvironment();

// The icon and buttons a message is shown with; None for the texts that
// are no message of their own.
enum class BoxType : std::uint8_t { None, Stop, Exclamation, QuestionYesNo };

// The button a message box was closed with.
enum class BoxAnswer : std::uint8_t { Ok, Yes, No };

enum class MessageId : std::uint16_t {
    // The messages, by their numbers.
    InitFailed = 33,
    ImportFileError = 34,
    FileExists = 35,
    MissingLineBegin = 36,
    MissingLineEnd = 37,
    MissingColumnBegin = 38,
    MissingColumnEnd = 39,
    TooManyColumns = 40,
    TooManyLines = 42,
    KeepSource = 43,
    WriteError = 44,
    ColumnMarkAfterEnd = 45,
    FaultyMarksFile = 46,
    ReplaceMarks = 47,
    NoRecordFound = 48,
    RecordUncertain = 49,

    // The main window.
    OpenButton = 100,
    MoreBytesButton,
    ConvertButton,
    CancelButton,
    QuitButton,
    HelpButton,
    SaveMarksButton,
    LoadMarksButton,
    FindRecordButton,
    NumberColumnTitle,
    CharacterColumnTitle,
    FieldTypeColumnTitle,
    HexColumnTitle,
    CharacterPrefix,
    OpenDialogTitle,
    OpenFilterName,
    SaveDialogTitle,
    SaveFilterName,
    PreviewCaption,
    PreviewFaultRow,
    PreviewEmpty,
    CodePageLabel,
    TrimChoice,
    SaveMarksTitle,
    LoadMarksTitle,
    MarksFilterName,
    ByteListTip,
    HelpCaption,
    YesButton,
    NoButton,
    OkButton,
    StatusConverted,
    StatusCancelled,

    // Field types as the window names them.
    TypeText = 150,
    TypeBinInteger,
    TypeBinReal,
    TypeDecimalNumber,
    TypeBcd,
    TypeNone,

    // Code pages as the choice names them.
    CodePage437 = 170,
    CodePage737,
    CodePage850,
    CodePage852,
    CodePage857,
    CodePage861,
    CodePage865,
    CodePage866,
    CodePage874,
    CodePage1250,
    CodePage1251,
    CodePage1252,
    CodePage1253,
    CodePage1254,
    CodePage1255,
    CodePage1256,
    CodePage1257,
    CodePage1258,

    // Why a file could not be used, and the system's most common reasons.
    FileCannotOpen = 200,
    FileNotRegular,
    FileSizeUnknown,
    FileEmpty,
    FileUnreadable,
    FileCannotCreate,
    FileIsSource,
    FileExistsAlready,
    LayoutIsFolder,
    LayoutTooLarge,
    SystemNoSuchFile,
    SystemPermissionDenied,
    SystemNotPermitted,
    SystemReadOnly,
    SystemDiskFull,
    SystemIsFolder,
    SystemNotFolder,
    SystemExists,
    SystemNameTooLong,
    SystemLinkLoop,
    SystemIoError,
    SystemBusy,
    SystemTooManyFiles,

    // Faults of a layout file's lines.
    LayoutLine = 250,
    LayoutUnknownCodePage,
    LayoutExpectedRowMarker,
    LayoutNotARow,
    LayoutRowPastEnd,
    LayoutRowPastLast,
    LayoutUnknownMarker,
    LayoutUnknownType,
    LayoutRowTwice,

    // zorbik-convert.
    CommandUsage = 300,
    CommandLicence,
    CommandNeedsValue,
    CommandUnknownOption,
    CommandLangValues,
    CommandGuessAlone,
    CommandGuessSource,
    CommandLayoutMissing,
    CommandCodePageValues,
    CommandPreviewRows,
    CommandPreviewSource,
    CommandSourceAndTarget,
    CommandAtRow,
    CommandWarning,
    CommandNotCompleted,
    CommandSourceChanged,
    CommandStopped,
    CommandNotRead,
    CommandExplainRecord,
    CommandExplainOfAll,
    CommandExplainColumns,
    CommandExplainOneColumn,
    CommandExplainColumn,
    CommandExplainByteMarks,
    CommandExplainAllBytes,

    // The finder.
    GuessHeading = 400,
    GuessRecords,
    GuessConfidence,
    GuessAlternatives,
    GuessColumn,
    GuessTooSmall,
    GuessNoRepeat,
    GuessReadError,
    GuessSummary,
    GuessOtherLengths,
    GuessLowConfidence,
    ReasonText,
    ReasonNumberText,
    ReasonInteger,
    ReasonBigEndianInteger,
    ReasonDouble,
    ReasonSingle,
    ReasonPackedDecimal,
    ReasonConstant,
    ReasonJoined,

    // Targets other than the worksheet.
    XlsxTooManyColumns = 450,
    NoteUndefinedBytes,
    NoteTextsCut,
    SaveFilterXlsx,
    SaveFilterCsv,
    SaveFilterSqlite,
    CommandFormatValues,
    CommandUnknownTarget,
    CommandFormatMissing,
    CommandDelimiterValues,
    CommandTableName,
    CommandOnlyFor,
    // Code pages of the choice beyond the DOS and Windows ones.
    CodePage037,
    CodePage273,
    CodePage500,
    CodePage1140,
    CodePageUtf8,

    // The field types of COBOL, Pascal and C records, and what their bytes
    // can get wrong.
    TypeInteger = 480,
    TypePacked,
    TypeZoned,
    TypeExtended,
    TypeReal48,
    TypeDate,
    TypePascalText,
    FieldWidthWrong,
    FieldWidthDetail,
    NoteInvalidFields,
    ReasonInvalidDigits,
    ReasonInvalidDate,
    ReasonTextLength,
    InvalidCell,
    LayoutUnknownOption,
    // The field type dialog.
    FieldDialogTitle,
    FieldDialogType,
    FieldDialogBig,
    FieldDialogUnsigned,
    FieldDialogScale,
    FieldDialogSign,
    SignTrailing,
    SignLeading,
    SignSeparateTrailing,
    SignSeparateLeading,
    FieldDialogEbcdic,
    FieldDialogIbm,
    FieldDialogDate,
    DateDays1899,
    FieldDialogCodePage,
    CodePageOfSource,
    FieldTypeButton,
    NoteInvalidField,

    // Named columns and columns whose row gives their width.
    ColumnWidthWrong = 520,
    WidthPastRecord,
    WidthOverlaps,
    LayoutBadName,
    LayoutNameTwice,
    LayoutBadWidth,
    SheetNamesChoice,
    SheetNamesTip,
    NameTaken,
    FieldDialogName,
    FieldDialogWidth,

    // COBOL copybooks: where the reader stopped and why, what it noted, and
    // the command's and the window's words for them.
    CopybookAt = 550,
    CopybookTooLarge,
    CopybookLineTooLong,
    CopybookOpenLiteral,
    CopybookExpectedLevel,
    CopybookBadLevel,
    CopybookBadName,
    CopybookUnknownClause,
    CopybookMissingOperand,
    CopybookUnknownUsage,
    CopybookBadPicture,
    CopybookTooManyDigits,
    CopybookScaleRight,
    CopybookNoPicture,
    CopybookPictureAndItems,
    CopybookUnknownRedefines,
    CopybookSyncInTable,
    CopybookTooManyItems,
    CopybookEntryTooLong,
    CopybookRecordTooLong,
    CopybookTooManyFields,
    CopybookNoFields,
    NoteCopybookRenames,
    NoteCopybookDepending,
    NoteCopybookRedefines,
    NoteCopybookOtherRecord,
    NoteCopybookSync,
    NoteCopybookSameName,
    CommandCopybookLeftover,
    CommandCopybookTooLong,
    CommandCopybookAlone,
    CommandEmitLayout,
    CommandMainframePage,
    LoadCopybookButton,
    LoadCopybookTitle,
    CopybookFilterName,
    CopybookNotesTitle,

    // Tables that describe their records in their header (dBASE, FoxPro).
    DateJulian = 600,
    FieldDialogBlankEmpty,
    TableKindFoxBase,
    TableKindDbase3,
    TableKindDbase3Memo,
    TableKindDbase4,
    TableKindFoxPro,
    TableKindVisualFoxPro,
    TableKindClipper,
    TableHeading,
    TableFound,
    TableField,
    TableNoteMemo,
    TableNoteWideNumber,
    TableNoteNullFlags,
    TableNoteUnknownPage,
    TableNoteNoPage,
    TableFoundNotes,

    // What the finder took a column of the new field types for.
    ReasonPacked = 630,
    ReasonZoned,
    ReasonDateDigits,
    ReasonPascalString,
};

// Caption of every message box: eight blanks before the name.
inline constexpr std::string_view kMessageCaption = "        ZORBIK";
// Caption of the main window.
inline constexpr std::string_view kProgramName = "ZORBIK";

// The text of `id` in `language`, UTF-8; "%1", "%2" … stand where Say puts
// its arguments.
std::string_view Text(MessageId id, UiLanguage language);
// The text with "%1" … "%9" replaced by `args`.
std::string Say(MessageId id, UiLanguage language, std::initializer_list<std::string_view> args = {});
std::string Say(MessageId id, UiLanguage language, const std::vector<std::string>& args);
// The box a message is shown in; None for texts that are not messages.
BoxType BoxOf(MessageId id);

// The name of a control character or the blank (0x00 to 0x20), as the byte
// list shows it; empty for other bytes.
std::string_view ControlCharName(std::uint8_t byte, UiLanguage language);

} // namespace zorbik
