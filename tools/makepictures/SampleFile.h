// The example source file of the pictures: the data file of a small old
// database, a 4-byte file header followed by records of 10 bytes:
//   byte 0     a blank (the "not deleted" flag)
//   bytes 1-5  a name, 5 characters of text
//   bytes 6-7  a quantity, binary integer, little-endian
//   bytes 8-9  carriage return and line feed
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "source/Marks.h"

namespace makepictures {

inline constexpr std::int32_t kSampleHeaderSize = 4;
inline constexpr std::int32_t kSampleRecordSize = 10;

struct SampleRecord {
    const char* name; // exactly 5 characters
    std::uint16_t quantity;
};

const std::vector<SampleRecord>& SampleRecords();

// The whole file: header, then every record.
std::vector<std::uint8_t> SampleFileBytes();

// A store with one row per byte of the file and the first record marked as
// the user marks it: LineBegin on its flag byte, a "Text" column over the
// name, a "BinInteger" column over the quantity, LineEnd on its line feed.
zorbik::Marks MarkedSampleStore();

// The worksheet the conversion of the example file gives: name, quantity.
std::vector<std::vector<QString>> SampleSheetCells();

} // namespace makepictures
