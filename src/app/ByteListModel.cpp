#include "app/ByteListModel.h"

#include <limits>

#include "qtcommon/QtText.h"
#include "codepage/RowText.h"
#include "layout/LayoutFile.h"

namespace zorbik {
namespace {

// As an int: the header view reads the alignment with toInt().
int ColumnAlignment(int column)
{
    const bool centred = column == ByteListModel::FieldTypeColumn || column == ByteListModel::HexColumn;
    return static_cast<int>((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
}

// Row numbers are signed 32-bit: a source longer than that is shown up to
// there.
constexpr std::uint32_t kMaxRows = std::numeric_limits<std::int32_t>::max();

constexpr MessageId kColumnTitles[ByteListModel::ColumnCount] = {
    MessageId::NumberColumnTitle, MessageId::CharacterColumnTitle, MessageId::FieldTypeColumnTitle,
    MessageId::HexColumnTitle};

} // namespace

ByteListModel::ByteListModel(const SourceBytes& source, const Marks& marks, const MarkerIcons& icons,
                             UiLanguage language, QObject* parent)
    : QAbstractTableModel(parent), source_(source), marks_(marks), icons_(icons), language_(language)
{
}

void ByteListModel::ShowFirstPage()
{
    blockStart_ = -1;
    // Marks reach the first 2 GiB; a larger source converts whole.
    end_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(source_.Size(), std::uint64_t{kMaxMarkRow} + 1));
    if (end_ >= kPageSize) {
        cursor_ = kPageSize;
        AddBytePage(kPageSize);
    } else {
        cursor_.reset();
        AddBytePage(end_);
    }
}

void ByteListModel::ShowNextPage()
{
    if (!cursor_)
        return;
    if (end_ - *cursor_ >= kPageSize) {
        AddBytePage(kPageSize);
        *cursor_ += kPageSize;
    } else {
        AddBytePage(end_ - *cursor_);
        cursor_.reset();
    }
}

void ByteListModel::AddBytePage(std::uint32_t count)
{
    count = std::min(count, kMaxRows - shown_);
    if (count == 0)
        return;
    beginInsertRows({}, static_cast<int>(shown_), static_cast<int>(shown_ + count - 1));
    shown_ += count;
    endInsertRows();
}

void ByteListModel::SetCodePage(std::uint16_t codePage)
{
    codePage_ = codePage;
    if (shown_ > 0)
        emit dataChanged(index(0, CharacterColumn), index(static_cast<int>(shown_) - 1, CharacterColumn));
}

void ByteListModel::ShowThrough(std::uint32_t row)
{
    if (!cursor_ || row < *cursor_)
        return;
    const std::uint64_t through = (std::uint64_t{row} / kPageSize + 1) * kPageSize;
    if (through >= end_) {
        AddBytePage(end_ - *cursor_);
        cursor_.reset();
    } else {
        AddBytePage(static_cast<std::uint32_t>(through - *cursor_));
        cursor_ = static_cast<std::uint32_t>(through);
    }
}

void ByteListModel::ClearRows()
{
    beginResetModel();
    shown_ = 0;
    cursor_.reset();
    end_ = 0;
    blockStart_ = -1;
    endResetModel();
}

int ByteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_);
}

int ByteListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

std::optional<std::uint8_t> ByteListModel::ByteAt(std::int32_t row) const
{
    const auto offset = static_cast<std::int64_t>(row);
    if (blockStart_ < 0 || offset < blockStart_ || offset >= blockStart_ + static_cast<std::int64_t>(blockCount_)) {
        blockStart_ = offset - offset % static_cast<std::int64_t>(kBlockSize);
        const std::int64_t got = source_.ReadAt(static_cast<std::uint64_t>(blockStart_), block_.data(), kBlockSize);
        blockCount_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    const auto at = static_cast<std::size_t>(offset - blockStart_);
    if (at >= blockCount_)
        return std::nullopt; // the file was shortened or cannot be read
    return block_[at];
}

QVariant ByteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<std::uint32_t>(index.row()) >= shown_)
        return {};
    const std::int32_t row = index.row();
    const UiLanguage language = language_;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case NumberColumn:
            return QtText(FormatDecimal(static_cast<std::uint32_t>(row)));
        case CharacterColumn:
            if (const auto byte = ByteAt(row))
                return QtText(ByteCharText(*byte, language, codePage_));
            return {};
        case FieldTypeColumn: {
            // The name first: the column is narrow, and the name says most.
            const ColumnTraits traits = marks_.GetTraits(row);
            return QtText(FieldTypeShort(marks_.GetFieldType(row), marks_.GetFieldOptions(row), language_) +
                          ColumnTraitWords({traits.name, 0}) + ColumnTraitWords({{}, traits.width}));
        }
        case HexColumn:
            if (const auto byte = ByteAt(row))
                return QtText(FormatHexByte(*byte));
            return {};
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() == NumberColumn)
            return icons_.For(marks_.GetMarker(row));
        return {};
    case Qt::TextAlignmentRole:
        return ColumnAlignment(index.column());
    }
    return {};
}

QVariant ByteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QtText(kColumnTitles[section], language_);
    if (role == Qt::TextAlignmentRole)
        return ColumnAlignment(section);
    return {};
}

void ByteListModel::MarksChanged(std::int32_t first, std::int32_t last)
{
    first = std::max(first, 0);
    const std::int64_t end = std::min<std::int64_t>(last, std::int64_t{shown_} - 1);
    if (first <= end)
        emit dataChanged(index(first, NumberColumn), index(static_cast<int>(end), FieldTypeColumn));
}

} // namespace zorbik
