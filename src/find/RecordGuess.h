// The finder's proposal for a source of equal-sized records behind an
// unknown header: where the first record starts, how long a record is, how
// sure the guess is, and a first cut of the record into typed columns.
#pragma once

#include <cstdint>
#include <vector>

#include "marks/FieldOptions.h"
#include "marks/FieldType.h"
#include "file/SourceBytes.h"

namespace zorbik {

// What the bytes of a column were taken for; the layout's comments and the
// window say it in words.
enum class ColumnReason : std::uint8_t {
    Text,          // printable bytes, padded with blanks or zero bytes
    NumberText,    // digits, blanks, a point or comma, a minus sign
    Integer,       // little-endian binary integer
    BigEndianInteger, // high bytes first: a counter growing when read so, or zero high bytes
    Double,        // IEEE double
    Single,        // IEEE single
    PackedDecimal, // 10 bytes of BCD digits with a scale byte
    Constant,      // the same bytes in every record looked at
    Joined,        // a one-byte field joined to its neighbour so that it can be marked
    Packed,        // COBOL COMP-3: digit nibbles, a last nibble C, D or F in every record
    Zoned,         // COBOL DISPLAY digits with the sign overpunched on the last one
    DateDigits,    // digits that are a date between 1900 and 2100 in every record
    PascalString,  // a length byte, then as many printable bytes
};

struct GuessedColumn {
    std::uint32_t offset = 0; // in the record
    std::uint32_t length = 0;
    FieldType type = FieldType::Text;
    ColumnReason reason = ColumnReason::Text;
    FieldOptions options{}; // byte order, sign and date form the bytes show
};

// Another record length that fits, with how much of the chosen length's
// structure it explains (percent; 100 would be as good).
struct LengthAlternative {
    std::uint32_t length = 0;
    int score = 0;
};

enum class GuessFailure : std::uint8_t {
    None,
    TooSmall,  // too few bytes for a record to repeat
    NoRepeat,  // no record length fits (random bytes, lines of different lengths)
    ReadError, // the source could not be read
};

struct RecordGuess {
    GuessFailure failure = GuessFailure::NoRepeat;
    std::uint64_t start = 0;  // offset of the first record: the header's length
    std::uint32_t length = 0; // record length
    std::uint64_t recordCount = 0;
    std::uint32_t tail = 0;   // bytes after the last whole record
    int confidence = 0;       // percent
    std::vector<LengthAlternative> alternatives;
    std::vector<GuessedColumn> columns; // in offset order, each one markable
    bool Found() const { return failure == GuessFailure::None; }
    bool LowConfidence() const { return confidence < kLowConfidence; }
    static constexpr int kLowConfidence = 60;
};

// Looks at a sample of the source (never all of a large one) and proposes
// the record. Never throws; a source without a repeating record gives a
// failure.
RecordGuess FindRecord(const SourceBytes& source);

} // namespace zorbik
