#include "app/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QScreen>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include "app/ByteListView.h"
#include "convert/PrepareConversion.h"
#include "copybook/Copybook.h"
#include "find/GuessLayout.h"
#include "layout/LayoutFile.h"
#include "layout/RecordDescription.h"
#include "qtcommon/ResourceNames.h"
#include "app/UserDialogs.h"
#include "qtcommon/WindowGeometry.h"
#include "qtcommon/QtText.h"
#include "help/HelpWindow.h"

namespace zorbik {
namespace {

constexpr MessageId kButtonTexts[MainWindow::ButtonCount] = {
    MessageId::OpenButton,      MessageId::MoreBytesButton, MessageId::ConvertButton,
    MessageId::CancelButton,    MessageId::QuitButton,      MessageId::HelpButton,
    MessageId::SaveMarksButton, MessageId::LoadMarksButton, MessageId::FindRecordButton,
    MessageId::FieldTypeButton, MessageId::LoadCopybookButton,
};
constexpr std::string_view kMarksSuffix = "zlayout";

// Picture 107 at the right of the byte list: at its own size where there is
// room, smaller (never cut) in a small window.
class PictureWidget : public QWidget {
public:
    explicit PictureWidget(QWidget* parent) : QWidget(parent)
    {
        setMinimumSize(kPictureWidth * kMinPictureHeight / kPictureHeight, kMinPictureHeight);
        setMaximumHeight(kPictureHeight);
    }
    QSize sizeHint() const override { return {kPictureWidth, kPictureHeight}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const double scale = std::min({1.0, double(width()) / kPictureWidth, double(height()) / kPictureHeight});
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, int(kPictureWidth * scale), int(kPictureHeight * scale)), picture_);
    }

private:
    static constexpr int kMinPictureHeight = 120;
    const QImage picture_{QString::fromLatin1(kPicture107Resource)};
};

} // namespace

MainWindow::MainWindow(UiLanguage language, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint),
      language_(language),
      dialogs_(dialogs),
      model_(new ByteListModel(source_, marks_, icons_, language, this)),
      view_(new ByteListView(this)),
      progress_(new QProgressBar(this)),
      preview_(new PreviewPanel(language, this)),
      codePage_(new QComboBox(this)),
      trim_(new QCheckBox(QtText(MessageId::TrimChoice, language), this)),
      sheetNames_(new QCheckBox(QtText(MessageId::SheetNamesChoice, language), this)),
      status_(new QLabel(this))
{
    setWindowTitle(QtText(kProgramName));
    // The window's layout is made for the 8-point dialog font.
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);

    view_->setModel(model_);
    view_->Header()->setToolTip(QtText(MessageId::ByteListTip, language));
    connect(view_, &ByteListView::MarkerClicked, this, &MainWindow::MarkerClicked);
    connect(view_, &ByteListView::FieldTypeClicked, this, &MainWindow::FieldTypeClicked);
    connect(view_, &ByteListView::MarkerKeyed, this, [this](int row, MarkerKind kind) {
        ChangeRow(row, [row, kind](Marks& marks) { marks.SetMarker(row, kind); });
    });
    connect(view_, &ByteListView::FieldTypeKeyed, this, [this](int row, FieldType type) {
        ChangeRow(row, [row, type](Marks& marks) { marks.SetFieldType(row, type); });
    });
    connect(view_, &ByteListView::FieldTypeDialogKeyed, this, &MainWindow::FieldTypeCommand);
    connect(preview_, &PreviewPanel::RowWanted, this, [this](std::int32_t row) { view_->ShowRow(row); });
    connect(&finder_, &FindRecordTask::Found, this, &MainWindow::RecordFound);

    progress_->setTextVisible(false);
    progress_->setRange(0, 1);
    progress_->setValue(0);

    void (MainWindow::*const commands[ButtonCount])() = {
        &MainWindow::OpenCommand,      &MainWindow::MoreBytesCommand, &MainWindow::ConvertCommand,
        &MainWindow::CancelCommand,    &MainWindow::QuitCommand,      &MainWindow::HelpCommand,
        &MainWindow::SaveMarksCommand, &MainWindow::LoadMarksCommand, &MainWindow::FindRecordCommand,
        &MainWindow::FieldTypeCommand, &MainWindow::LoadCopybookCommand,
    };
    for (int i = 0; i < ButtonCount; ++i) {
        buttons_[i] = new QPushButton(QtText(kButtonTexts[i], language), this);
        buttons_[i]->setObjectName(QLatin1String(kButtonNames[i]));
        buttons_[i]->setAutoDefault(false);
        connect(buttons_[i], &QPushButton::clicked, this, commands[i]);
    }

    for (const std::uint16_t page : KnownCodePages())
        codePage_->addItem(QtText(CodePageName(page), language), page);
    codePage_->setCurrentIndex(codePage_->findData(kDefaultCodePage));
    connect(codePage_, &QComboBox::currentIndexChanged, this, &MainWindow::SettingsChosen);
    connect(trim_, &QCheckBox::toggled, this, &MainWindow::SettingsChosen);

    connect(&task_, &ConversionTask::Progress, this, &MainWindow::ShowProgress);
    connect(&task_, &ConversionTask::Finished, this, &MainWindow::FinishConversion);

    BuildLayout();
    SetState(State::NoSource);
}

QSize MainWindow::StartSize(const QSize& available, const QSize& minimum)
{
    // Most of a small screen; a comfortable size on a big one.
    const QSize wanted(std::min(available.width() * 9 / 10, 1280), std::min(available.height() * 9 / 10, 860));
    return wanted.expandedTo(minimum).boundedTo(available.expandedTo(minimum));
}

void MainWindow::PlaceOn(const QRect& available)
{
    resize(StartSize(available.size(), minimumSizeHint()));
    move(available.center() - rect().center());
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

// The byte list at the left; at its right the picture and below it the
// preview (a splitter between list and preview); then the progress bar, the
// six buttons and the settings row. A larger window gives the height to the
// list and the preview and the width to the preview; the buttons and the
// picture keep their size and order.
void MainWindow::BuildLayout()
{
    // The character column shows the zero byte's name and a character
    // whole; the long names of rare control characters are cut, and their
    // tooltip shows them whole. The room goes to the preview.
    const QFontMetrics metrics = view_->fontMetrics();
    const int characterWidth =
        std::max({kColumnWidths[ByteListModel::CharacterColumn],
                  metrics.horizontalAdvance(QtText(ControlCharName(0, language_))) + 12,
                  metrics.horizontalAdvance(QtText(MessageId::CharacterPrefix, language_) + QStringLiteral("\"W\"")) + 12});
    view_->Header()->resizeSection(ByteListModel::CharacterColumn, characterWidth);
    int listWidth = 4;
    for (int c = 0; c < ByteListModel::ColumnCount; ++c)
        listWidth += view_->columnWidth(c);
    view_->setMinimumSize(listWidth + view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent), kMinListHeight);

    auto* right = new QWidget(this);
    auto* rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    auto* picture = new PictureWidget(right);
    picture->setObjectName(QStringLiteral("picture"));
    rightColumn->addWidget(picture, 2);
    rightColumn->addWidget(preview_, 3);
    preview_->setMinimumSize(kPictureWidth + 120, kMinPreviewHeight);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(view_);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    const QSize buttonSize = ToPixels(kButtonUnits).size();
    auto* buttonRow = new QHBoxLayout;
    for (int i = OpenButton; i <= HelpButton; ++i) {
        buttons_[i]->setMinimumSize(buttonSize);
        buttonRow->addWidget(buttons_[i]);
    }
    buttonRow->addStretch(1);
    // The copybook's button stands at the right, above the marks' buttons
    // it belongs with: the settings row has no room for a fifth.
    buttons_[LoadCopybookButton]->setMinimumHeight(buttonSize.height());
    buttonRow->addWidget(buttons_[LoadCopybookButton]);

    auto* settingsRow = new QHBoxLayout;
    auto* codePageLabel = new QLabel(QtText(MessageId::CodePageLabel, language_), this);
    codePageLabel->setBuddy(codePage_);
    settingsRow->addWidget(codePageLabel);
    settingsRow->addWidget(codePage_);
    settingsRow->addSpacing(12);
    // The two choices one above the other: the row has no width to spare.
    auto* choices = new QVBoxLayout;
    choices->setSpacing(0);
    choices->addWidget(trim_);
    sheetNames_->setToolTip(QtText(MessageId::SheetNamesTip, language_));
    choices->addWidget(sheetNames_);
    settingsRow->addLayout(choices);
    settingsRow->addStretch(1);
    for (int i = SaveMarksButton; i <= FieldTypeButton; ++i) {
        buttons_[i]->setMinimumHeight(buttonSize.height());
        settingsRow->addWidget(buttons_[i]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(splitter, 1);
    layout->addWidget(progress_);
    layout->addLayout(buttonRow);
    layout->addLayout(settingsRow);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);
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
    buttons_[SaveMarksButton]->setEnabled(state == State::SourceShown);
    buttons_[LoadMarksButton]->setEnabled(state == State::SourceShown);
    buttons_[FindRecordButton]->setEnabled(state == State::SourceShown);
    buttons_[FieldTypeButton]->setEnabled(state == State::SourceShown);
    buttons_[LoadCopybookButton]->setEnabled(state == State::SourceShown);
    codePage_->setEnabled(state != State::Converting);
    trim_->setEnabled(state != State::Converting);
    sheetNames_->setEnabled(state != State::Converting);
    if (state == State::NoSource)
        preview_->Clear();
}

void MainWindow::OpenCommand()
{
    if (state_ != State::NoSource)
        return;
    // "*.*" is what the user reads; "*" also lists the many data files
    // whose names have no dot.
    const std::optional<QString> path =
        dialogs_.AskOpenPath(QtText(MessageId::OpenDialogTitle, language_),
                             {QtText(MessageId::OpenFilterName, language_) + QStringLiteral(" (*.*)"), QStringLiteral("*")},
                             lastPath_);
    if (path)
        OpenFile(*path);
}

bool MainWindow::OpenFile(const QString& path, const QString& marksPath)
{
    if (state_ != State::NoSource || !OpenSource(path))
        return false;
    model_->ShowFirstPage();
    SetState(State::SourceShown);
    UpdatePreview();
    FocusList();
    return marksPath.isEmpty() || LoadMarks(marksPath);
}

bool MainWindow::OpenSource(const QString& path)
{
    lastPath_ = path;
    if (!source_.Open(CorePath(path))) {
        ShowMessage(MessageId::ImportFileError, QtText(DescribeFileFailure(source_.Failure(), language_)));
        return false;
    }
    return true;
}

void MainWindow::MoreBytesCommand()
{
    if (state_ == State::SourceShown)
        model_->ShowNextPage();
    FocusList();
}

void MainWindow::MarkerClicked(int row)
{
    ChangeRow(row, [row](Marks& marks) { marks.CycleMarker(row); });
}

void MainWindow::FieldTypeClicked(int row)
{
    ChangeRow(row, [row](Marks& marks) { marks.CycleFieldType(row); });
}

void MainWindow::FieldTypeCommand()
{
    const QModelIndex current = view_->currentIndex();
    if (state_ != State::SourceShown || task_.Active() || !current.isValid())
        return;
    const int row = current.row();
    const std::optional<FieldChoice> choice =
        dialogs_.AskFieldType({marks_.GetFieldType(row), marks_.GetFieldOptions(row), marks_.GetTraits(row)});
    FocusList();
    if (!choice)
        return;
    // A name is one column's: the targets could not tell two apart.
    for (const auto& [other, traits] : marks_.Traits()) {
        if (other != row && !choice->traits.name.empty() && NameKey(traits.name) == NameKey(choice->traits.name)) {
            ShowMessage(MessageId::NameTaken, QtText(choice->traits.name));
            return;
        }
    }
    ChangeRow(row, [row, &choice](Marks& marks) {
        marks.SetFieldType(row, choice->type);
        marks.SetFieldOptions(row, choice->options);
        marks.SetTraits(row, choice->traits);
    });
}

void MainWindow::ChangeRow(int row, const std::function<void(Marks&)>& change)
{
    if (state_ != State::SourceShown || task_.Active())
        return;
    change(marks_);
    model_->MarksChanged(row, row);
    UpdatePreview();
}

void MainWindow::FocusList()
{
    // A list without a current row would make its second row current when
    // it gets the keyboard; the user starts at the file's first byte.
    if (!view_->currentIndex().isValid() && model_->rowCount() > 0)
        view_->setCurrentIndex(model_->index(0, 0));
    view_->setFocus(Qt::OtherFocusReason);
}

// Every message box gives the keyboard back to the list when it closes.
void MainWindow::ShowMessage(MessageId message, const QString& detail)
{
    dialogs_.ShowMessage(message, detail);
    FocusList();
}

void MainWindow::SettingsChosen()
{
    settings_.codePage = static_cast<std::uint16_t>(codePage_->currentData().toUInt());
    settings_.trimTexts = trim_->isChecked();
    model_->SetCodePage(settings_.codePage);
    UpdatePreview();
}

// The preview works on a copy of the marks: nothing in the list changes
// and no message box appears.
void MainWindow::UpdatePreview()
{
    if (!source_.IsOpen()) {
        preview_->Clear();
        return;
    }
    // Every cell whole, as the formats but .xls take it.
    const PreparedConversion prepared = PrepareConversion(marks_, source_.Size(), settings_, TargetFormat::Csv);
    if (prepared.fault) {
        preview_->ShowFault(prepared.fault);
        return;
    }
    const Preview preview = MakePreview(source_, prepared, kPreviewRecords);
    if (preview.read)
        preview_->ShowCells(preview, settings_.codePage);
    else
        preview_->ShowFault({MessageId::ImportFileError, kNoRow});
}

void MainWindow::SaveMarksCommand()
{
    if (state_ != State::SourceShown)
        return;
    const QFileInfo source(QtText(source_.Path()));
    const QString suffix = QtText(kMarksSuffix);
    const QString suggested = source.absolutePath() + QLatin1Char('/') + source.completeBaseName() +
                              QLatin1Char('.') + suffix;
    const std::optional<QString> path = dialogs_.AskSavePath(
        QtText(MessageId::SaveMarksTitle, language_),
        {QtText(MessageId::MarksFilterName, language_) + QStringLiteral(" (*.") + suffix + QLatin1Char(')'),
         QStringLiteral("*.") + suffix},
        suggested, suffix);
    if (!path)
        return;
    QFile file(*path);
    const QByteArray text = QByteArray::fromStdString(FormatLayout(CurrentLayout()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() || !file.flush()) {
        file.remove();
        ShowMessage(MessageId::WriteError, *path);
    }
    FocusList();
}

void MainWindow::LoadMarksCommand()
{
    if (state_ != State::SourceShown)
        return;
    const QString suffix = QtText(kMarksSuffix);
    const QFileInfo source(QtText(source_.Path()));
    const std::optional<QString> path = dialogs_.AskOpenPath(
        QtText(MessageId::LoadMarksTitle, language_),
        {QtText(MessageId::MarksFilterName, language_) + QStringLiteral(" (*.") + suffix + QLatin1Char(')'),
         QStringLiteral("*.") + suffix},
        source.absolutePath());
    if (path)
        LoadMarks(*path);
    FocusList();
}

// The record starts at the current row. A copybook from the mainframe is
// read as such when the chosen code page is an EBCDIC one.
void MainWindow::LoadCopybookCommand()
{
    if (state_ != State::SourceShown || task_.Active())
        return;
    const std::optional<QString> path = dialogs_.AskOpenPath(
        QtText(MessageId::LoadCopybookTitle, language_),
        {QtText(MessageId::CopybookFilterName, language_) + QStringLiteral(" (*.cpy *.cbl *.cob *.txt)"),
         QStringLiteral("*.cpy *.cbl *.cob *.txt")},
        QFileInfo(QtText(source_.Path())).absolutePath());
    FocusList();
    if (!path)
        return;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(MessageId::FaultyMarksFile, *path + QLatin1Char('\n') + file.errorString());
        return;
    }
    const QByteArray text = file.read(static_cast<qint64>(kMaxCopybookBytes) + 1);
    const bool mainframe = KindOfCodePage(settings_.codePage) == CodePageKind::Ebcdic;
    const Copybook copybook = ReadCopybook(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                                           {mainframe, mainframe ? settings_.codePage : std::uint16_t{0}}, language_);
    if (copybook.error.Failed()) {
        ShowMessage(MessageId::FaultyMarksFile, *path + QLatin1Char('\n') + QtText(copybook.error.message));
        return;
    }
    const QModelIndex current = view_->currentIndex();
    const std::uint64_t begin = current.isValid() ? static_cast<std::uint64_t>(current.row()) : 0;
    const std::uint64_t length = copybook.description.length;
    const Layout layout = LayoutFromDescription(begin, copybook.description);
    if (begin + length > source_.Size() || layout.marks.Empty()) {
        ShowMessage(MessageId::FaultyMarksFile,
                    *path + QLatin1Char('\n') +
                        QtText(Say(MessageId::CommandCopybookTooLong, language_,
                                   {std::to_string(length), std::to_string(begin),
                                    std::to_string(source_.Size() - std::min(begin, source_.Size()))})));
        return;
    }
    if (!marks_.Empty() && dialogs_.ShowMessage(MessageId::ReplaceMarks) != BoxAnswer::Yes)
        return;
    ReplaceMarks(layout.marks);
    codePage_->setCurrentIndex(codePage_->findData(layout.settings.codePage));
    SettingsChosen();
    if (!copybook.notes.empty()) {
        QString notes;
        for (const std::string& note : copybook.notes)
            notes += (notes.isEmpty() ? QString() : QStringLiteral("\n")) + QtText(note);
        ShowMessage(MessageId::CopybookNotesTitle, notes);
    }
}

// The whole file is checked before the list's marks are replaced.
bool MainWindow::LoadMarks(const QString& path)
{
    const LoadedLayout loaded = LoadLayoutFile(CorePath(path), source_.Size(), language_, settings_);
    if (loaded.error.Failed()) {
        QString detail = QtText(loaded.error.Describe(language_));
        if (!loaded.error.file.Failed())
            detail = path + QLatin1Char('\n') + detail;
        ShowMessage(MessageId::FaultyMarksFile, detail);
        return false;
    }
    ReplaceMarks(loaded.layout.marks);
    codePage_->setCurrentIndex(codePage_->findData(loaded.layout.settings.codePage));
    trim_->setChecked(loaded.layout.settings.trimTexts);
    SettingsChosen();
    return true;
}

// Replaces the list's marks, pages the list as far as they go and scrolls
// to the record begin.
void MainWindow::ReplaceMarks(const Marks& marks)
{
    marks_ = marks;
    if (marks_.LastRow() != kNoRow)
        model_->ShowThrough(static_cast<std::uint32_t>(marks_.LastRow()));
    model_->MarksChanged();
    UpdatePreview();
    for (const auto& [row, kind] : marks_.Markers()) {
        if (kind == MarkerKind::LineBegin) {
            view_->ShowRow(row, true);
            break;
        }
    }
    FocusList();
}

// The finder reads only a sample, but from a slow disk that can take a
// while: it runs on a worker and the window stays responsive.
void MainWindow::FindRecordCommand()
{
    if (state_ != State::SourceShown || task_.Active() || finder_.Running())
        return;
    buttons_[FindRecordButton]->setEnabled(false);
    finder_.Start(source_);
}

void MainWindow::RecordFound(const RecordGuess& guess, const std::optional<TableHeader>& table)
{
    buttons_[FindRecordButton]->setEnabled(state_ == State::SourceShown);
    if (state_ != State::SourceShown)
        return;
    if (table) {
        TableFound(*table);
        return;
    }
    if (!guess.Found()) {
        ShowMessage(MessageId::NoRecordFound, QtText(GuessFailureText(guess.failure, language_)));
        return;
    }
    if (!marks_.Empty() && dialogs_.ShowMessage(MessageId::ReplaceMarks) != BoxAnswer::Yes) {
        FocusList();
        return;
    }
    if (guess.LowConfidence())
        ShowMessage(MessageId::RecordUncertain, QtText(GuessSummary(guess, language_)));
    ReplaceMarks(GuessMarks(guess));
}

// A table's header gives its layout exactly: the marks, the names, the
// code page and trimming, as a layout file would; what does not convert as
// a value is said before.
void MainWindow::TableFound(const TableHeader& table)
{
    if (!marks_.Empty() && dialogs_.ShowMessage(MessageId::ReplaceMarks) != BoxAnswer::Yes) {
        FocusList();
        return;
    }
    if (!table.notes.empty())
        ShowMessage(MessageId::TableFoundNotes, QtText(TableSummary(table, language_)));
    const Layout layout = TableLayout(table);
    codePage_->setCurrentIndex(codePage_->findData(layout.settings.codePage));
    trim_->setChecked(layout.settings.trimTexts);
    SettingsChosen();
    ReplaceMarks(layout.marks);
}

void MainWindow::CancelCommand()
{
    if (state_ == State::NoSource)
        return;
    if (task_.Active())
        StopConversion();
    const BoxAnswer answer = dialogs_.ShowMessage(MessageId::KeepSource);
    if (quitting_)
        return;
    if (answer == BoxAnswer::Yes) {
        KeepPath();
        FocusList();
    } else {
        ClearPath();
    }
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
    finder_.Wait();
    model_->ClearRows();
    marks_ = {};
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

void MainWindow::ShowProgress(quint64 recordsDone)
{
    progress_->setValue(static_cast<int>(std::min<quint64>(recordsDone / progressScale_, static_cast<quint64>(progress_->maximum()))));
}

} // namespace zorbik
