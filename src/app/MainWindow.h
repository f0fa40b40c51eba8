// The main window: the byte list, the progress bar, the six buttons and the
// picture at the right. Every button press and every click on the list
// enters the program's logic here.
#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

#include "app/ByteListModel.h"
#include "app/ConversionTask.h"
#include "app/FindRecordTask.h"
#include "app/MarkerIcons.h"
#include "app/PreviewPanel.h"
#include "layout/ConversionSettings.h"
#include "layout/LayoutFile.h"
#include "messages/Messages.h"
#include "help/HelpWindow.h"
#include "marks/Marks.h"
#include "file/SourceView.h"

class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;

namespace zorbik {

class ByteListView;
class UserDialogs;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Records the preview shows.
    static constexpr std::uint32_t kPreviewRecords = 20;

    // The buttons in the order they stand: the six of the first row, then
    // the marks' buttons beside the settings.
    enum Button {
        OpenButton = 0,
        MoreBytesButton,
        ConvertButton,
        CancelButton,
        QuitButton,
        HelpButton,
        SaveMarksButton,
        LoadMarksButton,
        FindRecordButton,
        ButtonCount
    };
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
    PreviewPanel* PreviewArea() const { return preview_; }
    QComboBox* CodePageChoice() const { return codePage_; }
    QCheckBox* TrimChoice() const { return trim_; }
    const ConversionSettings& Settings() const { return settings_; }
    ConversionTask& Task() { return task_; }
    const Marks& Rows() const { return store_; }

    // The commands of the six buttons.
    void OpenCommand();
    void MoreBytesCommand();
    void ConvertCommand();
    void CancelCommand();
    void QuitCommand();
    void HelpCommand();
    void SaveMarksCommand();
    void LoadMarksCommand();
    void FindRecordCommand();

    // Opens `path` as the source, as Open does after its dialog, and loads
    // the marks of `marksPath` when given. False when either fails (the
    // message has been shown).
    bool OpenFile(const QString& path, const QString& marksPath = {});
protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool OpenSource(const QString& path);
    bool LoadMarks(const QString& path);
    void ApplyMarks(const std::vector<LayoutEntry>& entries);
    void RecordFound(const RecordGuess& guess);
    void MarksChanged();
    void UpdatePreview();
    void SettingsChosen();
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
    void BuildLayout();

    UiLanguage language_;
    UserDialogs& dialogs_;
    SourceView source_;
    Marks store_;
    MarkerIcons icons_;
    ByteListModel* model_;
    ByteListView* view_;
    QProgressBar* progress_;
    PreviewPanel* preview_;
    QComboBox* codePage_;
    QCheckBox* trim_;
    ConversionSettings settings_;
    std::array<QPushButton*, ButtonCount> buttons_{};
    ConversionTask task_;
    // Declared after the source, so that it goes first: it may read it.
    FindRecordTask finder_;
    QPointer<HelpWindow> help_;
    State state_ = State::NoSource;
    // The last source or target path chosen; the open dialog starts there.
    QString lastPath_;
    bool quitting_ = false;
};

} // namespace zorbik
