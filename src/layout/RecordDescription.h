// A record's layout as a description of the file gives it (a COBOL
// copybook, a dBASE table's header): fields by offset and width, with their
// names, instead of marks on rows. LayoutFromDescription makes the marks that
// convert exactly these fields, so a copybook, a table header and a layout
// file all end in the same conversion.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/ConversionSettings.h"
#include "layout/LayoutFile.h"
#include "marks/FieldOptions.h"
#include "marks/FieldType.h"

namespace zorbik {

struct DescribedField {
    std::string name;          // "" for a column without a name
    std::uint32_t offset = 0;  // from the record's first byte
    std::uint32_t width = 1;   // bytes, at least 1
    FieldType type = FieldType::Text;
    FieldOptions options;
    bool operator==(const DescribedField&) const = default;
};

struct RecordDescription {
    std::uint32_t length = 0;           // bytes of one record
    std::vector<DescribedField> fields; // ascending offsets, not overlapping, inside the record
    ConversionSettings settings;        // the code page the description names
    bool operator==(const RecordDescription&) const = default;
};

// The marks and settings for records of `description` starting at byte
// `recordBegin` of the source: one column per field, in field order, with
// its name, type and options; bytes between fields belong to no column.
// A name that is no column name (IsColumnName) or repeats an earlier one
// leaves its column known by its letters. A description the marks cannot
// hold gives no marks at all, which PrepareConversion refuses as it refuses
// an unmarked source: no fields, a record of one byte (its begin and end
// would share a row), fields out of order, overlapping or outside the
// record, a record past the last row that can be marked.
Layout LayoutFromDescription(std::uint64_t recordBegin, const RecordDescription& description);

} // namespace zorbik
