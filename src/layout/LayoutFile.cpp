#include "layout/LayoutFile.h"

#include "file/FileSystemPath.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <optional>
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
constexpr std::string_view kTypeList =
    "Text, BinInteger, BinReal, DecimalNumber, Bcd, Integer, Packed, Zoned, Extended, Real48, Date, PascalText";

// The options each type takes, by bit: the word ahead of '=' or the word itself.
enum OptionBit : unsigned { kBig = 1, kUnsigned = 2, kScale = 4, kSign = 8, kEbcdic = 16, kIbm = 32, kFormat = 64,
                            kDays = 128, kCp = 256 };
constexpr std::array<std::pair<std::string_view, unsigned>, 9> kOptionWords = {{
    {"big", kBig}, {"unsigned", kUnsigned}, {"scale", kScale}, {"sign", kSign}, {"ebcdic", kEbcdic},
    {"ibm", kIbm}, {"format", kFormat}, {"days1899", kDays}, {"cp", kCp},
}};

unsigned OptionsOf(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
        return kBig | kUnsigned | kScale;
    case FieldType::Packed:
        return kScale | kUnsigned;
    case FieldType::Zoned:
        return kScale | kSign | kEbcdic;
    case FieldType::DecimalNumber:
        return kScale;
    case FieldType::BinReal:
        return kBig | kIbm;
    case FieldType::Date:
        return kFormat | kDays;
    case FieldType::Text:
        return kCp;
    default:
        return 0;
    }
}

constexpr std::array<std::pair<std::string_view, ZonedSign>, 4> kSignWords = {{
    {"trailing", ZonedSign::Trailing},
    {"leading", ZonedSign::Leading},
    {"separate-trailing", ZonedSign::SeparateTrailing},
    {"separate-leading", ZonedSign::SeparateLeading},
}};
constexpr std::array<std::pair<std::string_view, DateForm>, 5> kDateWords = {{
    {"YYYYMMDD", DateForm::YYYYMMDD},
    {"YYMMDD", DateForm::YYMMDD},
    {"DDMMYYYY", DateForm::DDMMYYYY},
    {"MMDDYYYY", DateForm::MMDDYYYY},
    {"YYYYDDD", DateForm::YYYYDDD},
}};

template <class T, std::size_t n>
std::optional<T> Lookup(const std::array<std::pair<std::string_view, T>, n>& words, std::string_view word)
{
    for (const auto& [name, value] : words)
        if (name == word)
            return value;
    return std::nullopt;
}

template <class T, std::size_t n>
std::string_view WordOf(const std::array<std::pair<std::string_view, T>, n>& words, T value)
{
    for (const auto& [name, v] : words)
        if (v == value)
            return name;
    return {};
}
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

    // One option word of `type`: "big", "scale=2", "sign=leading" ...
    bool ReadOption(FieldType type, std::string_view word, FieldOptions& options)
    {
        const std::size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : word.substr(equals + 1);
        const std::optional<unsigned> bit = Lookup(kOptionWords, name);
        const bool wantsValue = bit && (*bit & (kScale | kSign | kFormat | kCp)) != 0;
        if (!bit || (OptionsOf(type) & *bit) == 0 || wantsValue != (equals != std::string_view::npos))
            return Fail(MessageId::LayoutUnknownOption, {Quote(word), FieldTypeWord(type), FieldOptionList(type)});
        unsigned number = 0;
        const auto [end, failed] = std::from_chars(value.data(), value.data() + value.size(), number);
        const bool isNumber = !value.empty() && failed == std::errc() && end == value.data() + value.size();
        switch (*bit) {
        case kBig:
            options.bigEndian = true;
            return true;
        case kUnsigned:
            options.isUnsigned = true;
            return true;
        case kEbcdic:
            options.ebcdic = true;
            return true;
        case kIbm:
            options.ibm = true;
            return true;
        case kDays:
            options.date = DateForm::Days1899;
            return true;
        case kScale:
            if (!isNumber || number > static_cast<unsigned>(kMaxScale))
                break;
            options.scale = static_cast<std::uint8_t>(number);
            return true;
        case kSign:
            if (const auto sign = Lookup(kSignWords, value)) {
                options.sign = *sign;
                return true;
            }
            break;
        case kFormat:
            if (const auto form = Lookup(kDateWords, value)) {
                options.date = *form;
                return true;
            }
            break;
        default: // kCp
            if (!isNumber || !IsKnownCodePage(number))
                return Fail(MessageId::LayoutUnknownCodePage, {Quote(value), KnownCodePageList()});
            options.codePage = static_cast<std::uint16_t>(number);
            return true;
        }
        return Fail(MessageId::LayoutUnknownOption, {Quote(word), FieldTypeWord(type), FieldOptionList(type)});
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

    // A line of marks: "ROW MARKER [TYPE [OPTION...]]".
    bool ReadMarks(std::string_view line, const std::vector<std::string_view>& words, Marks& marks)
    {
        if (words.size() < 2)
            return Fail(MessageId::LayoutExpectedRowMarker, {Quote(line)});
        std::int32_t row = 0;
        MarkerKind marker = MarkerKind::Unmarked;
        FieldType type = FieldType::None;
        FieldOptions options;
        ColumnTraits traits;
        if (!ReadRow(words[0], row) || !ReadMarker(words[1], marker) || (words.size() >= 3 && !ReadType(words[2], type)))
            return false;
        for (std::size_t i = 3; i < words.size(); ++i) {
            const bool read = words[i].starts_with("name=")    ? ReadName(words[i].substr(5), traits)
                              : words[i].starts_with("width=") ? ReadWidth(words[i], traits)
                                                               : ReadOption(type, words[i], options);
            if (!read)
                return false;
        }
        if (listed.count(row) != 0)
            return Fail(MessageId::LayoutRowTwice, {std::to_string(row)});
        listed.insert(row);
        marks.SetMarker(row, marker);
        marks.SetFieldType(row, type);
        marks.SetFieldOptions(row, options);
        marks.SetTraits(row, traits);
        return true;
    }

    bool ReadName(std::string_view name, ColumnTraits& traits)
    {
        if (!IsColumnName(name))
            return Fail(MessageId::LayoutBadName, {Quote(name)});
        if (!names.insert(NameKey(name)).second)
            return Fail(MessageId::LayoutNameTwice, {Quote(name)});
        traits.name = name;
        return true;
    }

    bool ReadWidth(std::string_view word, ColumnTraits& traits)
    {
        const std::string_view value = word.substr(6);
        std::uint32_t width = 0;
        const auto [end, failed] = std::from_chars(value.data(), value.data() + value.size(), width);
        if (value.empty() || failed != std::errc() || end != value.data() + value.size() || width == 0 ||
            width > static_cast<std::uint32_t>(kMaxMarkRow))
            return Fail(MessageId::LayoutBadWidth, {Quote(word)});
        traits.width = width;
        return true;
    }

    std::set<std::int32_t> listed;
    std::set<std::string> names; // as NameKey gives them
};

} // namespace

std::string_view MarkerWord(MarkerKind kind)
{
    for (const auto& [word, k] : kMarkerWords)
        if (k == kind)
            return word;
    return "Unmarked";
}

std::string FieldOptionWords(FieldType type, const FieldOptions& options)
{
    std::string words;
    const unsigned takes = OptionsOf(type);
    const auto add = [&](unsigned bit, bool given, std::string_view word) {
        if ((takes & bit) != 0 && given)
            (words += ' ') += word;
    };
    add(kBig, options.bigEndian, "big");
    add(kUnsigned, options.isUnsigned, "unsigned");
    add(kIbm, options.ibm, "ibm");
    add(kScale, options.scale != 0, "scale=" + std::to_string(options.scale));
    add(kSign, options.sign != ZonedSign::Trailing, "sign=" + std::string(WordOf(kSignWords, options.sign)));
    add(kEbcdic, options.ebcdic, "ebcdic");
    add(kDays, options.date == DateForm::Days1899, "days1899");
    add(kFormat, options.date != DateForm::YYYYMMDD && options.date != DateForm::Days1899,
        "format=" + std::string(WordOf(kDateWords, options.date)));
    add(kCp, options.codePage != 0, "cp=" + std::to_string(options.codePage));
    return words;
}

std::string ColumnTraitWords(const ColumnTraits& traits)
{
    std::string words;
    if (traits.width != 0)
        words += " width=" + std::to_string(traits.width);
    if (!traits.name.empty())
        words += " name=" + traits.name;
    return words;
}

bool IsColumnName(std::string_view name)
{
    if (name.empty() || name.size() > 64)
        return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            return false;
    return true;
}

std::string NameKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

std::string_view FieldOptionList(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
        return "big, unsigned, scale=N";
    case FieldType::Packed:
        return "scale=N, unsigned";
    case FieldType::Zoned:
        return "scale=N, sign=trailing|leading|separate-trailing|separate-leading, ebcdic";
    case FieldType::DecimalNumber:
        return "scale=N";
    case FieldType::BinReal:
        return "big, ibm";
    case FieldType::Date:
        return "format=YYYYMMDD|YYMMDD|DDMMYYYY|MMDDYYYY|YYYYDDD, days1899";
    case FieldType::Text:
        return "cp=N";
    default:
        return "-";
    }
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
    LineReader reader{language, sourceSize, {}, {}, {}};
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
            text += FieldOptionWords(type, marks.GetFieldOptions(row));
            text += ColumnTraitWords(marks.GetTraits(row));
        }
        text += '\n';
    }
    return text;
}

} // namespace zorbik
