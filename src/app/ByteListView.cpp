#include "app/ByteListView.h"

#include <algorithm>
#include <climits>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "app/MarkerIcons.h"
#include "app/RowNumberSearch.h"
#include "qtcommon/WindowGeometry.h"

namespace zorbik {
namespace {

// Rows far out of sight are placed this far away at most, so that the
// arithmetic on pixel positions of a list of two billion rows stays in int.
constexpr qint64 kFarAway = 1 << 24;

int ClampToFar(qint64 pixels)
{
    return static_cast<int>(std::clamp(pixels, -kFarAway, kFarAway));
}

// Rounds towards minus infinity, so that a point above the list lies in a
// row above the first shown.
qint64 FloorDiv(qint64 value, qint64 by)
{
    return value >= 0 ? value / by : -((-value + by - 1) / by);
}

} // namespace

ByteListView::ByteListView(QWidget* parent) : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(MarkerIcons::kSize, MarkerIcons::kSize));
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    header_->setSectionsMovable(false);
    header_->setSectionsClickable(false);
    header_->setStretchLastSection(false);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header_, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
}

void ByteListView::setModel(QAbstractItemModel* model)
{
    if (this->model() != nullptr)
        disconnect(this->model(), &QAbstractItemModel::rowsRemoved, this, nullptr);
    QAbstractItemView::setModel(model);
    header_->setModel(model);
    if (model != nullptr) {
        connect(model, &QAbstractItemModel::rowsRemoved, this, [this] {
            updateGeometries();
            viewport()->update();
        });
        for (int column = 0; column < 4; ++column)
            header_->resizeSection(column, kColumnWidths[column]);
    }
    rowHeight_ = 0;
    updateGeometries();
}

void ByteListView::ShowRow(std::int32_t row, bool atTop)
{
    if (row < 0 || model() == nullptr || row >= RowCount())
        return;
    scrollTo(model()->index(row, 0, rootIndex()), atTop ? PositionAtTop : EnsureVisible);
}

int ByteListView::columnWidth(int column) const
{
    return header_->sectionSize(column);
}

int ByteListView::RowCount() const
{
    return model() == nullptr ? 0 : model()->rowCount(rootIndex());
}

// Measured once on the first row: the rows differ only in their texts.
int ByteListView::RowHeight() const
{
    if (rowHeight_ > 0)
        return rowHeight_;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int height = std::max(fontMetrics().height(), iconSize().height());
    if (RowCount() > 0) {
        for (int column = 0; column < model()->columnCount(rootIndex()); ++column) {
            const QModelIndex index = model()->index(0, column, rootIndex());
            height = std::max(height, itemDelegateForIndex(index)->sizeHint(option, index).height());
        }
        rowHeight_ = height;
    }
    return std::max(1, height);
}

int ByteListView::FirstShownRow() const
{
    return verticalScrollBar()->value();
}

int ByteListView::RowsInSight() const
{
    return std::max(1, viewport()->height() / RowHeight());
}

QRect ByteListView::RowRect(int row) const
{
    const qint64 top = (static_cast<qint64>(row) - FirstShownRow()) * RowHeight();
    return QRect(-horizontalOffset(), ClampToFar(top), header_->length(), RowHeight());
}

int ByteListView::RowAt(int y) const
{
    const qint64 row = FirstShownRow() + FloorDiv(y, RowHeight());
    return row >= 0 && row < RowCount() ? static_cast<int>(row) : -1;
}

QRect ByteListView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex())
        return {};
    const QRect row = RowRect(index.row());
    return QRect(header_->sectionViewportPosition(index.column()), row.top(), header_->sectionSize(index.column()),
                 row.height());
}

QModelIndex ByteListView::indexAt(const QPoint& point) const
{
    const int row = RowAt(point.y());
    const int column = header_->logicalIndexAt(point.x());
    if (row < 0 || column < 0)
        return {};
    return model()->index(row, column, rootIndex());
}

void ByteListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != model())
        return;
    const qint64 row = index.row();
    const qint64 first = FirstShownRow();
    const qint64 sight = RowsInSight();
    qint64 top = first;
    switch (hint) {
    case EnsureVisible:
        if (row < first)
            top = row;
        else if (row - first >= sight)
            top = row - sight + 1;
        break;
    case PositionAtTop:
        top = row;
        break;
    case PositionAtBottom:
        top = row - sight + 1;
        break;
    case PositionAtCenter:
        top = row - sight / 2;
        break;
    }
    verticalScrollBar()->setValue(static_cast<int>(std::clamp<qint64>(top, 0, INT_MAX)));

    const int left = header_->sectionPosition(index.column());
    const int right = left + header_->sectionSize(index.column());
    const int offset = horizontalOffset();
    const int width = viewport()->width();
    if (left < offset)
        horizontalScrollBar()->setValue(left);
    else if (right > offset + width)
        horizontalScrollBar()->setValue(std::min(left, right - width));
}

QModelIndex ByteListView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const qint64 rows = RowCount();
    const int columns = model() == nullptr ? 0 : model()->columnCount(rootIndex());
    if (rows == 0 || columns == 0)
        return {};
    const QModelIndex current = currentIndex();
    qint64 row = current.isValid() ? current.row() : 0;
    int column = current.isValid() ? current.column() : 0;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= RowsInSight();
        break;
    case MovePageDown:
        row += RowsInSight();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
        --column;
        break;
    case MoveRight:
        ++column;
        break;
    }
    return model()->index(static_cast<int>(std::clamp<qint64>(row, 0, rows - 1)), std::clamp(column, 0, columns - 1),
                          rootIndex());
}

int ByteListView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int ByteListView::verticalOffset() const
{
    return ClampToFar(static_cast<qint64>(FirstShownRow()) * RowHeight());
}

bool ByteListView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void ByteListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    QItemSelection selection;
    const qint64 rows = RowCount();
    const int columns = model() == nullptr ? 0 : model()->columnCount(rootIndex());
    if (rows > 0 && columns > 0) {
        const QRect area = rect.normalized();
        const qint64 top = std::max<qint64>(0, FirstShownRow() + FloorDiv(area.top(), RowHeight()));
        const qint64 bottom = std::min(rows - 1, FirstShownRow() + FloorDiv(area.bottom(), RowHeight()));
        if (top <= bottom)
            selection.select(model()->index(static_cast<int>(top), 0, rootIndex()),
                             model()->index(static_cast<int>(bottom), columns - 1, rootIndex()));
    }
    selectionModel()->select(selection, command);
}

// Only the rows in sight matter for painting.
QRegion ByteListView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    const int first = FirstShownRow();
    const int last = first + RowsInSight();
    for (const QItemSelectionRange& range : selection) {
        if (range.parent() != rootIndex())
            continue;
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top <= bottom)
            region += RowRect(top).united(RowRect(bottom));
    }
    return region;
}

void ByteListView::updateGeometries()
{
    if (placing_)
        return;
    placing_ = true;
    const int headerHeight = header_->isHidden() ? 0 : header_->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    const int sight = RowsInSight();
    verticalScrollBar()->setRange(0, std::max(0, RowCount() - sight));
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(sight);
    horizontalScrollBar()->setRange(0, std::max(0, header_->length() - area.width()));
    horizontalScrollBar()->setSingleStep(std::max(1, area.width() / 20));
    horizontalScrollBar()->setPageStep(area.width());
    header_->setOffset(horizontalOffset());
    placing_ = false;
    QAbstractItemView::updateGeometries();
}

// The vertical bar counts rows, the horizontal one pixels.
void ByteListView::scrollContentsBy(int dx, int dy)
{
    if (dx != 0)
        header_->setOffset(horizontalOffset());
    const qint64 limit = static_cast<qint64>(viewport()->height()) + RowHeight();
    const qint64 pixels = std::clamp<qint64>(static_cast<qint64>(dy) * RowHeight(), -limit, limit);
    QAbstractItemView::scrollContentsBy(dx, static_cast<int>(pixels));
}

void ByteListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    if (parent == rootIndex() && start - FirstShownRow() <= RowsInSight())
        viewport()->update();
}

void ByteListView::reset()
{
    QAbstractItemView::reset();
    rowHeight_ = 0;
    updateGeometries();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

// Keys typed in quick succession make one number; a new number starts
// below the current row, so that typing it again finds the next one.
void ByteListView::keyPressEvent(QKeyEvent* event)
{
    static constexpr std::pair<int, MarkerKind> kMarkerKeys[] = {
        {Qt::Key_B, MarkerKind::LineBegin},    {Qt::Key_BracketLeft, MarkerKind::ColumnBegin},
        {Qt::Key_M, MarkerKind::ByteMark},     {Qt::Key_BracketRight, MarkerKind::ColumnEnd},
        {Qt::Key_E, MarkerKind::LineEnd},      {Qt::Key_Delete, MarkerKind::Unmarked},
    };
    static constexpr std::pair<int, FieldType> kTypeKeys[] = {
        {Qt::Key_I, FieldType::BinInteger}, {Qt::Key_R, FieldType::BinReal}, {Qt::Key_D, FieldType::DecimalNumber},
        {Qt::Key_P, FieldType::Bcd},        {Qt::Key_T, FieldType::Text},
    };
    const QModelIndex current = currentIndex();
    if (current.isValid() && (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0) {
        for (const auto& [key, kind] : kMarkerKeys) {
            if (event->key() == key) {
                emit MarkerKeyed(current.row(), kind);
                return;
            }
        }
        if (event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            emit FieldTypeDialogKeyed();
            return;
        }
        for (const auto& [key, type] : kTypeKeys) {
            if (event->key() == key) {
                emit FieldTypeKeyed(current.row(), type);
                return;
            }
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void ByteListView::keyboardSearch(const QString& search)
{
    if (search.isEmpty() || RowCount() == 0)
        return;
    const bool goesOn = typedTimer_.isValid() && typedTimer_.elapsed() <= QApplication::keyboardInputInterval();
    typed_ = goesOn ? typed_ + search : search;
    typedTimer_.start();
    const QModelIndex current = currentIndex();
    const qint64 start = current.isValid() ? current.row() + (goesOn ? 0 : 1) : 0;
    const qint64 row = FirstRowWithPrefix(typed_.toStdString(), start, RowCount());
    if (row < 0)
        return;
    setCurrentIndex(model()->index(static_cast<int>(row), current.isValid() ? current.column() : 0, rootIndex()));
}

void ByteListView::paintEvent(QPaintEvent* event)
{
    const qint64 rows = RowCount();
    const int columns = model() == nullptr ? 0 : model()->columnCount(rootIndex());
    if (rows == 0 || columns == 0)
        return;
    QPainter painter(viewport());
    const QRect area = event->rect();
    const qint64 first = FirstShownRow();
    const qint64 from = first + std::max(0, area.top()) / RowHeight();
    const qint64 to = std::min(rows - 1, first + std::max(0, area.bottom()) / RowHeight());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    for (qint64 r = from; r <= to; ++r) {
        const int row = static_cast<int>(r);
        for (int column = 0; column < columns; ++column) {
            const QModelIndex index = model()->index(row, column, rootIndex());
            QStyleOptionViewItem cell = option;
            cell.rect = visualRect(index);
            if (!cell.rect.intersects(area))
                continue;
            if (selectionModel()->isSelected(index))
                cell.state |= QStyle::State_Selected;
            itemDelegateForIndex(index)->paint(&painter, cell, index);
        }
        if (hasFocus() && current.isValid() && current.row() == row) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = RowRect(row);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void ByteListView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        rowHeight_ = 0;
        updateGeometries();
    }
    QAbstractItemView::changeEvent(event);
}

void ByteListView::mousePressEvent(QMouseEvent* event)
{
    QAbstractItemView::mousePressEvent(event);
    Clicked(event);
}

// The second press of a quick double click counts as a click of its own,
// so two quick clicks step a marker twice.
void ByteListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QAbstractItemView::mouseDoubleClickEvent(event);
    Clicked(event);
}

void ByteListView::Clicked(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    if (event->button() == Qt::LeftButton)
        emit MarkerClicked(index.row());
    else if (event->button() == Qt::RightButton)
        emit FieldTypeClicked(index.row());
}

} // namespace zorbik
