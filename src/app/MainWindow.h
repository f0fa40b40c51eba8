// The main window: the byte list, the progress bar, the six buttons and the
// picture at the right. Every button press and every click on the list
// enters the program's logic here.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include <QPointer>
#include <QWidget>

#include "app/ByteListModel.h"
#include "app/ConversionTask.h"
#include "app/FindRecordTask.h"
#include "app/MarkerIcons.h"
#include "app/PreviewPanel.h"
#include "convert/PrepareConversion.h"
#include "layout/ConversionSettings.h"
#include "layout/LayoutFile.h"
#include "messages/Messages.h"
#include "help/HelpWindow.h"
#include "marks/Marks.h"
#include "file/SourceView.h"

class QCheckBox;
class QComboBox;
class QLabel;
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
    // The least heights of the byte list and the preview, so that the whole
    // window fits a screen of 600 pixels.
    static constexpr int kMinListHeight = 220;
    static constexpr int kMinPreviewHeight = 140;

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
        FieldTypeButton,
        LoadCopybookButton,
        ButtonCount
    };
    // The window's states, as far as the buttons show them.
    enum class State { NoSource, SourceShown, Converting };

    MainWindow(UiLanguage language, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads the marker pictures; false when they are missing, and the
    // program cannot run.
    bool SetUp();
    // The size the window opens at on a screen whose free area is
    // `available`: never below the window's `minimum`.
    static QSize StartSize(const QSize& available, const QSize& minimum);
    // Sizes the window for the screen's free area and centres it there.
    void PlaceOn(const QRect& available);

    // The widgets' object names, by which tests and tools find them.
    static constexpr const char* kButtonNames[ButtonCount] = {
        "open", "moreBytes", "convert", "cancel", "quit", "help", "saveMarks", "loadMarks", "findRecord",
        "fieldType", "loadCopybook"};

    State CurrentState() const { return state_; }
    // The user's marks and settings, as Save marks would write them.
    Layout CurrentLayout() const { return {marks_, settings_}; }

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
    // The type and options of the row under the cursor, in a dialog.
    void FieldTypeCommand();
    // Marks the record a COBOL copybook describes, from the current row.
    void LoadCopybookCommand();

    // Opens `path` as the source, as Open does after its dialog, and loads
    // the marks of `marksPath` when given. False when either fails (the
    // message has been shown).
    bool OpenFile(const QString& path, const QString& marksPath = {});
protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool OpenSource(const QString& path);
    bool LoadMarks(const QString& path);
    void ReplaceMarks(const Marks& marks);
    // Applies `change` to the marks of `row`, when marks may be changed now.
    void ChangeRow(int row, const std::function<void(Marks&)>& change);
    void RecordFound(const RecordGuess& guess, const std::optional<TableHeader>& table);
    void TableFound(const TableHeader& table);
    void UpdatePreview();
    // Gives the byte list the keyboard, so that its keys work at once.
    void FocusList();
    void ShowMessage(MessageId message, const QString& detail = {});
    void SettingsChosen();
    // Asks for the target and opens it, with the marks planned for its
    // format; nothing when the user cancelled or the marks do not suit it.
    std::optional<PreparedConversion> ChooseTarget();
    // Shows a fault of the marks, at its row; false when there is none.
    bool ShowFault(const LayoutFault& fault);
    void FinishConversion();
    void StopConversion();
    void ReleaseSource();
    void ClearPath();
    void KeepPath();
    void SetState(State state);
    void ShowProgress(quint64 recordsDone);
    void MarkerClicked(int row);
    void FieldTypeClicked(int row);
    void HelpClosed();
    void BuildLayout();

    UiLanguage language_;
    UserDialogs& dialogs_;
    SourceView source_;
    Marks marks_;
    MarkerIcons icons_;
    ByteListModel* model_;
    ByteListView* view_;
    QProgressBar* progress_;
    PreviewPanel* preview_;
    QComboBox* codePage_;
    QCheckBox* trim_;
    QCheckBox* sheetNames_; // .xls: a first row of the column names
    QLabel* status_;
    ConversionSettings settings_;
    std::array<QPushButton*, ButtonCount> buttons_{};
    ConversionTask task_;
    // Declared after the source, so that it goes first: it may read it.
    FindRecordTask finder_;
    QPointer<HelpWindow> help_;
    State state_ = State::NoSource;
    // The run's records and its warnings (clamped counts), for the status
    // line once it has ended.
    std::uint64_t recordsToWrite_ = 0;
    QString warnings_;
    // The last source or target path chosen; the open dialog starts there.
    QString lastPath_;
    int targetFilter_ = 0; // the type of file last chosen for a target
    std::uint64_t progressScale_ = 1; // records a step of the progress bar
    bool quitting_ = false;
};

} // namespace zorbik
