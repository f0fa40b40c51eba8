#include "help/HelpWindow.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "qtcommon/DrawBitmap.h"
#include "qtcommon/QtText.h"
#include "qtcommon/WindowGeometry.h"

namespace zorbik {
namespace {

// The painted area of the help window; the window draws on it.
class HelpPage : public QWidget {
public:
    HelpPage(QWidget* parent, std::function<void(QPainter&, const QRect&)> paint)
        : QWidget(parent), paint_(std::move(paint))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        paint_(painter, event->rect());
    }

private:
    std::function<void(QPainter&, const QRect&)> paint_;
};

int LineHeight(const QFont& font)
{
    return std::max(QFontMetrics(font).lineSpacing(), 1);
}

QFont Bold(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

HelpWindow::HelpWindow(UiLanguage language, QWidget* parent)
    : QWidget(parent, Qt::Window),
      layout_(LayOutHelp(LoadHelpText(language), font(), LineHeight(font()))),
      headingFont_(Bold(font())),
      page_(new HelpPage(this, [this](QPainter& painter, const QRect& dirty) { PaintPage(painter, dirty); })),
      scrollBar_(new QScrollBar(Qt::Vertical, this)),
      scroll_(static_cast<int>(layout_.lines.size()), LineHeight(font()), WindowPixels().height())
{
    setWindowTitle(QtText(MessageId::HelpCaption, language));
    setFocusPolicy(Qt::StrongFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(page_, 1);
    layout->addWidget(scrollBar_);
    page_->setFocusPolicy(Qt::NoFocus);
    page_->installEventFilter(this);

    // The content follows the thumb only when it is released. The wheel and
    // the keys are the window's own, over the bar as over the text.
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->setContextMenuPolicy(Qt::NoContextMenu);
    scrollBar_->setTracking(false);
    scrollBar_->setRange(0, scroll_.LastPosition());
    scrollBar_->setPageStep(scroll_.VisibleLines());
    scrollBar_->setSingleStep(1);
    scrollBar_->setValue(0);
    scrollBar_->installEventFilter(this);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &HelpWindow::ScrollBarAction);

    // Wide enough for the widest line and picture, never narrower than the
    // main window.
    resize(std::max(layout_.width, WindowPixels().width()) + scrollBar_->sizeHint().width(), WindowPixels().height());
}

void HelpWindow::ScrollBarAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        Request(ScrollRequest::LineUp);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        Request(ScrollRequest::LineDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Request(ScrollRequest::PageUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Request(ScrollRequest::PageDown);
        break;
    case QAbstractSlider::SliderMove:
        // While the thumb is held it moves alone; its release is the
        // request to go there.
        if (scrollBar_->isSliderDown())
            return;
        Request(ScrollRequest::ThumbPosition, scrollBar_->sliderPosition());
        break;
    case QAbstractSlider::SliderToMinimum:
        Request(ScrollRequest::Top);
        break;
    case QAbstractSlider::SliderToMaximum:
        Request(ScrollRequest::Bottom);
        break;
    default:
        Request(ScrollRequest::EndScroll);
        break;
    }
    // The scroll bar would otherwise finish the action with its own step.
    scrollBar_->setSliderPosition(scroll_.Position());
}

void HelpWindow::Request(ScrollRequest request, int thumbPosition)
{
    Show(scroll_.Apply(request, thumbPosition));
}

bool HelpWindow::ScrollByKey(const QKeyEvent& event)
{
    if ((event.modifiers() & ~Qt::KeypadModifier) != 0)
        return false;
    switch (event.key()) {
    case Qt::Key_Up:
        Show(scroll_.MoveBy(-1));
        return true;
    case Qt::Key_Down:
        Show(scroll_.MoveBy(1));
        return true;
    case Qt::Key_PageUp:
        Show(scroll_.MoveBy(-std::max(scroll_.VisibleLines(), 1)));
        return true;
    case Qt::Key_PageDown:
        Show(scroll_.MoveBy(std::max(scroll_.VisibleLines(), 1)));
        return true;
    case Qt::Key_Home:
        Show(scroll_.MoveTo(0));
        return true;
    case Qt::Key_End:
        Show(scroll_.MoveTo(scroll_.LastPosition()));
        return true;
    default:
        return false;
    }
}

void HelpWindow::ScrollByWheel(const QWheelEvent& event)
{
    constexpr int kNotch = 120;
    const int delta = event.angleDelta().y();
    // A turn the other way forgets the part notch of the last one.
    if ((delta < 0 && wheelRest_ > 0) || (delta > 0 && wheelRest_ < 0))
        wheelRest_ = 0;
    wheelRest_ += delta;
    const int notches = wheelRest_ / kNotch;
    if (notches == 0)
        return;
    wheelRest_ -= notches * kNotch;
    // Turning the wheel away from the user goes up the text.
    Show(scroll_.MoveBy(-notches * std::max(QApplication::wheelScrollLines(), 1)));
}

void HelpWindow::Show(std::optional<int> dy)
{
    if (!dy)
        return;
    if (*dy != 0) {
        page_->scroll(0, *dy);
        // Paint the uncovered band at once, so the next request starts
        // from what is on the screen.
        const int band = std::min(std::abs(*dy), page_->height());
        page_->repaint(*dy > 0 ? QRect(0, 0, page_->width(), band)
                               : QRect(0, page_->height() - band, page_->width(), band));
    }
    scroll_.Painted();
    scrollBar_->setValue(scroll_.Position());
}

void HelpWindow::FitPage()
{
    const int before = scroll_.Position();
    scroll_.Resize(page_->height());
    scrollBar_->setRange(0, scroll_.LastPosition());
    scrollBar_->setPageStep(scroll_.VisibleLines());
    scrollBar_->setValue(scroll_.Position());
    // A larger page may move the top line up; the page is painted anew
    // after a resize anyway.
    if (scroll_.Position() != before)
        page_->update();
}

void HelpWindow::PaintPage(QPainter& painter, const QRect& dirty)
{
    scroll_.Painted();
    const int top = -scroll_.PaintedOffset();
    for (const HelpLayout::Picture& picture : layout_.pictures) {
        const QRect at = picture.rect.translated(0, top);
        if (at.intersects(dirty))
            DrawBitmap(painter, HelpPictureResource(picture.bitmapId), at.x(), at.y(), at.width(), at.height());
    }

    // The text is drawn after the pictures, the lines that meet the band
    // to be painted.
    const int lineHeight = scroll_.LineHeight();
    const int lineCount = static_cast<int>(layout_.lines.size());
    const int first = std::max(0, (dirty.top() - top) / lineHeight);
    const int last = std::min(lineCount - 1, (dirty.bottom() - top) / lineHeight);
    const int ascent = std::max(QFontMetrics(font()).ascent(), QFontMetrics(headingFont_).ascent());
    painter.setPen(palette().color(QPalette::WindowText));
    for (int i = first; i <= last; ++i) {
        const HelpLayout::Line& line = layout_.lines[static_cast<std::size_t>(i)];
        painter.setFont(line.heading ? headingFont_ : font());
        for (const HelpLayout::Piece& piece : line.pieces)
            painter.drawText(piece.x, top + i * lineHeight + ascent, piece.text);
    }
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (ScrollByKey(*event))
        return;
    QWidget::keyPressEvent(event);
}

void HelpWindow::wheelEvent(QWheelEvent* event)
{
    ScrollByWheel(*event);
}

void HelpWindow::closeEvent(QCloseEvent* event)
{
    emit Closed();
    QWidget::closeEvent(event);
}

// The scroll bar would take the wheel and the keys with steps of its own.
bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == page_ && event->type() == QEvent::Resize)
        FitPage();
    if (watched == scrollBar_ || watched == page_) {
        if (event->type() == QEvent::Wheel) {
            ScrollByWheel(*static_cast<QWheelEvent*>(event));
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zorbik
