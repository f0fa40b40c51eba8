// The help window: the help text of the user's language with its ten
// pictures, scrolled line by line with a vertical scroll bar, the mouse
// wheel and the keys. It is sized and measured once when it opens; every
// opening starts at the top.
#pragma once

#include <optional>
#include <vector>

#include <QStringList>
#include <QWidget>

#include "messages/Messages.h"
#include "help/HelpScroll.h"

class QScrollBar;
class QWheelEvent;

namespace zorbik {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(UiLanguage language, QWidget* parent = nullptr);

    const HelpScroll& Scroll() const { return scroll_; }
    QScrollBar* ScrollBar() const { return scrollBar_; }
    QWidget* Page() const { return page_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    // The area the text is drawn in, as measured at opening.
    QRect TextRect() const { return textRect_; }
    // The pictures the latest painting drew, by number.
    const std::vector<int>& DrawnPictures() const { return drawnPictures_; }

    // Carries out one scroll request as the scroll bar makes it: moves the
    // content and sets the scroll bar to the new position.
    void Request(ScrollRequest request, int thumbPosition = 0);

signals:
    // The window is closing (Escape, its close box, or the program quits).
    void Closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScrollBarAction(int action);
    // Up and Down by a line, Page Up and Page Down by a page, Home and End
    // to the top and the end; false for any other key.
    bool ScrollByKey(const QKeyEvent& event);
    // Whole lines per notch as the system sets them; the rest of a part
    // notch waits for the next turn.
    void ScrollByWheel(const QWheelEvent& event);
    // Moves the drawn content by `dy` pixels and sets the scroll bar.
    void Show(std::optional<int> dy);
    void PaintPage(QPainter& painter, const QRect& dirty);

    QStringList lines_;
    QWidget* page_;
    QScrollBar* scrollBar_;
    QRect textRect_;
    HelpScroll scroll_;
    std::vector<int> drawnPictures_;
    int wheelRest_ = 0; // eighths of a degree not yet scrolled
};

} // namespace zorbik
