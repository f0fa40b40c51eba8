// The view of the byte list: a report-style list with the marker icon in
// the first column. It turns mouse presses on rows into the two clicks of
// the design: left cycles the marker, right cycles the field type.
//
// Every row has the same height and the view keeps nothing per row: it
// paints the rows in sight and finds a row from a position by arithmetic.
// So appending a page, scrolling and painting cost the same whether the
// list holds one page or a thousand (a tree or table view of Qt keeps an
// entry per row and lays them all out again on every page).
#pragma once

#include <cstdint>

#include <QAbstractItemView>
#include <QElapsedTimer>

#include "marks/Marks.h"

class QHeaderView;

namespace zorbik {

class ByteListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit ByteListView(QWidget* parent = nullptr);

    // Sets the model and gives the columns their widths.
    void setModel(QAbstractItemModel* model) override;
    // Scrolls until the row is entirely visible, or to the top of the list
    // with `atTop`; nothing for -1.
    void ShowRow(std::int32_t row, bool atTop = false);

    QHeaderView* Header() const { return header_; }
    int columnWidth(int column) const;
    // The height of every row, in pixels.
    int RowHeight() const;
    // The row at the top of the list.
    int FirstShownRow() const;

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;
    // Goes to the next row whose byte number starts with the digits typed.
    void keyboardSearch(const QString& search) override;

signals:
    void MarkerClicked(int row);
    void FieldTypeClicked(int row);
    // A key that sets the current row's marker or field type directly.
    void MarkerKeyed(int row, MarkerKind kind);
    void FieldTypeKeyed(int row, FieldType type);
    // F2 or Enter: the field type dialog for the current row.
    void FieldTypeDialogKeyed();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Clicked(QMouseEvent* event);
    int RowCount() const;
    // Rows that fit entirely into the viewport; at least 1.
    int RowsInSight() const;
    // The rectangle of `row` in viewport coordinates, across all columns.
    QRect RowRect(int row) const;
    // The row at viewport height `y`, or -1 below the last row.
    int RowAt(int y) const;

    QHeaderView* header_;
    mutable int rowHeight_ = 0; // 0: not measured yet
    bool placing_ = false;      // guards updateGeometries against itself
    QString typed_;             // the digits typed so far
    QElapsedTimer typedTimer_;  // since the last of them
};

} // namespace zorbik
