// The message catalogue: every user-visible word that is not part of a window
// layout. Texts are numbered; German id N has its English twin at N + 64.
#pragma once

#include <string_view>

namespace zorbik {

// The language is decided once at start and never changes. The numbers are
// the primary language ids: 7 is German, everything else is English.
enum class UiLanguage : unsigned char { German = 7, English = 9 };

// Picks German when the first set of LC_ALL, LC_MESSAGES and LANG starts
// with "de"; any other or no setting means English.
UiLanguage LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);
// The user's language as the system tells it: from the process environment
// as above, or on Windows from the user's display language (German when its
// primary language is German). UserLanguagePosix.cpp and
// UserLanguageWindows.cpp implement it.
UiLanguage LanguageFromEnvironment();

// Message ids (German numbering).
enum MessageId : int {
    MsgInitFailed = 33,
    MsgImportFileError = 34,
    MsgFileExists = 35,
    MsgMissingLineBegin = 36,
    MsgMissingLineEnd = 37,
    MsgMissingColumnBegin = 38,
    MsgMissingColumnEnd = 39,
    MsgTooManyColumns = 40,
    MsgTooManyLines = 42,
    MsgKeepSource = 43,
    MsgWriteError = 44,
    MsgColumnMarkAfterEnd = 45,
    MsgFaultyMarksFile = 46,
    MsgReplaceMarks = 47,
    MsgNoRecordFound = 48,
    MsgRecordUncertain = 49,
};

// Box types: the icon and buttons a message is shown with.
enum BoxType : int {
    BoxStop = 16,          // stop icon, OK
    BoxExclamation = 48,   // exclamation icon, OK
    BoxQuestionYesNo = 52, // exclamation icon, Yes and No
};

// Button answers of a message box.
enum BoxAnswer : int { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };

// Caption of every message box: eight blanks before the name.
inline constexpr std::string_view kMessageCaption = "        ZORBIK";

// The text of string `id` (0..63) in `language`: id itself for German,
// id + 64 for English. Unknown ids give an empty text. UTF-8.
std::string_view LoadLocalisedString(int id, UiLanguage language);

// Box type that belongs to a message id.
int BoxTypeOf(int messageId);

} // namespace zorbik
