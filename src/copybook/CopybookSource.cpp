#include "copybook/CopybookSource.h"

#include <algorithm>
#include <cctype>

#include "copybook/Copybook.h"

namespace zorbik {
namespace {

bool Blank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Upper(std::string_view word)
{
    std::string upper(word);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Whether a line can be one of the fixed format: a sequence area of one
// run without blanks (or none), an indicator the format knows, nothing past
// column 80. A free-format line starting with its level number ("01 A.",
// "    05 B") fails this.
bool FitsFixed(std::string_view line)
{
    if (std::all_of(line.begin(), line.end(), Blank))
        return true;
    if (line.size() > 80 && !std::all_of(line.begin() + 80, line.end(), Blank))
        return false;
    const char indicator = line.size() > 6 ? line[6] : ' ';
    if (std::string_view(" */-Dd$").find(indicator) == std::string_view::npos)
        return false;
    const std::string_view sequence = line.substr(0, 6);
    const auto first = sequence.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return true;
    const std::string_view run = sequence.substr(first);
    if (run.find(' ') != std::string_view::npos)
        return false;
    const bool level = run.size() <= 2 && std::all_of(run.begin(), run.end(), [](char c) { return c >= '0' && c <= '9'; });
    return !(first > 0 && level && indicator == ' ');
}

std::string_view WithoutReturn(std::string_view line)
{
    return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

class EntryReader {
public:
    explicit EntryReader(const std::function<bool(const std::vector<CopybookToken>&)>& entry) : deliver_(entry) {}

    CopybookFault Run(std::string_view text)
    {
        fixed_ = true;
        ForEachLine(text, [&](std::string_view line, int) { fixed_ = fixed_ && FitsFixed(line); });
        ForEachLine(text, [&](std::string_view line, int lineNo) {
            if (!fault_.Failed() && !stopped_)
                Line(line, lineNo);
        });
        if (!fault_.Failed() && !stopped_ && openQuote_ != 0)
            Fail(MessageId::CopybookOpenLiteral, literalLine_, literalColumn_);
        if (!fault_.Failed() && !stopped_ && !entry_.empty())
            deliver_(entry_);
        return fault_;
    }

private:
    template <class Visit>
    static void ForEachLine(std::string_view text, Visit visit)
    {
        int lineNo = 0;
        while (!text.empty()) {
            const auto end = text.find('\n');
            visit(WithoutReturn(text.substr(0, end)), ++lineNo);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        }
    }

    void Fail(MessageId id, int line, int column, std::vector<std::string> args = {})
    {
        fault_ = {id, line, column, std::move(args)};
    }

    void Line(std::string_view line, int lineNo)
    {
        if (line.size() > kMaxCopybookLine)
            return Fail(MessageId::CopybookLineTooLong, lineNo, static_cast<int>(kMaxCopybookLine) + 1,
                        {std::to_string(kMaxCopybookLine)});
        std::string_view code = line;
        int firstColumn = 1;
        bool continuation = false;
        if (fixed_) {
            const char indicator = line.size() > 6 ? line[6] : ' ';
            if (indicator != ' ' && indicator != '-')
                return; // comments, page ejects, debugging lines, directives of their own
            continuation = indicator == '-';
            code = line.size() > 7 ? line.substr(7, std::min<std::size_t>(line.size(), 72) - 7) : std::string_view();
            firstColumn = 8;
        }
        const auto start = code.find_first_not_of(" \t");
        if (start != std::string_view::npos && openQuote_ == 0 && (code.substr(start, 2) == ">>" || code[start] == '$'))
            return Directive(code.substr(start));
        Scan(code, lineNo, firstColumn, continuation);
    }

    // ">>SOURCE FORMAT IS FREE" and its kin switch the format of the lines
    // after it; other directives do not change the bytes of a record.
    void Directive(std::string_view text)
    {
        const std::string upper = Upper(text);
        if (upper.find("SOURCE") == std::string::npos)
            return;
        if (upper.find("FREE") != std::string::npos)
            fixed_ = false;
        else if (upper.find("FIXED") != std::string::npos)
            fixed_ = true;
    }

    // Past the opening quote at `i`: the literal up to its closing quote, a
    // doubled quote standing for one; open at the line's end in the fixed
    // format, where a continuation line carries it on.
    std::size_t Literal(std::string_view code, std::size_t i, char quote, int lineNo, int column)
    {
        for (; i < code.size(); ++i) {
            if (code[i] != quote)
                continue;
            if (i + 1 < code.size() && code[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
        openQuote_ = quote;
        literalLine_ = lineNo;
        literalColumn_ = column;
        if (!fixed_)
            Fail(MessageId::CopybookOpenLiteral, lineNo, column);
        return i;
    }

    void Scan(std::string_view code, int lineNo, int firstColumn, bool continuation)
    {
        std::size_t i = 0;
        bool glue = continuation && !entry_.empty();
        if (openQuote_ != 0) {
            const auto start = code.find_first_not_of(" \t");
            if (!continuation || start == std::string_view::npos || code[start] != openQuote_)
                return Fail(MessageId::CopybookOpenLiteral, literalLine_, literalColumn_);
            const char quote = openQuote_;
            openQuote_ = 0;
            i = Literal(code, start + 1, quote, lineNo, firstColumn + static_cast<int>(start));
            glue = false;
        }
        const auto separatorAt = [&](std::size_t at) {
            return (code[at] == '.' || code[at] == ',' || code[at] == ';') &&
                   (at + 1 == code.size() || Blank(code[at + 1]));
        };
        while (i < code.size() && !fault_.Failed() && !stopped_) {
            const char c = code[i];
            const int column = firstColumn + static_cast<int>(i);
            if (Blank(c)) {
                ++i;
            } else if (code.substr(i, 2) == "*>") {
                break;
            } else if (separatorAt(i)) {
                if (c == '.')
                    EndEntry();
                glue = false;
                ++i;
            } else {
                std::size_t end = i;
                while (end < code.size() && !Blank(code[end]) && !separatorAt(end) && code[end] != '\'' &&
                       code[end] != '"')
                    ++end;
                const bool literal = end < code.size() && (code[end] == '\'' || code[end] == '"');
                if (literal)
                    end = Literal(code, end + 1, code[end], lineNo, column);
                std::string_view text = code.substr(i, end - i);
                if (glue && !entry_.empty() && !entry_.back().literal)
                    entry_.back().text += text;
                else
                    Add({std::string(text), lineNo, column, literal});
                glue = false;
                i = end;
            }
        }
    }

    void Add(CopybookToken token)
    {
        // Listing controls stand between entries without a period of their own.
        const std::string upper = Upper(token.text);
        if (entry_.empty() && (upper == "EJECT" || upper == "SKIP1" || upper == "SKIP2" || upper == "SKIP3"))
            return;
        if (entry_.size() == kMaxEntryWords)
            return Fail(MessageId::CopybookEntryTooLong, token.line, token.column, {std::to_string(kMaxEntryWords)});
        entry_.push_back(std::move(token));
    }

    void EndEntry()
    {
        if (!entry_.empty() && !deliver_(entry_))
            stopped_ = true;
        entry_.clear();
    }

    const std::function<bool(const std::vector<CopybookToken>&)>& deliver_;
    std::vector<CopybookToken> entry_;
    CopybookFault fault_;
    bool fixed_ = true;
    bool stopped_ = false;
    char openQuote_ = 0;
    int literalLine_ = 0;
    int literalColumn_ = 0;
};

} // namespace

CopybookFault ReadCopybookEntries(std::string_view text,
                                  const std::function<bool(const std::vector<CopybookToken>&)>& entry)
{
    return EntryReader(entry).Run(text);
}

} // namespace zorbik
