// The main window's conversion commands: Convert up to the start of the
// worker, the worker's end, and stopping it.
#include <climits>

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>

#include "app/MainWindow.h"
#include "app/UserDialogs.h"
#include "qtcommon/QtText.h"
#include "app/ByteListView.h"
#include "convert/PrepareConversion.h"

namespace zorbik {
namespace {

int ProgressMaximum(std::uint32_t range)
{
    return static_cast<int>(std::min<std::uint32_t>(range, static_cast<std::uint32_t>(INT_MAX)));
}

} // namespace

// The marks are checked and planned once; the conversion works on that
// plan, and the list keeps the user's own marks throughout.
void MainWindow::ConvertCommand()
{
    if (state_ != State::SourceShown)
        return;
    PreparedConversion prepared = PrepareConversion(marks_, source_.Size(), settings_);
    if (const LayoutFault fault = prepared.fault) {
        if (fault.row != kNoRow)
            view_->ShowRow(fault.row);
        ShowMessage(fault.message);
        return;
    }
    // A cancelled save dialog leads back to the list with the marks as they were.
    if (!ChooseTargetFile()) {
        FocusList();
        return;
    }
    status_->clear();
    progress_->setRange(0, ProgressMaximum(prepared.layout.recordCount));
    progress_->setValue(0);
    SetState(State::Converting);
    warnings_.clear();
    for (const auto& [clamped, message] : {std::pair{prepared.clamp.columnsClamped, MessageId::TooManyColumns},
                                            std::pair{prepared.clamp.recordsClamped, MessageId::TooManyLines}}) {
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
    recordsToWrite_ = prepared.layout.recordCount;
    task_.Start(source_, prepared.layout, std::move(prepared.plan));
}

bool MainWindow::ChooseTargetFile()
{
    const QString startFolder = lastPath_.isEmpty() ? QString() : QFileInfo(lastPath_).absolutePath();
    for (;;) {
        const std::optional<QString> path = dialogs_.AskSavePath(
            QtText(MessageId::SaveDialogTitle, language_),
            {QtText(MessageId::SaveFilterName, language_) + QStringLiteral(" (*.xls)"), QStringLiteral("*.xls *.XLS")},
            startFolder, QStringLiteral("XLS"));
        if (!path)
            return false;
        const FileFailure failure = task_.OpenTarget(CorePath(*path), source_);
        if (!failure.Failed()) {
            lastPath_ = *path;
            return true;
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
    case ConversionStatus::Finished:
        ClearPath();
        status_->setText(QtText(MessageId::StatusConverted, language_)
                             .arg(QLocale(language_ == UiLanguage::German ? QLocale::German : QLocale::English)
                                       .toString(static_cast<qulonglong>(recordsToWrite_)), target) +
                         warnings_);
        return;
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
