// The view of the byte list: a report-style list with the marker icon in
// the first column. It turns mouse presses on rows into the two clicks of
// the design: left cycles the marker, right cycles the field type.
#pragma once

#include <cstdint>

#include <QTreeView>

namespace zorbik {

class ByteListView : public QTreeView {
    Q_OBJECT
public:
    explicit ByteListView(QWidget* parent = nullptr);

    // Sets the model and gives the columns their widths.
    void setModel(QAbstractItemModel* model) override;
    // Scrolls until the row is entirely visible; nothing for -1.
    void ShowRow(std::int32_t row);

signals:
    void MarkerClicked(int row);
    void FieldTypeClicked(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Clicked(QMouseEvent* event);
};

} // namespace zorbik
