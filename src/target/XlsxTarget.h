// Writes the cells as an Office Open XML workbook (.xlsx) through
// libxlsxwriter. The library holds one row in memory (its constant-memory
// mode) and the rest in temporary files in the target's folder, so that a
// full disk shows where the target is. Rows go on in the next sheet when a
// sheet is full; every sheet begins with the names row when there is one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codepage/CodePages.h"
#include "target/CellTarget.h"
#include "target/TargetFormat.h"
#include "target/TextDecoder.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace zorbik {

class XlsxTarget {
public:
    // `path` (UTF-8) is written at End(); a file there is replaced.
    XlsxTarget(const std::string& path, const TargetOptions& options);
    ~XlsxTarget();
    XlsxTarget(const XlsxTarget&) = delete;
    XlsxTarget& operator=(const XlsxTarget&) = delete;

    // False for more than kXlsxColumns columns, or when the temporary file
    // of the first sheet cannot be made.
    bool Begin(const TargetStart& start);
    void Row(std::uint64_t record);
    // Longer than kXlsxCellCharacters characters: cut, and counted. An
    // empty text leaves the cell blank.
    void Text(const std::uint8_t* bytes, std::uint32_t n);
    void Integer(std::int64_t value);
    // NaN and the infinities, which a sheet's numbers cannot be, become the
    // texts "NaN", "inf" and "-inf", the words the CSV target writes.
    void Number(double value);
    void Unsigned(std::uint64_t value) { Number(static_cast<double>(value)); }
    // A date cell, shown as a date; days before 1900, which a sheet's day
    // numbers do not reach, are their ISO 8601 text.
    void Date(const DateValue& date, double);
    void Empty(bool) { ++column_; }
    void EndRow() {}
    bool Failed();
    // Packs the workbook into the target; false when anything failed or
    // a sheet did not reach the file whole.
    bool End();
    // Frees everything and writes no file.
    void Abort();
    TargetNotes Notes() const { return {decoders_.Undefined(), textsCut_}; }

private:
    bool AddSheet();
    bool SheetWritten(lxw_worksheet* sheet);
    void PutText(std::uint32_t row, char* text, std::size_t size);
    void Put(int error);

    std::string path_;
    std::string folder_; // the library's temporary files
    bool names_;
    std::vector<std::string> columnNames_;
    std::uint64_t rowsPerSheet_ = kXlsxSheetRows;
    lxw_workbook* workbook_ = nullptr;
    std::vector<lxw_worksheet*> sheets_;
    std::uint32_t row_ = 0;
    std::uint16_t column_ = 0;
    ColumnDecoders decoders_{kDefaultCodePage, {}};
    // The decoded text of a cell, and the same with its underscores
    // escaped, reused from cell to cell.
    std::vector<char> text_;
    std::vector<char> escaped_;
    std::uint64_t textsCut_ = 0;
    lxw_format* dateFormat_ = nullptr;     // yyyy-mm-dd
    lxw_format* dateTimeFormat_ = nullptr; // yyyy-mm-dd hh:mm:ss
    bool failed_ = false;
};

static_assert(CellTarget<XlsxTarget>);

} // namespace zorbik
