// The byte list: one row per shown source byte, 1024 rows a page. Rows are
// not stored; each text is made when the view asks for it, from the source
// bytes and the window's marks, so a huge source costs no more than a small
// one. Row i is byte i.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

#include <QAbstractTableModel>

#include "app/MarkerIcons.h"
#include "messages/Messages.h"
#include "marks/Marks.h"
#include "file/SourceBytes.h"

namespace zorbik {

class ByteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr std::uint32_t kPageSize = 1024;
    enum Column { NumberColumn = 0, CharacterColumn, FieldTypeColumn, HexColumn, ColumnCount };

    // Shows `marks`; whoever changes them tells the model (MarksChanged).
    ByteListModel(const SourceBytes& source, const Marks& marks, const MarkerIcons& icons, UiLanguage language,
                  QObject* parent = nullptr);

    // The first page of a source that has just been opened: up to 1024 rows.
    void ShowFirstPage();
    // Appends the next page, or the rest of the source; nothing once the
    // whole source is shown.
    void ShowNextPage();
    // Appends whole pages until `row` is shown (or the whole source).
    void ShowThrough(std::uint32_t row);
    // The code page the character column shows bytes in.
    void SetCodePage(std::uint16_t codePage);
    // Deletes every row; the next source starts at byte 0.
    void ClearRows();
    // The marks of rows `first` to `last` changed (all shown rows when
    // called without rows).
    void MarksChanged(std::int32_t first = 0, std::int32_t last = std::numeric_limits<std::int32_t>::max());
    // Whether More bytes would still add rows.
    bool HasNextPage() const { return cursor_.has_value(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void AddBytePage(std::uint32_t count);
    std::optional<std::uint8_t> ByteAt(std::int32_t row) const;

    const SourceBytes& source_;
    const Marks& marks_;
    std::uint32_t shown_ = 0; // rows shown
    const MarkerIcons& icons_;
    UiLanguage language_;
    std::uint16_t codePage_ = 1252;
    std::uint32_t end_ = 0;
    std::optional<std::uint32_t> cursor_; // first byte not shown yet

    // The last block read, so painting a screenful costs one read.
    static constexpr std::size_t kBlockSize = 4096;
    mutable std::array<std::uint8_t, kBlockSize> block_{};
    mutable std::int64_t blockStart_ = -1;
    mutable std::size_t blockCount_ = 0;
};

} // namespace zorbik
