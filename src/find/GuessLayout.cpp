#include "find/GuessLayout.h"

#include <algorithm>
#include <sstream>

namespace zorbik {
namespace {

struct Words {
    std::string_view en;
    std::string_view de;
    std::string_view In(UiLanguage language) const { return language == UiLanguage::German ? de : en; }
};

Words ReasonWords(ColumnReason reason)
{
    switch (reason) {
    case ColumnReason::Text:
        return {"text (printable bytes, padded)", "Text (druckbare Bytes, aufgefüllt)"};
    case ColumnReason::NumberText:
        return {"number written as text", "Zahl als Text"};
    case ColumnReason::Integer:
        return {"little-endian binary integer", "binäre Ganzzahl (little-endian)"};
    case ColumnReason::BigEndianInteger:
        return {"big-endian integer (converted as little-endian: the values will be wrong)",
                "Big-Endian-Ganzzahl (als Little-Endian umgewandelt: die Werte stimmen nicht)"};
    case ColumnReason::Double:
        return {"IEEE double", "IEEE-Double"};
    case ColumnReason::Single:
        return {"IEEE single", "IEEE-Single"};
    case ColumnReason::PackedDecimal:
        return {"packed decimal (BCD) with scale byte", "gepackte Dezimalzahl (BCD) mit Skalenbyte"};
    case ColumnReason::Constant:
        return {"constant bytes (flag or padding)", "gleichbleibende Bytes (Kennzeichen oder Füllbytes)"};
    case ColumnReason::Joined:
        return {"one-byte field joined to its neighbour (cannot be marked alone)",
                "Ein-Byte-Feld mit dem Nachbarn verbunden (allein nicht markierbar)"};
    }
    return {};
}

void Add(std::vector<LayoutEntry>& entries, std::uint64_t row, MarkerKind marker, FieldType type)
{
    entries.push_back({static_cast<std::int32_t>(row), marker, type, 0});
}

} // namespace

std::vector<LayoutEntry> GuessMarks(const RecordGuess& guess)
{
    std::vector<LayoutEntry> entries;
    if (!guess.Found() || guess.columns.empty())
        return entries;
    const std::uint64_t s = guess.start;
    const std::uint32_t last = guess.length - 1;
    const std::vector<GuessedColumn>& columns = guess.columns;
    // The edge columns come from typed record marks; the others have marks
    // of their own.
    const bool leading = columns.front().offset == 0;
    const bool trailing = columns.size() > 1 && columns.back().offset + columns.back().length - 1 == last;
    Add(entries, s, MarkerKind::LineBegin, leading ? columns.front().type : FieldType::None);
    for (std::size_t i = leading ? 1 : 0; i < columns.size() - (trailing ? 1 : 0); ++i) {
        const GuessedColumn& c = columns[i];
        Add(entries, s + c.offset, MarkerKind::ColumnBegin, c.type);
        Add(entries, s + c.offset + c.length - 1, MarkerKind::ColumnEnd, FieldType::None);
    }
    // The trailing column takes its type from its first row, which the
    // typed record end turns into its begin.
    if (trailing && columns.back().length > 1)
        Add(entries, s + columns.back().offset, MarkerKind::Unmarked, columns.back().type);
    Add(entries, s + last, MarkerKind::LineEnd, trailing ? columns.back().type : FieldType::None);
    return entries;
}

std::string FormatGuess(const RecordGuess& guess, UiLanguage language)
{
    const bool de = language == UiLanguage::German;
    std::ostringstream text;
    text << (de ? "# ZORBIK-Layout, von zorbik-convert --guess geraten: ZEILE MARKE [TYP]\n"
                : "# ZORBIK layout guessed by zorbik-convert --guess: ROW MARKER [TYPE]\n");
    if (de)
        text << "# Sätze von " << guess.length << " Bytes ab Byte " << guess.start << " (Vorspann " << guess.start
             << " Bytes), " << guess.recordCount << " Sätze, " << guess.tail << " Bytes nach dem letzten Satz\n";
    else
        text << "# records of " << guess.length << " bytes from byte " << guess.start << " (header " << guess.start
             << " bytes), " << guess.recordCount << " records, " << guess.tail << " bytes after the last record\n";
    text << (de ? "# Sicherheit: " : "# confidence: ") << guess.confidence << " %\n";
    if (guess.LowConfidence())
        text << "# " << LowConfidenceText(language) << "\n";
    if (!guess.alternatives.empty()) {
        text << (de ? "# andere passende Satzlängen (erklären so viel wie die gewählte):"
                    : "# other record lengths that fit (explain as much as the chosen one):");
        for (const LengthAlternative& a : guess.alternatives)
            text << " " << a.length << " (" << std::clamp(a.score, 0, 100) << " %)";
        text << "\n";
    }
    for (std::size_t i = 0; i < guess.columns.size(); ++i) {
        const GuessedColumn& c = guess.columns[i];
        text << (de ? "# Spalte " : "# column ") << i + 1 << (de ? ": Bytes " : ": bytes ") << c.offset << "-"
             << c.offset + c.length - 1 << (de ? " des Satzes, " : " of the record, ") << FieldTypeWord(c.type) << ", "
             << ReasonWords(c.reason).In(language) << "\n";
    }
    for (const LayoutEntry& e : GuessMarks(guess)) {
        text << e.row << " " << MarkerWord(e.marker);
        if (e.type != FieldType::None)
            text << " " << FieldTypeWord(e.type);
        text << "\n";
    }
    return text.str();
}

std::string_view GuessFailureText(GuessFailure failure, UiLanguage language)
{
    switch (failure) {
    case GuessFailure::TooSmall:
        return Words{"The file is too small for records that repeat.",
                     "Die Datei ist zu klein für Sätze, die sich wiederholen."}
            .In(language);
    case GuessFailure::NoRepeat:
        return Words{"No record structure found: the bytes repeat at no record length.",
                     "Keine Satzstruktur gefunden: Die Bytes wiederholen sich bei keiner Satzlänge."}
            .In(language);
    case GuessFailure::ReadError:
        return Words{"The file could not be read.", "Die Datei konnte nicht gelesen werden."}.In(language);
    case GuessFailure::None:
        break;
    }
    return {};
}

std::string GuessSummary(const RecordGuess& guess, UiLanguage language)
{
    const bool de = language == UiLanguage::German;
    std::ostringstream text;
    text << (de ? "Sätze von " : "Records of ") << guess.length << (de ? " Bytes ab Byte " : " bytes from byte ")
         << guess.start << (de ? ", Sicherheit " : ", confidence ") << guess.confidence << " %";
    for (std::size_t i = 0; i < guess.alternatives.size(); ++i)
        text << (i == 0 ? (de ? "; andere Satzlängen: " : "; other record lengths: ") : ", ")
             << guess.alternatives[i].length;
    return text.str();
}

std::string_view LowConfidenceText(UiLanguage language)
{
    return Words{"LOW CONFIDENCE: check the record begin, the record length and the columns before converting.",
                 "GERINGE SICHERHEIT: Satzbeginn, Satzlänge und Spalten vor dem Umwandeln prüfen."}
        .In(language);
}

} // namespace zorbik
