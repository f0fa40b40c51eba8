#include "preview/Preview.h"

#include <charconv>
#include <cstring>

#include "codecs/LittleEndian.h"
#include "codepage/CodePages.h"
#include "codepage/Utf8.h"
#include "convert/RecordLoop.h"
#include "target/DateText.h"

namespace zorbik {
namespace {

// Collects the cells of the first records as the conversion hands them to
// every target.
class PreviewCells {
public:
    explicit PreviewCells(std::vector<std::vector<PreviewCell>>& rows) : rows_(rows) {}
    bool Begin(const TargetStart&) { return true; }
    void Row(std::uint64_t) { rows_.emplace_back(); }
    void Text(const std::uint8_t* bytes, std::uint32_t n)
    {
        PreviewCell cell;
        cell.bytes.assign(reinterpret_cast<const char*>(bytes), n);
        rows_.back().push_back(std::move(cell));
    }
    void Integer(std::int64_t value) { Digits(value); }
    void Unsigned(std::uint64_t value) { Digits(value); }
    void Number(double value) { rows_.back().push_back({PreviewCell::Kind::Number, {}, value}); }
    void Date(const DateValue& date, double)
    {
        char text[kDateTextSize];
        rows_.back().push_back({PreviewCell::Kind::Date, std::string(text, DateText(date, text)), 0});
    }
    void Empty(bool invalid)
    {
        rows_.back().push_back({invalid ? PreviewCell::Kind::Invalid : PreviewCell::Kind::Empty, {}, 0});
    }
    void EndRow() {}
    bool Failed() const { return false; }
    bool End() { return true; }
    void Abort() {}
    TargetNotes Notes() const { return {}; }

private:
    template <class T>
    void Digits(T value)
    {
        char digits[24];
        const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        rows_.back().push_back({PreviewCell::Kind::Integer, std::string(static_cast<const char*>(digits), end), 0});
    }

    std::vector<std::vector<PreviewCell>>& rows_;
};

} // namespace

Preview MakePreview(const SourceBytes& source, const PreparedConversion& prepared, std::uint32_t records)
{
    Preview preview;
    RecordLayout layout = prepared.layout;
    layout.recordCount = std::min<std::uint64_t>(layout.recordCount, records);
    const std::atomic<bool> noStop{false};
    PreviewCells cells(preview.rows);
    if (RunRecords(source, layout, prepared.plan, cells, noStop, {}).status != ConversionStatus::Finished) {
        preview.rows.clear();
        return preview;
    }
    preview.read = true;
    preview.columnNames = ColumnNames(prepared.plan);
    for (const PlannedColumn& column : prepared.plan.columns) {
        preview.columnTypes.push_back(column.type);
        preview.columnPages.push_back(column.type == FieldType::Text ? column.options.codePage : std::uint16_t{0});
    }
    return preview;
}

std::string PreviewCellText(const PreviewCell& cell, std::uint16_t codePage, UiLanguage language)
{
    switch (cell.kind) {
    case PreviewCell::Kind::Integer:
    case PreviewCell::Kind::Date:
        return cell.bytes;
    case PreviewCell::Kind::Empty:
        return {};
    case PreviewCell::Kind::Invalid:
        return std::string(Text(MessageId::InvalidCell, language));
    default:
        break;
    }
    if (cell.kind == PreviewCell::Kind::Number) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, cell.number).ptr;
        return std::string(digits, end);
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(cell.bytes.data());
    std::string text;
    for (std::size_t i = 0; i < cell.bytes.size();) {
        const std::uint8_t byte = bytes[i];
        char32_t c = CodePageChar(byte, codePage);
        std::size_t length = 1;
        if (codePage == kUtf8CodePage && byte >= 0x80) {
            const Utf8Step step = ReadUtf8(bytes + i, cell.bytes.size() - i);
            c = step.c == kNotUtf8 ? U'\uFFFD' : step.c;
            length = step.bytes;
        }
        if (c == '\t') {
            text += "\\t";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (c < 0x20 || c == 0x7F) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        } else {
            char utf8[4];
            text.append(utf8, WriteUtf8(c, utf8));
        }
        i += length;
    }
    return text;
}

} // namespace zorbik
