// The main window: the byte list, the progress bar, the six buttons and the
// picture at the right. Every button press and every click on the list
// enters the program's logic here.
#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

#include "app/ByteListModel.h"
#include "app/ConversionTask.h"
#include "app/MarkerIcons.h"
#include "messages/Messages.h"
#include "help/HelpWindow.h"
#include "source/RowStore.h"
#include "source/SourceView.h"

class QProgressBar;
class QPushButton;

namespace zorbik {

class ByteListView;
class UserDialogs;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The buttons in the order they stand.
    enum Button { OpenButton = 0, MoreBytesButton, ConvertButton, CancelButton, QuitButton, HelpButton, ButtonCount };
    // The window's states, as far as the buttons show them.
    enum class State { NoSource, SourceShown, Converting };

    MainWindow(UiLanguage language, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads the marker pictures; false when they are missing, and the
    // program cannot run.
    bool SetUp();

    UiLanguage Language() const { return language_; }
    State CurrentState() const { return state_; }
    QPushButton* ButtonAt(Button button) const { return buttons_[button]; }
    ByteListView* ByteList() const { return view_; }
    ByteListModel* ByteListRows() const { return model_; }
    QProgressBar* ProgressBar() const { return progress_; }
    HelpWindow* Help() const { return help_; }
    ConversionTask& Task() { return task_; }
    const RowStore& Rows() const { return store_; }

    // The commands of the six buttons.
    void OpenCommand();
    void MoreBytesCommand();
    void ConvertCommand();
    void CancelCommand();
    void QuitCommand();
    void HelpCommand();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool OpenSource();
    bool ChooseTargetFile();
    void FinishConversion();
    void StopConversion();
    void ReleaseSource();
    void ClearPath();
    void KeepPath();
    void SetState(State state);
    void ShowProgress(quint32 recordsDone);
    void MarkerClicked(int row);
    void FieldTypeClicked(int row);
    void HelpClosed();
    void PlaceControls();

    UiLanguage language_;
    UserDialogs& dialogs_;
    SourceView source_;
    RowStore store_;
    MarkerIcons icons_;
    ByteListModel* model_;
    ByteListView* view_;
    QProgressBar* progress_;
    std::array<QPushButton*, ButtonCount> buttons_{};
    ConversionTask task_;
    QPointer<HelpWindow> help_;
    State state_ = State::NoSource;
    // The last source or target path chosen; the open dialog starts there.
    QString lastPath_;
    bool quitting_ = false;
};

} // namespace zorbik
