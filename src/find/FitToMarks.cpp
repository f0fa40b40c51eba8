#include "find/ColumnGuess.h"
#include "marks/FieldOptions.h"
#include "marks/FieldType.h"

namespace zorbik {
namespace {

bool IsBlankConstant(const GuessedColumn& c, const std::vector<PositionStats>& stats)
{
    for (std::uint32_t i = c.offset; i < c.offset + c.length; ++i)
        if (!stats[i].constant || stats[i].value != ' ')
            return false;
    return true;
}

bool AllPrintableConstant(std::uint32_t offset, std::uint32_t length, const std::vector<PositionStats>& stats)
{
    for (std::uint32_t i = offset; i < offset + length; ++i)
        if (!stats[i].constant || stats[i].value < 0x20 || stats[i].value >= 0x7F)
            return false;
    return true;
}

// `a` and `b` side by side as one column; `cost` says how much of their
// meaning is lost (0: nothing, a text takes its padding).
GuessedColumn Join(const GuessedColumn& a, const GuessedColumn& b, const std::vector<PositionStats>& stats, int& cost)
{
    GuessedColumn joined{a.offset, a.length + b.length, FieldType::Text, ColumnReason::Joined};
    const auto is = [&](ColumnReason r) { return a.reason == r || b.reason == r; };
    const bool bothConstant = a.reason == ColumnReason::Constant && b.reason == ColumnReason::Constant;
    if (bothConstant) {
        joined.reason = ColumnReason::Constant;
        joined.type = AllPrintableConstant(joined.offset, joined.length, stats) || joined.length > 4
                          ? FieldType::Text
                          : FieldType::BinInteger;
        cost = 0;
    } else if (is(ColumnReason::Text) && (is(ColumnReason::Constant) || a.reason == b.reason)) {
        cost = 0;
    } else if (is(ColumnReason::NumberText) && (IsBlankConstant(a, stats) || IsBlankConstant(b, stats)) &&
               joined.length <= 20) {
        joined.type = FieldType::DecimalNumber;
        cost = 0;
    } else if ((a.reason == ColumnReason::Integer || a.reason == ColumnReason::Constant) &&
               (b.reason == ColumnReason::Integer || b.reason == ColumnReason::Constant) && joined.length <= 4) {
        joined.type = FieldType::BinInteger;
        cost = 1;
    } else {
        cost = is(ColumnReason::Text) || is(ColumnReason::NumberText) ? 2 : 5;
    }
    if (joined.length > 255)
        cost = 9;
    return joined;
}

// A column cut to a width its type cannot have (a date of 7 bytes, a
// Pascal string of 1) is converted as the text of its bytes: nothing is lost.
void KeepConvertible(GuessedColumn& column)
{
    if (!FieldWidthFits(column.type, column.options, column.length)) {
        column.type = FieldType::Text;
        column.reason = ColumnReason::Text;
        column.options = {};
    }
}

void SplitLast(std::vector<GuessedColumn>& columns, std::size_t i)
{
    GuessedColumn last = columns[i];
    --columns[i].length;
    last.offset += last.length - 1;
    last.length = 1;
    KeepConvertible(columns[i]);
    KeepConvertible(last);
    columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(i) + 1, last);
}

} // namespace

std::vector<GuessedColumn> FitToMarks(std::vector<GuessedColumn> columns, std::uint32_t length,
                                      const std::vector<PositionStats>& stats)
{
    // A column inside the record takes a begin and an end mark on two rows
    // of its own: a one-byte one is joined to the neighbour it hurts least.
    // Edge bytes left out make the first or last column one inside.
    for (std::size_t i = 0; i < columns.size() && columns.size() > 1;) {
        if (columns[i].length != 1 || columns[i].offset == 0 || columns[i].offset + 1 == length) {
            ++i;
            continue;
        }
        int costBefore = 9;
        int costAfter = 9;
        const GuessedColumn before = i > 0 ? Join(columns[i - 1], columns[i], stats, costBefore) : columns[i];
        const GuessedColumn after = i + 1 < columns.size() ? Join(columns[i], columns[i + 1], stats, costAfter) : columns[i];
        if (i > 0 && costBefore <= costAfter) {
            columns[i - 1] = before;
            columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(i));
            --i;
        } else {
            columns[i] = after;
            columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
    }
    // A lone column that ends on the record's last byte must begin on its
    // first: it takes back a left-out flag byte.
    if (columns.size() == 1 && columns[0].offset + columns[0].length == length) {
        columns[0].length = length;
        columns[0].offset = 0;
    }
    if (columns.size() != 2 || columns[0].offset != 0 || columns[1].offset + columns[1].length != length)
        return columns;

    // The first column's end is the second one's begin mark, and a column
    // that ends on the record's last byte is only made from the end mark
    // after another column: two columns need a third, or a constant edge
    // byte left out.
    GuessedColumn& first = columns[0];
    GuessedColumn& second = columns[1];
    const auto canLose = [&](const GuessedColumn& c, std::uint32_t at) {
        // A constant padding or flag byte; never a byte of a binary number
        // but the high zero byte of an integer.
        if (!stats[at].constant)
            return false;
        if (c.reason == ColumnReason::Integer)
            return at == c.offset + c.length - 1 && stats[at].value == 0;
        return c.reason == ColumnReason::Text || c.reason == ColumnReason::NumberText ||
               c.reason == ColumnReason::Constant || (c.reason == ColumnReason::PascalString && at > c.offset + 1);
    };
    if (first.length >= 3 && canLose(first, 0)) {
        ++first.offset;
        --first.length;
    } else if (second.length >= 3 && canLose(second, length - 1)) {
        --second.length;
    } else if (second.length >= 3) {
        SplitLast(columns, 1);
    } else if (first.length >= 3) {
        GuessedColumn rest = first;
        first.length = 1;
        ++rest.offset;
        --rest.length;
        KeepConvertible(first);
        KeepConvertible(rest);
        columns.insert(columns.begin() + 1, rest);
    } else {
        int cost = 0;
        columns = {Join(first, second, stats, cost)};
    }
    return columns;
}

} // namespace zorbik
