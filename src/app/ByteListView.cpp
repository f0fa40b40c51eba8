#include "app/ByteListView.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "app/MarkerIcons.h"
#include "app/WindowGeometry.h"

namespace zorbik {

ByteListView::ByteListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // keeps lists of millions of rows fast
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(MarkerIcons::kSize, MarkerIcons::kSize));
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

void ByteListView::setModel(QAbstractItemModel* model)
{
    QTreeView::setModel(model);
    for (int column = 0; column < 4; ++column)
        header()->resizeSection(column, kColumnWidths[column]);
}

void ByteListView::ShowRow(std::int32_t row)
{
    if (row < 0 || model() == nullptr || row >= model()->rowCount())
        return;
    scrollTo(model()->index(row, 0), QAbstractItemView::EnsureVisible);
}

void ByteListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    Clicked(event);
}

// The second press of a quick double click counts as a click of its own,
// so two quick clicks step a marker twice.
void ByteListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
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
