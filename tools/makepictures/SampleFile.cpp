#include "SampleFile.h"

namespace makepictures {

using zorbik::FieldType;
using zorbik::MarkerKind;

const std::vector<SampleRecord>& SampleRecords()
{
    static const std::vector<SampleRecord> records = {
        {"Maier", 12}, {"Huber", 250}, {"Weber", 1024}, {"Braun", 7}, {"Klein", 300},
    };
    return records;
}

std::vector<std::uint8_t> SampleFileBytes()
{
    // dBase-like header: version byte, then year, month and day of the last
    // change.
    std::vector<std::uint8_t> bytes = {0x03, 0x5F, 0x0C, 0x1F};
    for (const SampleRecord& record : SampleRecords()) {
        bytes.push_back(0x20);
        for (int i = 0; i < 5; ++i)
            bytes.push_back(static_cast<std::uint8_t>(record.name[i]));
        bytes.push_back(static_cast<std::uint8_t>(record.quantity & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(record.quantity >> 8));
        bytes.push_back(0x0D);
        bytes.push_back(0x0A);
    }
    return bytes;
}

zorbik::Marks MarkedSampleStore()
{
    zorbik::Marks store;
    store.AddRows(static_cast<std::int32_t>(SampleFileBytes().size()));
    const std::int32_t first = kSampleHeaderSize;
    store.SetMarker(first, MarkerKind::LineBegin);
    store.SetMarker(first + 1, MarkerKind::ColumnBegin);
    store.SetFieldType(first + 1, FieldType::Text);
    store.SetMarker(first + 5, MarkerKind::ColumnEnd);
    store.SetMarker(first + 6, MarkerKind::ColumnBegin);
    store.SetFieldType(first + 6, FieldType::BinInteger);
    store.SetMarker(first + 7, MarkerKind::ColumnEnd);
    store.SetMarker(first + kSampleRecordSize - 1, MarkerKind::LineEnd);
    return store;
}

std::vector<std::vector<QString>> SampleSheetCells()
{
    std::vector<std::vector<QString>> cells;
    for (const SampleRecord& record : SampleRecords())
        cells.push_back({QString::fromLatin1(record.name), QString::number(record.quantity)});
    return cells;
}

} // namespace makepictures
