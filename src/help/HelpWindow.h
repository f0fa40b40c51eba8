// The help window: the help text of the user's language with its pictures,
// scrolled line by line with a vertical scroll bar, the mouse wheel and the
// keys. It opens at the main window's size; when it is resized the text
// fills the new room and the scroll range follows. Every opening starts at
// the top.
#pragma once

#include <optional>

#include <QWidget>

#include "help/HelpLayout.h"
#include "help/HelpScroll.h"
#include "messages/Messages.h"

class QScrollBar;
class QWheelEvent;

namespace zorbik {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(UiLanguage language, QWidget* parent = nullptr);

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
    // Carries out one scroll request as the scroll bar makes it.
    void Request(ScrollRequest request, int thumbPosition = 0);
    // Up and Down by a line, Page Up and Page Down by a page, Home and End
    // to the top and the end; false for any other key.
    bool ScrollByKey(const QKeyEvent& event);
    // Whole lines per notch as the system sets them; the rest of a part
    // notch waits for the next turn.
    void ScrollByWheel(const QWheelEvent& event);
    // Moves the drawn content by `dy` pixels and sets the scroll bar.
    void Show(std::optional<int> dy);
    // The page has a new height: the lines in view and the scroll range
    // follow it.
    void FitPage();
    void PaintPage(QPainter& painter, const QRect& dirty);

    HelpLayout layout_;
    QFont headingFont_;
    QWidget* page_;
    QScrollBar* scrollBar_;
    HelpScroll scroll_;
    int wheelRest_ = 0; // eighths of a degree not yet scrolled
};

} // namespace zorbik
