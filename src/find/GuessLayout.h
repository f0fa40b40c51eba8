// The finder's proposal as marks: the rows to mark for its record and
// columns, and the layout file text that `zorbik-convert --layout` reads,
// with comments that say how sure the guess is and what each column was
// taken for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "messages/Messages.h"
#include "find/RecordGuess.h"
#include "layout/LayoutFile.h"

namespace zorbik {

// The marks of the guessed record in row order: a typed LineBegin for a
// column on the record's first byte, ColumnBegin/ColumnEnd for the columns
// inside, a typed LineEnd for a column on its last byte.
Marks GuessMarks(const RecordGuess& guess);

std::string FormatGuess(const RecordGuess& guess, UiLanguage language);

// Why no record was found, in one sentence.
std::string_view GuessFailureText(GuessFailure failure, UiLanguage language);

// The warning that goes with a guess of low confidence.
std::string_view LowConfidenceText(UiLanguage language);

// One line on a found record: where, how long, how sure, and the other
// lengths that fit.
std::string GuessSummary(const RecordGuess& guess, UiLanguage language);

} // namespace zorbik
