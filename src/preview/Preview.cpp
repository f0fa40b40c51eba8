#include "preview/Preview.h"

#include <charconv>
#include <cstring>

#include "codecs/LittleEndian.h"
#include "codepage/CodePages.h"
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
    for (const PlannedColumn& column : prepared.plan.columns)
        preview.columnTypes.push_back(column.type);
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
    std::string text;
    for (const char c : cell.bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == '\t') {
            text += "\\t";
        } else if (byte == '\n') {
            text += "\\n";
        } else if (byte == '\\') {
            text += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        } else {
            text += CodePageCharUtf8(byte, codePage);
        }
    }
    return text;
}

} // namespace zorbik
