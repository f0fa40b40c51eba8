#include "copybook/Copybook.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "copybook/CopybookSource.h"

namespace zorbik {
namespace {

// How an item stores a number: the USAGE clause, of the item or of a group
// above it.
enum class Usage : std::uint8_t { Display, Binary, Native, Packed, Single, Double };

constexpr std::string_view UsageWord(Usage usage)
{
    constexpr std::string_view kWords[] = {"DISPLAY", "COMP", "COMP-5", "COMP-3", "COMP-1", "COMP-2"};
    return kWords[static_cast<int>(usage)];
}

std::optional<Usage> UsageFromWord(std::string_view word)
{
    static const std::unordered_map<std::string_view, Usage> kUsages = {
        {"DISPLAY", Usage::Display},          {"COMP", Usage::Binary},
        {"COMPUTATIONAL", Usage::Binary},     {"COMP-4", Usage::Binary},
        {"COMPUTATIONAL-4", Usage::Binary},   {"BINARY", Usage::Binary},
        {"COMP-5", Usage::Native},            {"COMPUTATIONAL-5", Usage::Native},
        {"COMP-3", Usage::Packed},            {"COMPUTATIONAL-3", Usage::Packed},
        {"PACKED-DECIMAL", Usage::Packed},    {"COMP-1", Usage::Single},
        {"COMPUTATIONAL-1", Usage::Single},   {"COMP-2", Usage::Double},
        {"COMPUTATIONAL-2", Usage::Double},
    };
    const auto found = kUsages.find(word);
    return found == kUsages.end() ? std::nullopt : std::optional(found->second);
}

// A usage of another compiler or another kind of data (indexes, pointers,
// national characters), named as such in the message.
bool OtherUsage(std::string_view word)
{
    static constexpr std::string_view kWords[] = {
        "COMP-0",      "COMP-6",       "COMP-X",        "COMP-N",           "COMPUTATIONAL-0",  "COMPUTATIONAL-6",
        "COMPUTATIONAL-X", "INDEX",    "POINTER",       "NATIONAL",         "PROCEDURE-POINTER", "FUNCTION-POINTER",
        "BINARY-CHAR", "BINARY-SHORT", "BINARY-LONG",   "BINARY-DOUBLE",    "FLOAT-SHORT",      "FLOAT-LONG",
        "FLOAT-EXTENDED", "DISPLAY-1",
    };
    return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

// The words that start a clause, so that no item is named by them.
bool ClauseWord(std::string_view word)
{
    static constexpr std::string_view kWords[] = {
        "REDEFINES", "EXTERNAL", "GLOBAL", "PIC",      "PICTURE",      "USAGE",     "SIGN",       "LEADING",
        "TRAILING",  "SEPARATE", "OCCURS", "SYNC",     "SYNCHRONIZED", "JUST",      "JUSTIFIED",  "BLANK",
        "VALUE",     "VALUES",   "IS",     "TIMES",    "DEPENDING",    "ASCENDING", "DESCENDING", "INDEXED",
    };
    return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords) ||
           UsageFromWord(word).has_value() || OtherUsage(word);
}

std::string Upper(std::string_view word)
{
    std::string upper(word);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// What a PICTURE string says: text of `width` bytes (alphanumeric, alphabetic
// and edited pictures), or a number of `digits` digits, `scale` of them
// right of the decimal point, with or without a sign.
struct Picture {
    bool numeric = false;
    bool sign = false;
    bool scaledRight = false; // P right of the digits: a multiple of a power of ten
    std::uint64_t digits = 0;
    std::uint64_t scale = 0;  // with the P left of the digits
    std::uint64_t width = 0;
};

// Counts stop growing here; anything this large is refused further on.
constexpr std::uint64_t kCountCap = std::uint64_t{1} << 40;

std::optional<Picture> ReadPicture(std::string_view text)
{
    const std::string picture = Upper(text);
    Picture result;
    bool alphabetic = false, edited = false, point = false, digitSeen = false, textEditing = true;
    std::uint64_t afterPoint = 0, leftP = 0;
    for (std::size_t i = 0; i < picture.size();) {
        char symbol = picture[i++];
        std::uint64_t count = 1, bytes = 1;
        if ((symbol == 'C' || symbol == 'D') && i < picture.size() && picture[i] == (symbol == 'C' ? 'R' : 'B')) {
            ++i;
            bytes = 2;
        }
        if (i < picture.size() && picture[i] == '(') {
            const auto close = picture.find(')', i);
            if (close == std::string::npos || close == i + 1)
                return std::nullopt;
            count = 0;
            for (std::size_t k = i + 1; k < close; ++k) {
                if (picture[k] < '0' || picture[k] > '9')
                    return std::nullopt;
                count = std::min(kCountCap, count * 10 + static_cast<std::uint64_t>(picture[k] - '0'));
            }
            if (count == 0)
                return std::nullopt;
            i = close + 1;
        }
        switch (symbol) {
        case 'X':
        case 'A':
            alphabetic = true;
            break;
        case '9':
            result.digits += count;
            afterPoint += point ? count : 0;
            digitSeen = true;
            break;
        case 'S':
            if (i != 1 || count != 1)
                return std::nullopt;
            result.sign = true;
            bytes = 0;
            break;
        case 'V':
            if (point || count != 1)
                return std::nullopt;
            point = true;
            bytes = 0;
            break;
        case 'P':
            // Left of the digits, the point stands before the P; right of them, the digits are a multiple.
            if (digitSeen && !point)
                result.scaledRight = true;
            else
                leftP += count;
            point = point || !digitSeen;
            bytes = 0;
            break;
        case 'B':
        case '0':
        case '/':
            edited = true;
            break;
        case 'Z':
        case '*':
        case ',':
        case '.':
        case '+':
        case '-':
        case '$':
        case 'C':
        case 'D':
        case 'E':
            if (bytes == 1 && (symbol == 'C' || symbol == 'D'))
                return std::nullopt;
            edited = true;
            textEditing = false;
            break;
        default:
            return std::nullopt;
        }
        result.width = std::min(kCountCap, result.width + count * bytes);
    }
    if (alphabetic) {
        // Alphanumeric pictures take 9, B, 0 and / beside X and A; nothing of a number.
        if (result.sign || point || leftP > 0 || result.scaledRight || !textEditing)
            return std::nullopt;
        return result;
    }
    if (edited) {
        if (result.sign)
            return std::nullopt;
        return result; // a numeric-edited item is the text it shows
    }
    if (result.digits == 0)
        return std::nullopt;
    result.numeric = true;
    result.scale = afterPoint + leftP;
    return result;
}

struct Item {
    int level = 0;
    std::string name; // empty for FILLER and unnamed items
    int line = 0;
    int column = 0;
    int parent = -1;
    std::vector<int> children;
    int redefined = -1;
    std::optional<Picture> picture;
    std::string pictureText;
    int pictureLine = 0;
    int pictureColumn = 0;
    Usage usage = Usage::Display;
    ZonedSign sign = ZonedSign::Trailing;
    bool hasOccurs = false;
    std::uint64_t occurs = 1;
    bool sync = false;
    // The field an elementary item becomes.
    bool elementary = false;
    FieldType type = FieldType::Text;
    FieldOptions options;
    // Where the first occurrence lies and how long one is.
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    bool converts = false; // holds a field with a name
};

class CopybookReader {
public:
    CopybookReader(const CopybookOptions& options, UiLanguage language) : options_(options), language_(language)
    {
        items_.emplace_back();
        open_.push_back(0);
    }

    Copybook Read(std::string_view text)
    {
        result_.description.settings.codePage =
            options_.codePage != 0 ? options_.codePage : options_.mainframe ? std::uint16_t{37} : kDefaultCodePage;
        if (text.size() > kMaxCopybookBytes) {
            Fail(MessageId::CopybookTooLarge, 0, 0, {std::to_string(kMaxCopybookBytes)});
            return std::move(result_);
        }
        const CopybookFault fault =
            ReadCopybookEntries(text, [this](const std::vector<CopybookToken>& entry) { return Entry(entry); });
        if (fault.Failed() && !result_.error.Failed())
            Fail(fault.id, fault.line, fault.column, fault.args);
        if (!result_.error.Failed())
            LayOut();
        if (result_.error.Failed())
            result_.description = {};
        std::stable_sort(notes_.begin(), notes_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& note : notes_)
            result_.notes.push_back(std::move(note.second));
        return std::move(result_);
    }

private:
    bool Fail(MessageId id, int line, int column, std::vector<std::string> args = {})
    {
        const std::string reason = Say(id, language_, args);
        result_.error = {id, line, column,
                         line == 0 ? reason
                                   : Say(MessageId::CopybookAt, language_,
                                         {std::to_string(line), std::to_string(column), reason})};
        return false;
    }

    bool Fail(MessageId id, const CopybookToken& at, std::vector<std::string> args = {})
    {
        return Fail(id, at.line, at.column, std::move(args));
    }

    // Every note names its line first; they are listed in line order.
    void Note(MessageId id, std::vector<std::string> args)
    {
        notes_.emplace_back(std::stoi(args[0]), Say(id, language_, args));
    }

    static std::string Shown(const CopybookToken& token) { return token.text.substr(0, 40); }

    std::string NameOf(const Item& item) const { return item.name.empty() ? "FILLER" : item.name; }

    // One data description entry: its level, its name and its clauses.
    bool Entry(const std::vector<CopybookToken>& words)
    {
        const CopybookToken& first = words[0];
        const std::string_view levelText = first.text;
        if (levelText.empty() || levelText.size() > 2 ||
            !std::all_of(levelText.begin(), levelText.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return Fail(MessageId::CopybookExpectedLevel, first, {Shown(first)});
        const int level = std::stoi(std::string(levelText));
        if (level == 88)
            return true; // condition names give values a meaning, not bytes
        if (level == 66) {
            Note(MessageId::NoteCopybookRenames,
                 {std::to_string(first.line), words.size() > 1 ? Shown(words[1]) : std::string()});
            return true;
        }
        if ((level < 1 || level > 49) && level != 77)
            return Fail(MessageId::CopybookBadLevel, first, {std::string(levelText)});
        if (items_.size() > kMaxCopybookItems)
            return Fail(MessageId::CopybookTooManyItems, first, {std::to_string(kMaxCopybookItems)});

        Item item;
        item.level = level == 77 ? 1 : level;
        item.line = first.line;
        item.column = first.column;
        std::size_t i = 1;
        if (i < words.size() && !words[i].literal && !ClauseWord(Upper(words[i].text))) {
            const std::string& name = words[i].text;
            const bool valid = std::all_of(name.begin(), name.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
            });
            if (!valid)
                return Fail(MessageId::CopybookBadName, words[i], {Shown(words[i])});
            item.name = Upper(name) == "FILLER" ? std::string() : name;
            ++i;
        }
        while (items_[open_.back()].level >= item.level)
            open_.pop_back();
        item.parent = open_.back();
        const Item& parent = items_[item.parent];
        if (parent.picture || parent.elementary)
            return Fail(MessageId::CopybookPictureAndItems, first, {NameOf(parent)});
        item.usage = parent.usage;
        item.sign = parent.sign;
        if (!Clauses(words, i, item))
            return false;
        const int index = static_cast<int>(items_.size());
        items_[item.parent].children.push_back(index);
        items_.push_back(std::move(item));
        open_.push_back(index);
        return true;
    }

    bool Clauses(const std::vector<CopybookToken>& words, std::size_t i, Item& item)
    {
        // The word after the clause's keyword, or nothing (and a fault).
        const auto operand = [&](std::string_view after) -> const CopybookToken* {
            if (i < words.size())
                return &words[i++];
            Fail(MessageId::CopybookMissingOperand, words[i - 1], {std::string(after)});
            return nullptr;
        };
        const auto skip = [&](std::initializer_list<std::string_view> optional) {
            while (i < words.size() && std::find(optional.begin(), optional.end(), Upper(words[i].text)) != optional.end())
                ++i;
        };
        const auto names = [&] {
            while (i < words.size() && !words[i].literal && !ClauseWord(Upper(words[i].text)))
                ++i;
        };
        while (i < words.size()) {
            const CopybookToken& at = words[i++];
            const std::string word = Upper(at.text);
            if (at.literal)
                return Fail(MessageId::CopybookUnknownClause, at, {Shown(at)});
            if (word == "IS" || word == "EXTERNAL" || word == "GLOBAL") {
                continue;
            } else if (word == "REDEFINES") {
                const CopybookToken* name = operand(word);
                if (name == nullptr || !Redefines(*name, item))
                    return false;
            } else if (word == "PIC" || word == "PICTURE") {
                skip({"IS"});
                const CopybookToken* picture = operand(word);
                if (picture == nullptr)
                    return false;
                item.picture = ReadPicture(picture->text);
                item.pictureText = picture->text;
                item.pictureLine = picture->line;
                item.pictureColumn = picture->column;
                if (!item.picture)
                    return Fail(MessageId::CopybookBadPicture, *picture, {Shown(*picture), "DISPLAY"});
            } else if (word == "USAGE" || UsageFromWord(word) || OtherUsage(word)) {
                skip({"IS"});
                const CopybookToken* usage = word == "USAGE" ? operand(word) : &at;
                if (usage == nullptr)
                    return false;
                const auto known = UsageFromWord(Upper(usage->text));
                if (!known)
                    return Fail(MessageId::CopybookUnknownUsage, *usage, {Shown(*usage)});
                item.usage = *known;
            } else if (word == "SIGN" || word == "LEADING" || word == "TRAILING") {
                skip({"IS"});
                const CopybookToken* where = word == "SIGN" ? operand(word) : &at;
                if (where == nullptr)
                    return false;
                const std::string place = Upper(where->text);
                if (place != "LEADING" && place != "TRAILING")
                    return Fail(MessageId::CopybookUnknownClause, *where, {Shown(*where)});
                const bool separate = i < words.size() && Upper(words[i].text) == "SEPARATE";
                skip({"SEPARATE", "CHARACTER"});
                item.sign = place == "LEADING" ? (separate ? ZonedSign::SeparateLeading : ZonedSign::Leading)
                                               : (separate ? ZonedSign::SeparateTrailing : ZonedSign::Trailing);
            } else if (word == "OCCURS") {
                if (!Occurs(words, i, item))
                    return false;
                names();
                while (i < words.size()) {
                    const std::string more = Upper(words[i].text);
                    if (more != "ASCENDING" && more != "DESCENDING" && more != "INDEXED")
                        break;
                    ++i;
                    skip({"KEY", "IS", "BY"});
                    names();
                }
            } else if (word == "SYNC" || word == "SYNCHRONIZED") {
                item.sync = true;
                skip({"LEFT", "RIGHT"});
            } else if (word == "JUST" || word == "JUSTIFIED") {
                skip({"RIGHT"});
            } else if (word == "BLANK") {
                skip({"WHEN"});
                if (operand(word) == nullptr)
                    return false;
            } else if (word == "VALUE" || word == "VALUES") {
                skip({"IS", "ARE", "ALL"});
                if (operand(word) == nullptr)
                    return false;
            } else {
                return Fail(MessageId::CopybookUnknownClause, at, {Shown(at)});
            }
        }
        return true;
    }

    bool Redefines(const CopybookToken& name, Item& item)
    {
        const std::string wanted = Upper(name.text);
        const auto& siblings = items_[item.parent].children;
        for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
            if (items_[*it].level == item.level && Upper(items_[*it].name) == wanted) {
                item.redefined = *it;
                return true;
            }
        }
        return Fail(MessageId::CopybookUnknownRedefines, name, {Shown(name)});
    }

    // OCCURS n [TO m] [TIMES] [DEPENDING [ON] name]: the most occurrences.
    bool Occurs(const std::vector<CopybookToken>& words, std::size_t& i, Item& item)
    {
        const auto count = [&](std::string_view after) -> std::optional<std::uint64_t> {
            if (i >= words.size() || words[i].literal || words[i].text.empty() ||
                !std::all_of(words[i].text.begin(), words[i].text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                Fail(MessageId::CopybookMissingOperand, words[i - 1], {std::string(after)});
                return std::nullopt;
            }
            std::uint64_t n = 0;
            for (char c : words[i++].text)
                n = std::min(kCountCap, n * 10 + static_cast<std::uint64_t>(c - '0'));
            return n;
        };
        auto n = count("OCCURS");
        if (!n)
            return false;
        if (i < words.size() && Upper(words[i].text) == "TO") {
            ++i;
            n = count("TO");
            if (!n)
                return false;
        }
        item.hasOccurs = true;
        item.occurs = *n;
        if (i < words.size() && Upper(words[i].text) == "TIMES")
            ++i;
        if (i < words.size() && Upper(words[i].text) == "DEPENDING") {
            ++i;
            if (i < words.size() && Upper(words[i].text) == "ON")
                ++i;
            if (i >= words.size()) {
                Fail(MessageId::CopybookMissingOperand, words[i - 1], {Upper(words[i - 1].text)});
                return false;
            }
            Note(MessageId::NoteCopybookDepending, {std::to_string(words[0].line), NameOf(item), Shown(words[i]),
                                                     std::to_string(*n)});
            ++i;
        }
        return true;
    }

    // The field an elementary item becomes, from its picture and usage.
    bool Describe(Item& item)
    {
        item.elementary = true;
        const std::string usage(UsageWord(item.usage));
        if (item.usage == Usage::Single || item.usage == Usage::Double) {
            item.type = FieldType::BinReal;
            item.size = item.usage == Usage::Single ? 4 : 8;
            item.options.bigEndian = item.options.ibm = options_.mainframe;
            return true;
        }
        const Picture& picture = *item.picture;
        const CopybookToken at{item.pictureText, item.pictureLine, item.pictureColumn, false};
        if (!picture.numeric) {
            if (item.usage != Usage::Display)
                return Fail(MessageId::CopybookBadPicture, at, {Shown(at), usage});
            item.size = picture.width;
            return true;
        }
        if (picture.scaledRight)
            return Fail(MessageId::CopybookScaleRight, at, {Shown(at)});
        const bool binary = item.usage == Usage::Binary || item.usage == Usage::Native;
        const std::uint64_t most = binary ? 18 : static_cast<std::uint64_t>(kMaxScale);
        if (std::max(picture.digits, picture.scale) > most)
            return Fail(MessageId::CopybookTooManyDigits, at,
                        {Shown(at), std::to_string(picture.digits), usage, std::to_string(most)});
        const auto digits = static_cast<std::uint32_t>(picture.digits);
        item.options.scale = static_cast<std::uint8_t>(picture.scale);
        switch (item.usage) {
        case Usage::Display: {
            const bool separate = item.sign == ZonedSign::SeparateLeading || item.sign == ZonedSign::SeparateTrailing;
            item.type = FieldType::Zoned;
            item.options.sign = picture.sign ? item.sign : ZonedSign::Trailing;
            item.options.ebcdic = options_.mainframe;
            item.size = digits + (picture.sign && separate ? 1 : 0);
            break;
        }
        case Usage::Packed:
            item.type = FieldType::Packed;
            item.options.isUnsigned = !picture.sign;
            item.size = digits / 2 + 1;
            break;
        default:
            // COMP is big-endian everywhere; COMP-5 is the machine's own order.
            item.type = FieldType::Integer;
            item.options.isUnsigned = !picture.sign;
            item.options.bigEndian = item.usage == Usage::Binary || options_.mainframe;
            item.size = digits <= 4 ? 2 : digits <= 9 ? 4 : 8;
            break;
        }
        return true;
    }

    // Lays out item `index` from byte `offset` of the record: its size, and
    // where each item inside it lies. Returns where it ends, or nothing.
    std::optional<std::uint64_t> Place(int index, std::uint64_t offset, bool inTable)
    {
        Item& item = items_[index];
        inTable = inTable || item.hasOccurs;
        if (item.children.empty()) {
            if (!item.picture && item.usage != Usage::Single && item.usage != Usage::Double) {
                Fail(MessageId::CopybookNoPicture, item.line, item.column, {NameOf(item)});
                return std::nullopt;
            }
            if (!Describe(item))
                return std::nullopt;
            // Binary numbers and reals with SYNC start at a multiple of their size, as the compilers put them.
            const bool aligned = item.sync && (item.usage != Usage::Display && item.usage != Usage::Packed);
            const std::uint64_t slack = aligned ? (item.size - offset % item.size) % item.size : 0;
            if (slack > 0 && inTable) {
                Fail(MessageId::CopybookSyncInTable, item.line, item.column);
                return std::nullopt;
            }
            if (slack > 0)
                Note(MessageId::NoteCopybookSync, {std::to_string(item.line), std::to_string(slack), NameOf(item)});
            item.offset = offset + slack;
            item.converts = !item.name.empty();
        } else {
            item.offset = offset;
            const auto end = PlaceAll(item.children, offset, inTable);
            if (!end)
                return std::nullopt;
            item.size = *end - offset;
            item.converts = std::any_of(item.children.begin(), item.children.end(),
                                        [&](int child) { return items_[child].converts && items_[child].redefined < 0; });
        }
        item.converts = item.converts && item.size > 0 && item.occurs > 0;
        const std::uint64_t end = item.offset + item.size * item.occurs;
        if (item.size > kMaxCopybookRecord || item.occurs > kMaxCopybookRecord || end > kMaxCopybookRecord) {
            Fail(MessageId::CopybookRecordTooLong, item.line, item.column, {std::to_string(kMaxCopybookRecord)});
            return std::nullopt;
        }
        return end;
    }

    // Items one after the other from `offset`; one that redefines another
    // lies where that one lies, and the next follows the longer of both.
    std::optional<std::uint64_t> PlaceAll(const std::vector<int>& indices, std::uint64_t offset, bool inTable)
    {
        std::uint64_t next = offset;
        for (int index : indices) {
            const int redefined = items_[index].redefined;
            const std::uint64_t start = redefined >= 0 ? items_[redefined].offset : next;
            const auto end = Place(index, start, inTable);
            if (!end)
                return std::nullopt;
            const Item& item = items_[index];
            if (redefined >= 0 && *end > start)
                Note(MessageId::NoteCopybookRedefines, {std::to_string(item.line), NameOf(item), std::to_string(start),
                                                         std::to_string(*end - 1), NameOf(items_[redefined])});
            next = std::max(next, *end);
        }
        return next;
    }

    // The fields of item `index` lying `shift` bytes further than its first
    // occurrence, their names ending in `suffix` ("-2", "-1-3" in tables).
    bool Emit(int index, std::uint64_t shift, const std::string& suffix)
    {
        const Item& item = items_[index];
        if (!item.converts)
            return true;
        for (std::uint64_t k = 0; k < item.occurs; ++k) {
            const std::string name = item.hasOccurs ? suffix + "-" + std::to_string(k + 1) : suffix;
            const std::uint64_t at = shift + k * item.size;
            if (!item.elementary) {
                for (int child : item.children) {
                    if (items_[child].redefined < 0 && !Emit(child, at, name))
                        return false;
                }
                continue;
            }
            auto& fields = result_.description.fields;
            if (fields.size() == kMaxCopybookFields)
                return Fail(MessageId::CopybookTooManyFields, item.line, item.column,
                            {std::to_string(kMaxCopybookFields)});
            // Column names hold 64 characters; the indexes stay, the name gives way.
            const std::string full = item.name.substr(0, 64 - std::min<std::size_t>(64, name.size())) + name;
            fields.push_back({Unique(full, item.line), static_cast<std::uint32_t>(item.offset + at),
                              static_cast<std::uint32_t>(item.size), item.type, item.options});
        }
        return true;
    }

    // Names a layout holds once; COBOL qualifies equal names by their groups.
    std::string Unique(const std::string& name, int line)
    {
        std::string unique = name;
        for (int n = 2; !taken_.insert(Upper(unique)).second; ++n)
            unique = name + "_" + std::to_string(n);
        if (unique != name)
            Note(MessageId::NoteCopybookSameName, {std::to_string(line), name, unique});
        return unique;
    }

    // The record is the first 01 item, or the items before any 01 where the
    // copybook has no 01 of its own; further records lie over it as the
    // records of one file do, and the longest gives the record length.
    void LayOut()
    {
        const std::vector<int>& top = items_[0].children;
        if (top.empty()) {
            Fail(MessageId::CopybookNoFields, 0, 0);
            return;
        }
        const auto firstRecord = std::find_if(top.begin() + 1, top.end(), [&](int i) { return items_[i].level == 1; });
        const std::vector<int> record(top.begin(), items_[top[0]].level == 1 ? top.begin() + 1 : firstRecord);
        const auto end = PlaceAll(record, 0, false);
        if (!end)
            return;
        std::uint64_t length = *end;
        for (auto other = record.size(); other < top.size(); ++other) {
            const auto otherEnd = Place(top[other], 0, false);
            if (!otherEnd)
                return;
            const Item& item = items_[top[other]];
            Note(MessageId::NoteCopybookOtherRecord,
                 {std::to_string(item.line), NameOf(item), std::to_string(*otherEnd == 0 ? 0 : *otherEnd - 1)});
            length = std::max(length, *otherEnd);
        }
        for (int index : record) {
            if (items_[index].redefined < 0 && !Emit(index, 0, ""))
                return;
        }
        if (result_.description.fields.empty()) {
            Fail(MessageId::CopybookNoFields, 0, 0);
            return;
        }
        result_.description.length = static_cast<std::uint32_t>(length);
    }

    CopybookOptions options_;
    UiLanguage language_;
    Copybook result_;
    std::vector<Item> items_; // [0] stands above every level, as the record's frame
    std::vector<int> open_;   // the items new ones may belong to, outermost first
    std::unordered_set<std::string> taken_;
    std::vector<std::pair<int, std::string>> notes_;
};

} // namespace

Copybook ReadCopybook(std::string_view text, const CopybookOptions& options, UiLanguage language)
{
    return CopybookReader(options, language).Read(text);
}

} // namespace zorbik
