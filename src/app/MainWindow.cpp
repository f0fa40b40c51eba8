#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

#include "app/ByteListView.h"
#include "qtcommon/DrawBitmap.h"
#include "qtcommon/ResourceNames.h"
#include "app/UserDialogs.h"
#include "qtcommon/WindowGeometry.h"
#include "qtcommon/QtText.h"
#include "qtcommon/WindowTexts.h"
#include "help/HelpWindow.h"

namespace zorbik {
namespace {

constexpr const TextPair* kButtonTexts[MainWindow::ButtonCount] = {
    &kOpenText, &kMoreBytesText, &kConvertText, &kCancelText, &kQuitText, &kHelpText,
};

} // namespace

MainWindow::MainWindow(UiLanguage language, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      language_(language),
      dialogs_(dialogs),
      model_(new ByteListModel(source_, store_, icons_, language, this)),
      view_(new ByteListView(this)),
      progress_(new QProgressBar(this))
{
    setWindowTitle(QtText(kWindowCaption));
    // The window's layout is made for the 8-point dialog font.
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);

    view_->setModel(model_);
    connect(view_, &ByteListView::MarkerClicked, this, &MainWindow::MarkerClicked);
    connect(view_, &ByteListView::FieldTypeClicked, this, &MainWindow::FieldTypeClicked);

    progress_->setTextVisible(false);
    progress_->setRange(0, 1);
    progress_->setValue(0);

    void (MainWindow::*const commands[ButtonCount])() = {
        &MainWindow::OpenCommand, &MainWindow::MoreBytesCommand, &MainWindow::ConvertCommand,
        &MainWindow::CancelCommand, &MainWindow::QuitCommand, &MainWindow::HelpCommand,
    };
    for (int i = 0; i < ButtonCount; ++i) {
        buttons_[i] = new QPushButton(QtText(kButtonTexts[i]->In(language)), this);
        buttons_[i]->setAutoDefault(false);
        connect(buttons_[i], &QPushButton::clicked, this, commands[i]);
    }

    connect(&task_, &ConversionTask::Progress, this, &MainWindow::ShowProgress);
    connect(&task_, &ConversionTask::Finished, this, &MainWindow::FinishConversion);

    const QSize size = WindowPixels();
    setMinimumSize(size);
    resize(size);
    PlaceControls();
    SetState(State::NoSource);
}

MainWindow::~MainWindow()
{
    task_.Stop();
    delete help_;
    // The list reads the store and the source, which go before the child
    // widgets would.
    delete view_;
    delete model_;
}

bool MainWindow::SetUp()
{
    return icons_.Load(QString::fromLatin1(kMarkerStripResource));
}

// At the template's size every control stands where the template puts it;
// a larger window gives the extra height to the list, and the progress bar
// and the buttons keep their distance from the bottom.
void MainWindow::PlaceControls()
{
    const int extra = std::max(0, height() - WindowPixels().height());
    QRect list = ToPixels(kByteListUnits);
    list.setHeight(list.height() + extra);
    view_->setGeometry(list);
    progress_->setGeometry(ToPixels(kProgressUnits).translated(0, extra));
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[i]->setGeometry(ToPixels(kButtonUnits[i]).translated(0, extra));
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceControls();
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBitmap(painter, QString::fromLatin1(kPicture107Resource), kPictureX, kPictureY, kPictureWidth,
               kPictureHeight);
}

// Only Quit closes the window; the window manager's close request is
// refused like the Escape key.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (quitting_)
        event->accept();
    else
        event->ignore();
}

void MainWindow::SetState(State state)
{
    state_ = state;
    buttons_[OpenButton]->setEnabled(state == State::NoSource);
    buttons_[MoreBytesButton]->setEnabled(state == State::SourceShown);
    buttons_[ConvertButton]->setEnabled(state == State::SourceShown);
    buttons_[CancelButton]->setEnabled(state != State::NoSource);
    buttons_[QuitButton]->setEnabled(true);
    buttons_[HelpButton]->setEnabled(help_.isNull());
}

void MainWindow::OpenCommand()
{
    if (state_ != State::NoSource)
        return;
    if (!OpenSource())
        return;
    model_->ShowFirstPage();
    SetState(State::SourceShown);
}

bool MainWindow::OpenSource()
{
    // "*.*" is what the user reads; "*" also lists the many data files
    // whose names have no dot.
    const std::optional<QString> path =
        dialogs_.AskOpenPath(QtText(kOpenDialogTitle.In(language_)),
                             {QtText(kOpenFilterName.In(language_)) + QStringLiteral(" (*.*)"), QStringLiteral("*")},
                             lastPath_);
    if (!path)
        return false;
    lastPath_ = *path;
    std::string error;
    if (!source_.Open(QFile::encodeName(*path).toStdString(), &error)) {
        dialogs_.ShowMessage(MsgImportFileError, BoxTypeOf(MsgImportFileError), QString::fromStdString(error));
        return false;
    }
    return true;
}

void MainWindow::MoreBytesCommand()
{
    if (state_ == State::SourceShown)
        model_->ShowNextPage();
}

void MainWindow::MarkerClicked(int row)
{
    if (state_ == State::SourceShown && !task_.Active())
        store_.CycleMarker(row);
}

void MainWindow::FieldTypeClicked(int row)
{
    if (state_ == State::SourceShown && !task_.Active())
        store_.CycleFieldType(row);
}

void MainWindow::CancelCommand()
{
    if (state_ == State::NoSource)
        return;
    if (task_.Active())
        StopConversion();
    const int answer = dialogs_.ShowMessage(MsgKeepSource, BoxTypeOf(MsgKeepSource));
    if (quitting_)
        return;
    if (answer == AnswerYes)
        KeepPath();
    else
        ClearPath();
}

void MainWindow::QuitCommand()
{
    if (task_.Active())
        StopConversion();
    if (source_.IsOpen())
        ReleaseSource();
    if (help_)
        help_->close();
    quitting_ = true;
    close();
}

void MainWindow::HelpCommand()
{
    if (help_)
        return;
    help_ = new HelpWindow(language_);
    help_->setAttribute(Qt::WA_DeleteOnClose);
    connect(help_, &HelpWindow::Closed, this, &MainWindow::HelpClosed);
    buttons_[HelpButton]->setEnabled(false);
    help_->show();
}

void MainWindow::HelpClosed()
{
    help_ = nullptr;
    buttons_[HelpButton]->setEnabled(true);
}

void MainWindow::ReleaseSource()
{
    model_->ClearRows();
    source_.Release();
}

void MainWindow::ClearPath()
{
    ReleaseSource();
    SetState(State::NoSource);
}

void MainWindow::KeepPath()
{
    SetState(State::SourceShown);
}

void MainWindow::ShowProgress(quint32 recordsDone)
{
    progress_->setValue(static_cast<int>(std::min<quint32>(recordsDone, static_cast<quint32>(progress_->maximum()))));
}

} // namespace zorbik
