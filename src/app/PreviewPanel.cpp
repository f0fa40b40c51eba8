#include "app/PreviewPanel.h"

#include <algorithm>

#include <QHeaderView>
#include <QEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "qtcommon/QtText.h"

namespace zorbik {

PreviewPanel::PreviewPanel(UiLanguage language, QWidget* parent)
    : QWidget(parent), language_(language), status_(new QLabel(this)), table_(new QTableWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    status_->setWordWrap(true);
    status_->installEventFilter(this);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setDefaultSectionSize(90);
    layout->addWidget(status_);
    layout->addWidget(table_, 1);
    Clear();
}

void PreviewPanel::ShowCells(const Preview& preview, std::uint16_t codePage)
{
    faultRow_ = -1;
    status_->setCursor(Qt::ArrowCursor);
    const int columns = std::min<int>(static_cast<int>(preview.columnTypes.size()), kMaxColumns);
    table_->clear();
    table_->setColumnCount(columns);
    table_->setRowCount(static_cast<int>(preview.rows.size()));
    for (int c = 0; c < columns; ++c) {
        table_->setHorizontalHeaderItem(
            c, new QTableWidgetItem(QtText(preview.columnNames[static_cast<std::size_t>(c)]) + QLatin1Char('\n') +
                                    QtText(FieldTypeName(preview.columnTypes[static_cast<std::size_t>(c)]), language_)));
    }
    for (std::size_t r = 0; r < preview.rows.size(); ++r) {
        const auto& row = preview.rows[r];
        for (int c = 0; c < columns && c < static_cast<int>(row.size()); ++c) {
            const PreviewCell& cell = row[static_cast<std::size_t>(c)];
            const std::uint16_t own = preview.columnPages[static_cast<std::size_t>(c)];
            const QString text = QtText(PreviewCellText(cell, own != 0 ? own : codePage, language_));
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            if (cell.kind != PreviewCell::Kind::Text)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // An invalid field is no number: it stands out.
            if (cell.kind == PreviewCell::Kind::Invalid)
                item->setForeground(Qt::red);
            table_->setItem(static_cast<int>(r), c, item);
        }
    }
    // Each column as wide as its widest cell, up to a limit; the tooltip
    // shows a cut cell whole.
    table_->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c)
        table_->setColumnWidth(c, std::min(table_->columnWidth(c) + 8, kMaxColumnWidth));
    status_->setText(QtText(MessageId::PreviewCaption, language_).arg(preview.rows.size()));
}

void PreviewPanel::ShowFault(const LayoutFault& fault)
{
    const std::int32_t row = fault.row;
    faultRow_ = row;
    table_->clear();
    table_->setRowCount(0);
    table_->setColumnCount(0);
    QString text = QtText(fault.message, language_).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (fault.detail != MessageId{})
        text += QLatin1Char(' ') + QtText(Say(fault.detail, language_, fault.args));
    if (row >= 0)
        text += QtText(MessageId::PreviewFaultRow, language_).arg(row);
    status_->setText(text);
    status_->setCursor(row >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void PreviewPanel::Clear()
{
    faultRow_ = -1;
    table_->clear();
    table_->setRowCount(0);
    table_->setColumnCount(0);
    status_->setText(QtText(MessageId::PreviewEmpty, language_));
    status_->setCursor(Qt::ArrowCursor);
}

bool PreviewPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == status_ && event->type() == QEvent::MouseButtonRelease && faultRow_ >= 0) {
        emit RowWanted(faultRow_);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString PreviewPanel::StatusText() const
{
    return status_->text();
}

} // namespace zorbik
