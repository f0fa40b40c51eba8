// The preview below the byte list: the first records of the source as the
// worksheet would get them, one row per record, or the one line that says
// why the marks do not describe a record yet. A click on that line asks the
// window to show the faulty row.
#pragma once

#include <cstdint>

#include <QWidget>

#include "messages/Messages.h"
#include "record/ValidateLayout.h"
#include "preview/Preview.h"

class QLabel;
class QTableWidget;

namespace zorbik {

class PreviewPanel : public QWidget {
    Q_OBJECT
public:
    // Columns shown at most; a record of more columns shows its first ones.
    static constexpr int kMaxColumns = 256;
    // Pixels a column grows to at most for its cells.
    static constexpr int kMaxColumnWidth = 280;

    PreviewPanel(UiLanguage language, QWidget* parent = nullptr);

    void ShowCells(const Preview& preview, std::uint16_t codePage);
    // The catalogue text of a fault of the marks, with its row.
    void ShowFault(const LayoutFault& fault);
    // Nothing to preview: no source open.
    void Clear();

    QTableWidget* Table() const { return table_; }
    // The line above the table: the fault, or what the table shows.
    QString StatusText() const;

signals:
    void RowWanted(std::int32_t row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UiLanguage language_;
    QLabel* status_;
    QTableWidget* table_;
    std::int32_t faultRow_ = -1;
};

} // namespace zorbik
