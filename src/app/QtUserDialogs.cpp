#include <algorithm>

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "app/UserDialogs.h"
#include "qtcommon/QtText.h"

namespace zorbik {
namespace {

// The dialog shows the filter's name alone; the patterns in the last pair of
// parentheses are what it matches.
void SetFilter(QFileDialog& dialog, const FileFilter& filter)
{
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(filter.name + QStringLiteral(" (") + filter.patterns + QStringLiteral(")"));
}

std::optional<QString> ChosenPath(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty())
        return std::nullopt;
    return files.front();
}

} // namespace

std::optional<QString> QtUserDialogs::AskOpenPath(const QString& title, const FileFilter& filter,
                                                  const QString& startPath)
{
    QFileDialog dialog(owner_, title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    SetFilter(dialog, filter);
    if (!startPath.isEmpty()) {
        const QFileInfo start(startPath);
        if (start.isDir()) {
            dialog.setDirectory(startPath);
        } else {
            dialog.setDirectory(start.absolutePath());
            dialog.selectFile(start.fileName());
        }
    }
    return ChosenPath(dialog);
}

std::optional<QString> QtUserDialogs::AskSavePath(const QString& title, const FileFilter& filter,
                                                  const QString& startFolder, const QString& defaultSuffix)
{
    QFileDialog dialog(owner_, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    SetFilter(dialog, filter);
    dialog.setDefaultSuffix(defaultSuffix);
    const QFileInfo start(startFolder);
    if (!startFolder.isEmpty() && start.isDir()) {
        dialog.setDirectory(startFolder);
    } else if (!startFolder.isEmpty()) { // a name to suggest, in its folder
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    return ChosenPath(dialog);
}

std::optional<QString> QtUserDialogs::AskTargetPath(const QString& title, const std::vector<FileFilter>& filters,
                                                    int& chosen, const QString& startFolder)
{
    QFileDialog dialog(owner_, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    QStringList names;
    for (const FileFilter& filter : filters)
        names << filter.name + QStringLiteral(" (") + filter.patterns + QStringLiteral(")");
    dialog.setNameFilters(names);
    const auto shown = static_cast<std::size_t>(std::clamp(chosen, 0, static_cast<int>(filters.size()) - 1));
    dialog.selectNameFilter(names[static_cast<int>(shown)]);
    dialog.setDefaultSuffix(filters[shown].suffix);
    // The dialog names the chosen type with or without its patterns,
    // depending on the Qt version and on whether the details are hidden.
    const auto indexOf = [&](const QString& name) {
        for (std::size_t k = 0; k < filters.size(); ++k)
            if (name == names[static_cast<int>(k)] || name == filters[k].name)
                return static_cast<int>(k);
        return -1;
    };
    // A name typed without suffix gets the one of the type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& name) {
        const int at = indexOf(name);
        if (at >= 0)
            dialog.setDefaultSuffix(filters[static_cast<std::size_t>(at)].suffix);
    });
    if (!startFolder.isEmpty())
        dialog.setDirectory(startFolder);
    const std::optional<QString> path = ChosenPath(dialog);
    if (path)
        chosen = std::max(0, indexOf(dialog.selectedNameFilter()));
    return path;
}

BoxAnswer QtUserDialogs::ShowMessage(MessageId message, const QString& detail)
{
    QMessageBox box(owner_);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(QtText(kMessageCaption));
    box.setText(QtText(message, language_));
    const BoxType boxType = BoxOf(message);
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    box.setIcon(boxType == BoxType::Stop ? QMessageBox::Critical : QMessageBox::Warning);
    if (boxType == BoxType::QuestionYesNo) {
        QPushButton* yes = box.addButton(QtText(MessageId::YesButton, language_), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QtText(MessageId::NoButton, language_), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? BoxAnswer::Yes : BoxAnswer::No;
    }
    QPushButton* ok = box.addButton(QtText(MessageId::OkButton, language_), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return BoxAnswer::Ok;
}

} // namespace zorbik
