// The questions the window asks the user: which file to read, where to
// write, and the message boxes. Behind an interface so that tests can answer
// them without a person.
#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "marks/FieldOptions.h"
#include "marks/FieldType.h"
#include "marks/Marks.h"
#include "messages/Messages.h"

class QWidget;

namespace zorbik {

// What a file dialog lists: `name` is what the user reads, `patterns` the
// file names that are listed.
struct FileFilter {
    QString name;
    QString patterns;
    QString suffix = {}; // added to a name typed without one
};

// A column's type and its options, as the field type dialog edits them.
struct FieldChoice {
    FieldType type = FieldType::None;
    FieldOptions options;
    ColumnTraits traits = {}; // the column's name and a width the row gives
    bool operator==(const FieldChoice&) const = default;
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // An existing file to read, or nothing when the user cancelled. The
    // dialog starts at `startPath` (a file or a folder; may be empty).
    virtual std::optional<QString> AskOpenPath(const QString& title, const FileFilter& filter,
                                               const QString& startPath) = 0;
    // A file to write, or nothing when the user cancelled. An existing file
    // is only returned after the user agreed to replace it. A name typed
    // without suffix gets `defaultSuffix`. `startFolder` is a folder, or a
    // file name to suggest in its folder.
    virtual std::optional<QString> AskSavePath(const QString& title, const FileFilter& filter,
                                               const QString& startFolder, const QString& defaultSuffix) = 0;
    // A file to write a conversion to, as AskSavePath, offering `filters`.
    // `chosen` is the filter shown first; it becomes the one the user chose.
    virtual std::optional<QString> AskTargetPath(const QString& title, const std::vector<FileFilter>& filters,
                                                 int& chosen, const QString& startFolder) = 0;
    // Shows catalogue message `message` with the icon and buttons of its
    // box type and returns the button pressed. `detail`, when given, is
    // shown below in smaller words.
    virtual BoxAnswer ShowMessage(MessageId message, const QString& detail = {}) = 0;
    // The type and options of a column, starting from `current`; nothing
    // when the user cancelled.
    virtual std::optional<FieldChoice> AskFieldType(const FieldChoice& current) = 0;
};

// The real dialogs of the desktop.
class QtUserDialogs : public UserDialogs {
public:
    QtUserDialogs(UiLanguage language, QWidget* owner) : language_(language), owner_(owner) {}

    std::optional<QString> AskOpenPath(const QString& title, const FileFilter& filter,
                                       const QString& startPath) override;
    std::optional<QString> AskSavePath(const QString& title, const FileFilter& filter, const QString& startFolder,
                                       const QString& defaultSuffix) override;
    std::optional<QString> AskTargetPath(const QString& title, const std::vector<FileFilter>& filters, int& chosen,
                                         const QString& startFolder) override;
    BoxAnswer ShowMessage(MessageId message, const QString& detail = {}) override;
    std::optional<FieldChoice> AskFieldType(const FieldChoice& current) override;
    // The window the dialogs are centred on; none before it exists.
    void SetOwner(QWidget* owner) { owner_ = owner; }

private:
    UiLanguage language_;
    QWidget* owner_;
};

} // namespace zorbik
