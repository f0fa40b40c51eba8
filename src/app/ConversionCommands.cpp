// The main window's conversion commands: Convert up to the start of the
// worker, the worker's end, and stopping it.
#include <climits>

#include <QFileInfo>
#include <QProgressBar>

#include "app/MainWindow.h"
#include "app/UserDialogs.h"
#include "qtcommon/QtText.h"
#include "qtcommon/WindowTexts.h"
#include "app/ByteListView.h"
#include "convert/PrepareConversion.h"

namespace zorbik {
namespace {

int ProgressMaximum(std::uint32_t range)
{
    return static_cast<int>(std::min<std::uint32_t>(range, static_cast<std::uint32_t>(INT_MAX)));
}

} // namespace

void MainWindow::ConvertCommand()
{
    if (state_ != State::SourceShown)
        return;
    PreparedConversion prepared = PrepareConversion(store_, source_.Size(), settings_);
    if (const LayoutFault fault = prepared.fault) {
        if (fault.row != kNoRow)
            view_->ShowRow(fault.row);
        dialogs_.ShowMessage(fault.messageId, BoxTypeOf(fault.messageId));
        return;
    }
    // A cancelled save dialog leads back to the list with the marks as they were.
    if (!ChooseTargetFile())
        return;
    store_.ReplaceMarks(prepared.marks);
    UpdatePreview();
    progress_->setRange(0, ProgressMaximum(prepared.layout.recordCount));
    progress_->setValue(0);
    SetState(State::Converting);
    if (prepared.clamp.columnsClamped)
        dialogs_.ShowMessage(MsgTooManyColumns, BoxTypeOf(MsgTooManyColumns));
    if (prepared.clamp.recordsClamped)
        dialogs_.ShowMessage(MsgTooManyLines, BoxTypeOf(MsgTooManyLines));
    // The message boxes hold the whole program, so nothing can have stopped
    // the conversion meanwhile; should anything still have, there is no
    // target or source left to convert.
    if (quitting_ || !task_.Active() || !source_.IsOpen())
        return;
    task_.Start(source_, prepared.layout, std::move(prepared.plan));
}

bool MainWindow::ChooseTargetFile()
{
    const QString startFolder = lastPath_.isEmpty() ? QString() : QFileInfo(lastPath_).absolutePath();
    for (;;) {
        const std::optional<QString> path = dialogs_.AskSavePath(
            QtText(kSaveDialogTitle.In(language_)),
            {QtText(kSaveFilterName) + QStringLiteral(" (*.xls)"), QStringLiteral("*.xls *.XLS")},
            startFolder, QtText(kSaveDefaultSuffix));
        if (!path)
            return false;
        if (task_.OpenTarget(CorePath(*path), source_, nullptr) == TargetError::None) {
            lastPath_ = *path;
            return true;
        }
        dialogs_.ShowMessage(MsgFileExists, BoxTypeOf(MsgFileExists),
                             QString::fromStdString(DescribeFileFailure(task_.TargetFailure(), language_)));
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
        return;
    case ConversionStatus::WriteFailed:
        KeepPath();
        dialogs_.ShowMessage(MsgWriteError, BoxTypeOf(MsgWriteError), target);
        return;
    case ConversionStatus::ReadFailed:
        KeepPath();
        dialogs_.ShowMessage(MsgImportFileError, BoxTypeOf(MsgImportFileError), QtText(source_.Path()));
        return;
    case ConversionStatus::Stopped:
        KeepPath();
        return;
    }
}

void MainWindow::StopConversion()
{
    task_.Stop();
    progress_->setValue(0);
}

} // namespace zorbik
