// The main window's conversion commands: Convert up to the start of the
// worker, the worker's end, and stopping it.
#include <algorithm>
#include <climits>
#include <vector>

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>

#include "app/MainWindow.h"
#include "app/UserDialogs.h"
#include "qtcommon/QtText.h"
#include "app/ByteListView.h"
#include "convert/ConversionEngine.h"
#include "convert/PrepareConversion.h"
#include "target/TargetFormat.h"

namespace zorbik {
namespace {

// The types of file a conversion can write, in the order the save dialog
// offers them, and those this build writes.
struct TargetType {
    TargetFormat format;
    MessageId name;
    const char* extensions; // shown after the name, so that .xls and .xlsx are told apart
    const char* patterns;
};
constexpr TargetType kTargetTypes[] = {
    {TargetFormat::Xls, MessageId::SaveFilterName, " (.xls)", "*.xls *.XLS"},
    {TargetFormat::Xlsx, MessageId::SaveFilterXlsx, " (.xlsx)", "*.xlsx *.XLSX"},
    {TargetFormat::Csv, MessageId::SaveFilterCsv, " (.csv)", "*.csv *.CSV"},
    {TargetFormat::Sqlite, MessageId::SaveFilterSqlite, " (.sqlite, .db)", "*.sqlite *.db *.SQLITE *.DB"},
};

std::vector<TargetType> BuiltTypes()
{
    std::vector<TargetType> types;
    for (const TargetType& type : kTargetTypes)
        if (FormatBuilt(type.format))
            types.push_back(type);
    return types;
}

} // namespace

// The marks are checked and planned once for the format chosen; the
// conversion works on that plan, and the list keeps the user's own marks
// throughout.
void MainWindow::ConvertCommand()
{
    if (state_ != State::SourceShown)
        return;
    // The marks are checked before the user is asked where to write.
    if (ShowFault(PrepareConversion(marks_, source_.Size(), settings_, TargetFormat::Csv).fault))
        return;
    std::optional<PreparedConversion> prepared = ChooseTarget();
    // A cancelled save dialog leads back to the list with the marks as they were.
    if (!prepared) {
        FocusList();
        return;
    }
    status_->clear();
    recordsToWrite_ = prepared->layout.recordCount;
    progressScale_ = recordsToWrite_ / INT_MAX + 1;
    progress_->setRange(0, static_cast<int>(recordsToWrite_ / progressScale_));
    progress_->setValue(0);
    SetState(State::Converting);
    warnings_.clear();
    for (const auto& [clamped, message] : {std::pair{prepared->clamp.columnsClamped, MessageId::TooManyColumns},
                                            std::pair{prepared->clamp.recordsClamped, MessageId::TooManyLines}}) {
        if (!clamped)
            continue;
        dialogs_.ShowMessage(message);
        warnings_ += QLatin1String(" ") + QtText(message, language_).replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    // The message boxes hold the whole program, so nothing can have stopped
    // the conversion meanwhile; should anything still have, there is no
    // target or source left to convert.
    if (quitting_ || !task_.Active() || !source_.IsOpen())
        return;
    task_.Start(source_, prepared->layout, std::move(prepared->plan));
}

bool MainWindow::ShowFault(const LayoutFault& fault)
{
    if (!fault)
        return false;
    if (fault.row != kNoRow)
        view_->ShowRow(fault.row);
    ShowMessage(fault.message, fault.detail != MessageId{} ? QtText(Say(fault.detail, language_, fault.args)) : QString());
    return true;
}

std::optional<PreparedConversion> MainWindow::ChooseTarget()
{
    const std::vector<TargetType> types = BuiltTypes();
    std::vector<FileFilter> filters;
    for (const TargetType& type : types) {
        const QString suffix = QString::fromLatin1(FormatWord(type.format));
        filters.push_back({QtText(type.name, language_) + QLatin1String(type.extensions),
                           QString::fromLatin1(type.patterns), suffix});
    }
    const QString startFolder = lastPath_.isEmpty() ? QString() : QFileInfo(lastPath_).absolutePath();
    for (;;) {
        const std::optional<QString> path =
            dialogs_.AskTargetPath(QtText(MessageId::SaveDialogTitle, language_), filters, targetFilter_, startFolder);
        if (!path)
            return std::nullopt;
        // The name's extension says the format; a name without a known one
        // gets the type chosen in the dialog.
        TargetOptions options;
        options.format = FormatOfPath(CorePath(*path))
                             .value_or(types[static_cast<std::size_t>(std::clamp<int>(targetFilter_, 0, static_cast<int>(types.size()) - 1))].format);
        options.sheetNames = sheetNames_->isChecked();
        options.table = SafeTableName(QFileInfo(QtText(source_.Path())).completeBaseName().toStdString());
        PreparedConversion prepared = PrepareConversion(marks_, source_.Size(), settings_, options.format);
        if (ShowFault(prepared.fault))
            return std::nullopt;
        const FileFailure failure = task_.OpenTarget(CorePath(*path), source_, options);
        if (!failure.Failed()) {
            lastPath_ = *path;
            return prepared;
        }
        dialogs_.ShowMessage(MessageId::FileExists, QtText(DescribeFileFailure(failure, language_)));
    }
}

void MainWindow::FinishConversion()
{
    if (!task_.Started())
        return;
    const QString target = QtText(task_.TargetPath());
    const ConversionOutcome outcome = task_.Finish();
    progress_->setValue(0);
    switch (outcome.status) {
    case ConversionStatus::Finished: {
        ClearPath();
        const QLocale locale(language_ == UiLanguage::German ? QLocale::German : QLocale::English);
        // What the target had to change in the cells joins the warnings.
        QString notes;
        if (outcome.notes.undefinedBytes != 0)
            notes += QLatin1String(". ") + QtText(MessageId::NoteUndefinedBytes, language_)
                                              .arg(locale.toString(static_cast<qulonglong>(outcome.notes.undefinedBytes)))
                                              .arg(QtText(CodePageNumber(NotedCodePage(task_.Format(), settings_.codePage))));
        if (outcome.notes.textsCut != 0)
            notes += QLatin1String(". ") + QtText(MessageId::NoteTextsCut, language_)
                                              .arg(locale.toString(static_cast<qulonglong>(outcome.notes.textsCut)));
        for (const ColumnFault& fault : outcome.faults)
            notes += QLatin1String(". ") + QtText(DescribeFault(fault, language_));
        status_->setText(QtText(MessageId::StatusConverted, language_)
                             .arg(locale.toString(static_cast<qulonglong>(recordsToWrite_)), target) +
                         warnings_ + notes);
        return;
    }
    case ConversionStatus::WriteFailed:
        KeepPath();
        ShowMessage(MessageId::WriteError, target);
        return;
    case ConversionStatus::ReadFailed:
        KeepPath();
        ShowMessage(MessageId::ImportFileError, QtText(source_.Path()));
        return;
    case ConversionStatus::Stopped:
        KeepPath();
        return;
    }
}

void MainWindow::StopConversion()
{
    const QString target = QtText(task_.TargetPath());
    task_.Stop();
    progress_->setValue(0);
    status_->setText(QtText(MessageId::StatusCancelled, language_).arg(target));
}

} // namespace zorbik
