#include "target/XlsxTarget.h"

#include "target/DateText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <locale.h>
#include <utility>

#include <xlsxwriter.h>

#include "target/ZipDirectory.h"

namespace zorbik {
namespace {

// The bytes the library writes around a sheet's rows (its XML declaration,
// the sheet's head and tail) are more than this; a sheet member shorter
// than its rows and this lost some on the way.
constexpr std::uint64_t kSheetFrame = 400;

// Cells of one sheet past which its XML may pass 4 GiB, which only the
// ZIP64 form of the archive can hold. Excel 2007 does not read that form,
// so smaller sheets do without it.
constexpr std::uint64_t kZip64Cells = std::uint64_t{1} << 24;

// The library writes its numbers with printf, whose decimal point is the
// locale's: under a German locale, which the window takes from the user,
// 1.5 would become the broken 1,5. A call that may write rows holds the C
// locale on its thread for as long as it runs.
class CNumbers {
public:
    CNumbers() : previous_(uselocale(CLocale())) {}
    ~CNumbers() { uselocale(previous_); }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
    static locale_t CLocale()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
        return c;
    }
    locale_t previous_;
};

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Whether `text[at]` begins "_xHHHH_", which readers of the format take for
// the character HHHH.
bool EscapeAt(const char* text, std::size_t at, std::size_t size)
{
    return text[at] == '_' && size - at >= 7 && text[at + 1] == 'x' && IsHex(text[at + 2]) && IsHex(text[at + 3]) &&
           IsHex(text[at + 4]) && IsHex(text[at + 5]) && text[at + 6] == '_';
}

// Where the UTF-8 `text` ends after `characters` characters.
std::size_t CharactersEnd(const char* text, std::size_t size, std::size_t characters)
{
    for (std::size_t at = 0; at < size; ++at)
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && characters-- == 0)
            return at;
    return size;
}

} // namespace

XlsxTarget::XlsxTarget(const std::string& path, const TargetOptions& options)
    : path_(path), folder_(std::filesystem::path(path).parent_path().string()), names_(options.names)
{
    if (folder_.empty())
        folder_.push_back('.');
}

XlsxTarget::~XlsxTarget()
{
    Abort();
}

bool XlsxTarget::Begin(const TargetStart& start)
{
    failed_ = start.columns.size() > kXlsxColumns;
    // The library learns at the end whether the target can be made, and
    // puts its temporary files elsewhere when their folder is missing.
    std::FILE* const probe = failed_ ? nullptr : std::fopen(path_.c_str(), "ab");
    if (!probe || std::fclose(probe) != 0) {
        failed_ = true;
        return false;
    }
    decoders_ = ColumnDecoders(start.codePage, ColumnPages(start));
    columnNames_.clear();
    for (const TargetColumn& column : start.columns)
        columnNames_.push_back(column.name);
    rowsPerSheet_ = kXlsxSheetRows - (names_ ? 1 : 0);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder_.data();
    options.use_zip64 = std::min(start.recordCount, rowsPerSheet_) * start.columns.size() >= kZip64Cells;
    workbook_ = workbook_new_opt(path_.c_str(), &options);
    if (workbook_) {
        dateFormat_ = workbook_add_format(workbook_);
        format_set_num_format(dateFormat_, "yyyy-mm-dd");
        dateTimeFormat_ = workbook_add_format(workbook_);
        format_set_num_format(dateTimeFormat_, "yyyy-mm-dd hh:mm:ss");
    }
    failed_ = !workbook_ || !AddSheet();
    return !failed_;
}

// A new sheet (Sheet1, Sheet2, ...), its names row written.
bool XlsxTarget::AddSheet()
{
    if (!sheets_.empty() && !SheetWritten(sheets_.back()))
        return false;
    lxw_worksheet* const sheet = workbook_add_worksheet(workbook_, nullptr);
    if (!sheet)
        return false;
    sheets_.push_back(sheet);
    for (std::size_t i = 0; names_ && i < columnNames_.size(); ++i) {
        const std::string& name = columnNames_[i];
        column_ = static_cast<std::uint16_t>(i);
        text_.assign(name.begin(), name.end());
        text_.push_back('\0');
        if (!name.empty())
            PutText(0, text_.data(), name.size());
    }
    return !failed_;
}

// Hands the sheet's last row to its temporary file, and tells whether all
// its rows arrived there. The library does not check its writes to that
// file.
bool XlsxTarget::SheetWritten(lxw_worksheet* sheet)
{
    const CNumbers numbers;
    lxw_worksheet_write_single_row(sheet);
    return std::fflush(sheet->optimize_tmpfile) == 0 && !std::ferror(sheet->optimize_tmpfile);
}

void XlsxTarget::Row(std::uint64_t record)
{
    const std::uint64_t inSheet = record % rowsPerSheet_;
    if (inSheet == 0 && record > 0 && !failed_)
        failed_ = !AddSheet();
    row_ = static_cast<std::uint32_t>(inSheet + (names_ ? 1 : 0));
    column_ = 0;
}

void XlsxTarget::Put(int error)
{
    ++column_;
    if (error != LXW_NO_ERROR)
        failed_ = true;
}

// Writes the UTF-8 `text` (room for one more byte after it), cut to the
// characters a cell holds. Control characters are the library's to
// escape; a text that reads as an escape itself gets its underscore
// escaped ("_x005F_"), so that it stays what it was. The escape counts
// as characters, and a cut never parts it.
void XlsxTarget::PutText(std::uint32_t row, char* text, std::size_t size)
{
    if (std::memchr(text, '_', size)) {
        std::size_t escapes = 0;
        for (std::size_t at = 0; at < size; ++at)
            escapes += EscapeAt(text, at, size);
        if (escapes > 0) {
            escaped_.resize(size + 6 * escapes + 1);
            char* out = escaped_.data();
            std::size_t characters = 0;
            for (std::size_t at = 0; at < size; ++at) {
                const bool escape = EscapeAt(text, at, size);
                if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
                    characters += escape ? 7 : 1;
                    if (characters > kXlsxCellCharacters) {
                        ++textsCut_;
                        break;
                    }
                }
                if (escape)
                    out = std::copy_n("_x005F", 6, out);
                *out++ = text[at];
            }
            text = escaped_.data();
            size = static_cast<std::size_t>(out - text);
        }
    }
    // A character is at most 3 bytes, so only a long text needs counting.
    if (size > kXlsxCellCharacters) {
        const std::size_t cut = CharactersEnd(text, size, kXlsxCellCharacters);
        textsCut_ += cut < size;
        size = cut;
    }
    text[size] = '\0';
    const CNumbers numbers;
    Put(worksheet_write_string(sheets_.back(), row, column_, text, nullptr));
}

void XlsxTarget::Text(const std::uint8_t* bytes, std::uint32_t n)
{
    if (failed_)
        return;
    if (text_.size() <= std::size_t{n} * TextDecoder::kMaxPerByte)
        text_.resize(std::size_t{n} * TextDecoder::kMaxPerByte + 1);
    const std::size_t size = decoders_.For(column_).Decode(bytes, n, text_.data());
    if (size == 0)
        ++column_;
    else
        PutText(row_, text_.data(), size);
}

void XlsxTarget::Integer(std::int64_t value)
{
    if (failed_)
        return;
    const CNumbers numbers;
    Put(worksheet_write_number(sheets_.back(), row_, column_, static_cast<double>(value), nullptr));
}

void XlsxTarget::Number(double value)
{
    if (failed_)
        return;
    // The library writes a number with 16 significant digits: a double
    // that needs a 17th is rounded in it, and the largest ones would round
    // past the largest double and read back as infinity, so they become the
    // largest number of 16 digits below it.
    constexpr double kLargest = 1.797693134862315e308;
    const CNumbers numbers;
    if (std::isfinite(value))
        Put(worksheet_write_number(sheets_.back(), row_, column_, std::clamp(value, -kLargest, kLargest), nullptr));
    else
        Put(worksheet_write_string(sheets_.back(), row_, column_, std::isnan(value) ? "NaN" : value > 0 ? "inf" : "-inf",
                                   nullptr));
}

void XlsxTarget::Date(const DateValue& date, double)
{
    if (failed_)
        return;
    if (date.year < 1900) {
        char text[kDateTextSize + 1];
        PutText(row_, text, DateText(date, text));
        return;
    }
    lxw_datetime value{date.year, date.month, date.day, static_cast<int>(date.millisecond / 3600000),
                       static_cast<int>(date.millisecond / 60000 % 60), date.millisecond % 60000 / 1000.0};
    const CNumbers numbers;
    Put(worksheet_write_datetime(sheets_.back(), row_, column_, &value, date.hasTime ? dateTimeFormat_ : dateFormat_));
}

bool XlsxTarget::Failed()
{
    if (!failed_ && !sheets_.empty() && std::ferror(sheets_.back()->optimize_tmpfile))
        failed_ = true;
    return failed_;
}

bool XlsxTarget::End()
{
    if (!workbook_)
        return false;
    std::vector<std::uint64_t> rowBytes;
    for (lxw_worksheet* sheet : sheets_) {
        failed_ = failed_ || !SheetWritten(sheet);
        rowBytes.push_back(static_cast<std::uint64_t>(std::ftell(sheet->optimize_tmpfile)));
    }
    if (failed_) {
        Abort();
        return false;
    }
    sheets_.clear();
    const CNumbers numbers;
    if (workbook_close(std::exchange(workbook_, nullptr)) != LXW_NO_ERROR) {
        failed_ = true;
        return false;
    }
    // The library copies each sheet through one more temporary file without
    // checking that copy, and reports success for a sheet cut short.
    const auto members = ZipMemberSizes(path_);
    failed_ = !members;
    for (std::size_t i = 0; !failed_ && i < rowBytes.size(); ++i) {
        const auto member = members->find("xl/worksheets/sheet" + std::to_string(i + 1) + ".xml");
        failed_ = member == members->end() || member->second < rowBytes[i] + kSheetFrame;
    }
    return !failed_;
}

void XlsxTarget::Abort()
{
    if (!workbook_)
        return;
    // The library leaves the sheets' temporary files open when it frees a
    // workbook it has not written.
    for (lxw_worksheet* sheet : sheets_) {
        std::fclose(sheet->optimize_tmpfile);
        sheet->optimize_tmpfile = nullptr;
        sheet->file = nullptr;
    }
    sheets_.clear();
    lxw_workbook_free(std::exchange(workbook_, nullptr));
}

} // namespace zorbik
