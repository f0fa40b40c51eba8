#include "layout/LayoutFile.h"
#include "file/FileSystemPath.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <set>

namespace zorbik {
namespace {

constexpr std::array<std::pair<std::string_view, MarkerKind>, 6> kMarkerWords = {{
    {"Unmarked", MarkerKind::Unmarked},
    {"LineBegin", MarkerKind::LineBegin},
    {"ColumnBegin", MarkerKind::ColumnBegin},
    {"ByteMark", MarkerKind::ByteMark},
    {"ColumnEnd", MarkerKind::ColumnEnd},
    {"LineEnd", MarkerKind::LineEnd},
}};

// Larger files are not layouts; reading stops there.
constexpr std::uint64_t kMaxLayoutFileSize = 256u << 20;

constexpr const char* kMarkerList = " (LineBegin, ColumnBegin, ByteMark, ColumnEnd, LineEnd, Unmarked)";
constexpr const char* kTypeList = " (Text, BinInteger, BinReal, DecimalNumber, Bcd)";

// Row numbers are signed 32-bit; the bytes of larger sources beyond this
// row can be converted but not marked.
constexpr std::int32_t kMaxRow = 0x7FFFFFFE;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> SplitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Shows a word of the file in a message, cut short and with control and
// non-ASCII bytes escaped, so that garbage input gives a readable message.
std::string Quote(std::string_view word)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < word.size() && i < 40; ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    if (word.size() > 40)
        out += "...";
    return out + "\"";
}

} // namespace

std::string_view MarkerWord(MarkerKind kind)
{
    for (const auto& [word, k] : kMarkerWords)
        if (k == kind)
            return word;
    return "Unmarked";
}

LayoutParseError ParseLayout(std::string_view text, std::uint32_t sourceSize, std::vector<LayoutEntry>& entries,
                             ConversionSettings* settings, UiLanguage language)
{
    entries.clear();
    ConversionSettings read = settings != nullptr ? *settings : ConversionSettings{};
    std::set<std::int32_t> seen;
    int lineNo = 0;
    // Editors on Windows like to start UTF-8 files with a byte order mark.
    std::size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        auto fail = [&](const std::string& english, const std::string& german) {
            const bool de = language == UiLanguage::German;
            return LayoutParseError{lineNo, (de ? "Zeile " : "line ") + std::to_string(lineNo) + ": " +
                                                (de ? german : english)};
        };

        const auto words = SplitWords(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        if (words[0] == "trim" && words.size() == 1) {
            read.trimTexts = true;
            continue;
        }
        if (words[0] == "codepage") {
            const std::string_view word = words.size() == 2 ? words[1] : std::string_view();
            unsigned page = 0;
            const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), page);
            if (word.empty() || error != std::errc() || end != word.data() + word.size() || !IsKnownCodePage(page)) {
                std::string known;
                for (const std::uint16_t p : KnownCodePages())
                    known += (known.empty() ? "" : ", ") + std::to_string(p);
                const std::string word = Quote(words.size() > 1 ? words[1] : "");
                return fail("unknown code page " + word + " (" + known + ")",
                            "unbekannter Zeichensatz " + word + " (" + known + ")");
            }
            read.codePage = static_cast<std::uint16_t>(page);
            continue;
        }
        if (words.size() < 2 || words.size() > 3)
            return fail("expected ROW MARKER [TYPE], got " + Quote(line),
                        "erwartet BYTENUMMER MARKE [TYP], gefunden " + Quote(line));

        LayoutEntry entry;
        entry.line = lineNo;
        std::uint64_t row = 0;
        for (const char c : words[0]) {
            if (c < '0' || c > '9')
                return fail("row " + Quote(words[0]) + " is not a byte number",
                            Quote(words[0]) + " ist keine Bytenummer");
            row = row * 10 + static_cast<std::uint64_t>(c - '0');
            if (row > 0xFFFFFFFFull)
                break;
        }
        if (row >= sourceSize)
            return fail("row " + Quote(words[0]) + " lies at or past the end of the source (" +
                            std::to_string(sourceSize) + " bytes)",
                        "Bytenummer " + Quote(words[0]) + " liegt am oder hinter dem Ende der Quelldatei (" +
                            std::to_string(sourceSize) + " Bytes)");
        if (row > static_cast<std::uint64_t>(kMaxRow))
            return fail("row " + Quote(words[0]) + " is past the last row that can be marked (" +
                            std::to_string(kMaxRow) + ")",
                        "Bytenummer " + Quote(words[0]) + " liegt hinter der letzten, die markiert werden kann (" +
                            std::to_string(kMaxRow) + ")");
        entry.row = static_cast<std::int32_t>(row);

        bool known = false;
        for (const auto& [word, kind] : kMarkerWords) {
            if (word == words[1]) {
                entry.marker = kind;
                known = true;
            }
        }
        if (!known)
            return fail("unknown marker " + Quote(words[1]) + kMarkerList, "unbekannte Marke " + Quote(words[1]) + kMarkerList);

        if (words.size() == 3) {
            const std::optional<FieldType> type = FieldTypeFromWord(words[2]);
            if (!type)
                return fail("unknown field type " + Quote(words[2]) + kTypeList,
                            "unbekannter Feldtyp " + Quote(words[2]) + kTypeList);
            entry.type = *type;
        }
        if (!seen.insert(entry.row).second)
            return fail("row " + std::to_string(entry.row) + " is listed twice",
                        "Bytenummer " + std::to_string(entry.row) + " steht zweimal in der Datei");
        entries.push_back(entry);
    }
    if (settings != nullptr)
        *settings = read;
    return {};
}

void ApplyLayout(const std::vector<LayoutEntry>& entries, Marks& store)
{
    for (const LayoutEntry& entry : entries) {
        store.SetMarker(entry.row, entry.marker);
        store.SetFieldType(entry.row, entry.type);
    }
}

std::string FormatLayout(const Marks& store, const ConversionSettings& settings)
{
    std::set<std::int32_t> rows;
    for (const auto& [row, kind] : store.Markers())
        rows.insert(row);
    for (const auto& [row, type] : store.FieldTypes())
        rows.insert(row);
    std::string text = "# ZORBIK layout: ROW MARKER [TYPE]\n";
    if (settings.codePage != kDefaultCodePage)
        text += "codepage " + std::to_string(settings.codePage) + "\n";
    if (settings.trimTexts)
        text += "trim\n";
    for (const std::int32_t row : rows) {
        text += std::to_string(row);
        text += ' ';
        text += MarkerWord(store.GetMarker(row));
        const FieldType type = store.GetFieldType(row);
        if (type != FieldType::None) {
            text += ' ';
            text += FieldTypeWord(type);
        }
        text += '\n';
    }
    return text;
}

bool ReadLayoutFile(const std::string& path, std::string& text, std::string& error)
{
    const std::filesystem::path file = FileSystemPath(path);
    std::error_code ignored;
    if (std::filesystem::is_directory(file, ignored)) {
        error = "the layout file " + path + " is a folder";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read the layout file " + path;
        return false;
    }
    // Read in pieces and stop past the limit, so that an endless device
    // such as /dev/zero ends with a message too.
    text.clear();
    char piece[1 << 16];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxLayoutFileSize) {
            error = "the layout file " + path + " is too large";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read the layout file " + path;
        return false;
    }
    return true;
}

} // namespace zorbik
