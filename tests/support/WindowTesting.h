// What the window tests share: the user's answers to the window's dialogs, a
// shown window, marks written as layout text, and clicks that come in through
// the platform as a user's do, so that a modal box holds them back.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QFile>
#include <QPushButton>
#include <QtTest>

#include "app/ByteListView.h"
#include "app/MainWindow.h"
#include "app/UserDialogs.h"
#include "layout/LayoutFile.h"
#include "qtcommon/ResourceNames.h"

namespace zorbik::testing {

// Answers from queues (an empty queue or a null path cancels a file dialog),
// and every message shown, in order.
class WindowDialogs : public UserDialogs {
public:
    std::optional<QString> AskOpenPath(const QString&, const FileFilter&, const QString&) override
    {
        return Take(openPaths);
    }
    std::optional<QString> AskSavePath(const QString&, const FileFilter&, const QString&, const QString&) override
    {
        return Take(savePaths);
    }
    int ShowMessage(int messageId, int boxType, const QString& detail) override
    {
        messages.push_back(messageId);
        details.push_back(detail);
        if (duringMessage)
            duringMessage(messageId);
        if (realBoxes != nullptr)
            return realBoxes->ShowMessage(messageId, boxType, detail);
        return boxType == BoxQuestionYesNo ? answer : AnswerOk;
    }

    std::deque<QString> openPaths;
    std::deque<QString> savePaths;
    int answer = AnswerYes;
    // Runs while a message is up, as a user or another program acting then.
    std::function<void(int messageId)> duringMessage;
    // Shows the boxes on the screen instead of answering them.
    UserDialogs* realBoxes = nullptr;
    std::vector<int> messages;
    QStringList details;

private:
    static std::optional<QString> Take(std::deque<QString>& paths)
    {
        if (paths.empty())
            return std::nullopt;
        const QString path = paths.front();
        paths.pop_front();
        return path.isNull() ? std::nullopt : std::optional<QString>(path);
    }
};

struct ShownWindow {
    explicit ShownWindow(UiLanguage language = UiLanguage::English) : window(language, dialogs)
    {
        InitResources();
        if (!window.SetUp())
            qFatal("the marker pictures are missing");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the window did not show");
    }
    void Open(const QString& path);

    WindowDialogs dialogs;
    MainWindow window;
};

// A click through the platform at `at` in `widget`; events are served after it.
inline void ClickAt(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton, bool twice = false)
{
    QWindow* window = widget->window()->windowHandle();
    const QPoint point = widget->mapTo(widget->window(), at);
    if (twice)
        QTest::mouseDClick(window, button, {}, point);
    else
        QTest::mouseClick(window, button, {}, point);
}

inline void Press(MainWindow& window, MainWindow::Button button)
{
    ClickAt(window.ButtonAt(button), window.ButtonAt(button)->rect().center());
}

inline void ShownWindow::Open(const QString& path)
{
    dialogs.openPaths.push_back(path);
    Press(window, MainWindow::OpenButton);
}

// Scrolls the row into sight and clicks it.
inline void ClickRow(MainWindow& window, int row, Qt::MouseButton button, bool twice = false)
{
    ByteListView* view = window.ByteList();
    view->ShowRow(row);
    ClickAt(view->viewport(), view->visualRect(view->model()->index(row, 1)).center(), button, twice);
}

// Marks from layout text, on a store of `rows` rows.
inline RowStore Marks(const char* layout, std::int32_t rows)
{
    RowStore marks;
    marks.AddRows(rows);
    std::vector<LayoutEntry> entries;
    if (ParseLayout(layout, static_cast<std::uint32_t>(rows), entries))
        qFatal("a test's layout does not parse: %s", layout);
    ApplyLayout(entries, marks);
    return marks;
}

inline bool SameMarks(const RowStore& a, const RowStore& b)
{
    return a.Markers() == b.Markers() && a.FieldTypes() == b.FieldTypes();
}

// Gives the rows the markers and types of `marks`, by clicks.
inline void MarkByClicks(MainWindow& window, const RowStore& marks)
{
    for (const auto& [row, kind] : marks.Markers())
        for (int i = 0; i < 6 && window.Rows().GetMarker(row) != kind; ++i)
            ClickRow(window, row, Qt::LeftButton);
    for (const auto& [row, type] : marks.FieldTypes())
        for (int i = 0; i < 6 && window.Rows().GetFieldType(row) != type; ++i)
            ClickRow(window, row, Qt::RightButton);
}

inline QString MakeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `count` bytes, byte i holding i % 251: no pattern lines up with a block.
inline QByteArray Bytes(int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

} // namespace zorbik::testing
