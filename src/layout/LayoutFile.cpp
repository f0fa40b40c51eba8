#include "layout/LayoutFile.h"

#include "file/FileSystemPath.h"

#include <array>
#include <cerrno>
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

// The words a line may hold, as the file writes them.
constexpr std::string_view kMarkerList = "LineBegin, ColumnBegin, ByteMark, ColumnEnd, LineEnd, Unmarked";
constexpr std::string_view kTypeList = "Text, BinInteger, BinReal, DecimalNumber, Bcd";
constexpr std::string_view kHeading = "# ZORBIK layout: ROW MARKER [TYPE]\n";

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

std::string KnownCodePageList()
{
    std::string known;
    for (const std::uint16_t p : KnownCodePages())
        known += (known.empty() ? "" : ", ") + std::to_string(p);
    return known;
}

// One line's marks, or why the line is wrong.
struct LineReader {
    UiLanguage language;
    std::uint64_t sourceSize;
    std::string error;

    bool Fail(MessageId id, std::initializer_list<std::string_view> args)
    {
        error = Say(id, language, args);
        return false;
    }

    bool ReadRow(std::string_view word, std::int32_t& row)
    {
        std::uint64_t value = 0;
        for (const char c : word) {
            if (c < '0' || c > '9')
                return Fail(MessageId::LayoutNotARow, {Quote(word)});
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
            if (value > 0xFFFFFFFFull)
                break;
        }
        if (value >= sourceSize)
            return Fail(MessageId::LayoutRowPastEnd, {Quote(word), std::to_string(sourceSize)});
        if (value > static_cast<std::uint64_t>(kMaxMarkRow))
            return Fail(MessageId::LayoutRowPastLast, {Quote(word), std::to_string(kMaxMarkRow)});
        row = static_cast<std::int32_t>(value);
        return true;
    }

    bool ReadMarker(std::string_view word, MarkerKind& marker)
    {
        for (const auto& [name, kind] : kMarkerWords) {
            if (name == word) {
                marker = kind;
                return true;
            }
        }
        return Fail(MessageId::LayoutUnknownMarker, {Quote(word), kMarkerList});
    }

    bool ReadType(std::string_view word, FieldType& type)
    {
        const std::optional<FieldType> known = FieldTypeFromWord(word);
        if (!known)
            return Fail(MessageId::LayoutUnknownType, {Quote(word), kTypeList});
        type = *known;
        return true;
    }

    bool ReadCodePage(const std::vector<std::string_view>& words, ConversionSettings& settings)
    {
        const std::string_view word = words.size() == 2 ? words[1] : std::string_view();
        unsigned page = 0;
        const auto [end, failed] = std::from_chars(word.data(), word.data() + word.size(), page);
        if (word.empty() || failed != std::errc() || end != word.data() + word.size() || !IsKnownCodePage(page))
            return Fail(MessageId::LayoutUnknownCodePage,
                        {Quote(words.size() > 1 ? words[1] : ""), KnownCodePageList()});
        settings.codePage = static_cast<std::uint16_t>(page);
        return true;
    }

    // A line of marks: "ROW MARKER [TYPE]".
    bool ReadMarks(std::string_view line, const std::vector<std::string_view>& words, Marks& marks)
    {
        if (words.size() < 2 || words.size() > 3)
            return Fail(MessageId::LayoutExpectedRowMarker, {Quote(line)});
        std::int32_t row = 0;
        MarkerKind marker = MarkerKind::Unmarked;
        FieldType type = FieldType::None;
        if (!ReadRow(words[0], row) || !ReadMarker(words[1], marker) || (words.size() == 3 && !ReadType(words[2], type)))
            return false;
        if (listed.count(row) != 0)
            return Fail(MessageId::LayoutRowTwice, {std::to_string(row)});
        listed.insert(row);
        marks.SetMarker(row, marker);
        marks.SetFieldType(row, type);
        return true;
    }

    std::set<std::int32_t> listed;
};

} // namespace

std::string_view MarkerWord(MarkerKind kind)
{
    for (const auto& [word, k] : kMarkerWords)
        if (k == kind)
            return word;
    return "Unmarked";
}

std::string LayoutError::Describe(UiLanguage language) const
{
    if (file.Failed())
        return DescribeFileFailure(file, language);
    return Say(MessageId::LayoutLine, language, {std::to_string(line), message});
}

LoadedLayout LoadLayout(std::string_view text, std::uint64_t sourceSize, UiLanguage language,
                        const ConversionSettings& defaults)
{
    LoadedLayout loaded;
    loaded.layout.settings = defaults;
    LineReader reader{language, sourceSize, {}, {}};
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
        const auto words = SplitWords(line);
        bool read = true;
        if (words.empty() || words[0][0] == '#')
            continue;
        if (words[0] == "trim" && words.size() == 1)
            loaded.layout.settings.trimTexts = true;
        else if (words[0] == "codepage")
            read = reader.ReadCodePage(words, loaded.layout.settings);
        else
            read = reader.ReadMarks(line, words, loaded.layout.marks);
        if (!read) {
            loaded.layout = {{}, defaults};
            loaded.error.line = lineNo;
            loaded.error.message = reader.error;
            return loaded;
        }
    }
    return loaded;
}

LoadedLayout LoadLayoutFile(const std::string& path, std::uint64_t sourceSize, UiLanguage language,
                            const ConversionSettings& defaults)
{
    LoadedLayout failed;
    failed.layout.settings = defaults;
    const std::filesystem::path file = FileSystemPath(path);
    std::error_code ignored;
    if (std::filesystem::is_directory(file, ignored)) {
        failed.error.file = {FileFailure::Kind::LayoutIsFolder, 0, path};
        return failed;
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        failed.error.file = {FileFailure::Kind::CannotOpen, errno, path};
        return failed;
    }
    // Read in pieces and stop past the limit, so that an endless device
    // such as /dev/zero ends with a message too.
    std::string text;
    char piece[1 << 16];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxLayoutFileSize) {
            failed.error.file = {FileFailure::Kind::LayoutTooLarge, 0, path};
            return failed;
        }
    }
    if (in.bad()) {
        failed.error.file = {FileFailure::Kind::Unreadable, errno, path};
        return failed;
    }
    return LoadLayout(text, sourceSize, language, defaults);
}

std::string FormatLayout(const Layout& layout)
{
    const Marks& marks = layout.marks;
    std::set<std::int32_t> rows;
    for (const auto& [row, kind] : marks.Markers())
        rows.insert(row);
    for (const auto& [row, type] : marks.FieldTypes())
        rows.insert(row);
    std::string text(kHeading);
    if (layout.settings.codePage != kDefaultCodePage)
        text += "codepage " + std::to_string(layout.settings.codePage) + "\n";
    if (layout.settings.trimTexts)
        text += "trim\n";
    for (const std::int32_t row : rows) {
        text += std::to_string(row);
        text += ' ';
        text += MarkerWord(marks.GetMarker(row));
        const FieldType type = marks.GetFieldType(row);
        if (type != FieldType::None) {
            text += ' ';
            text += FieldTypeWord(type);
        }
        text += '\n';
    }
    return text;
}

} // namespace zorbik
