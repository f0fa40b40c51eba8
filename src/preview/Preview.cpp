#include "preview/Preview.h"

#include <charconv>
#include <cstring>

#include "codecs/LittleEndian.h"
#include "codepage/CodePages.h"
#include "convert/ConversionEngine.h"
#include "sheet/SheetBytes.h"

namespace zorbik {
namespace {

class VectorSink : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t n) override
    {
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};

// The cells of a worksheet this program wrote, row by row: ROW records
// start a row, LABEL, INTEGER and NUMBER records are its cells.
std::vector<std::vector<PreviewCell>> ReadCells(const std::vector<std::uint8_t>& sheet)
{
    std::vector<std::vector<PreviewCell>> rows;
    std::size_t at = kSheetHeader.size();
    while (at + 4 <= sheet.size()) {
        const std::uint8_t* record = sheet.data() + at;
        const std::uint32_t type = LoadLe32(record, 2);
        const std::uint32_t length = LoadLe32(record + 2, 2);
        const std::uint8_t* body = record + 4;
        at += 4 + length;
        if (at > sheet.size())
            break;
        PreviewCell cell;
        switch (type) {
        case 0x0008: // ROW
            rows.emplace_back();
            continue;
        case 0x0004: // LABEL: row, column, attributes, length, bytes
            cell.bytes.assign(reinterpret_cast<const char*>(body + 8), body[7]);
            break;
        case 0x0002: // INTEGER
            cell.kind = PreviewCell::Kind::Integer;
            cell.number = LoadLe32(body + 7, 2);
            break;
        case 0x0003: { // NUMBER
            cell.kind = PreviewCell::Kind::Number;
            const std::uint64_t bits = LoadLe64(body + 7);
            std::memcpy(&cell.number, &bits, 8);
            break;
        }
        default:
            continue;
        }
        if (!rows.empty())
            rows.back().push_back(std::move(cell));
    }
    return rows;
}

} // namespace

Preview MakePreview(const SourceBytes& source, const PreparedConversion& prepared, std::uint32_t records)
{
    Preview preview;
    RecordLayout layout = prepared.layout;
    layout.recordCount = std::min(layout.recordCount, records);
    VectorSink sink;
    const std::atomic<bool> noStop{false};
    if (RunConversion(source, layout, prepared.plan, sink, noStop, {}).status != ConversionStatus::Finished)
        return preview;
    preview.read = true;
    for (const PlannedColumn& column : prepared.plan.columns)
        preview.columnTypes.push_back(column.type);
    preview.rows = ReadCells(sink.bytes);
    return preview;
}

std::string PreviewCellText(const PreviewCell& cell, std::uint16_t codePage)
{
    if (cell.kind != PreviewCell::Kind::Text) {
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

std::string ColumnLetters(std::uint32_t column)
{
    std::string letters;
    for (std::uint64_t n = std::uint64_t{column} + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

} // namespace zorbik
