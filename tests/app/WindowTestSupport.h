// What the window tests share: dialogs answered from a script, source files
// made on the spot, and the state of the six buttons in one word.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QFile>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <QtTest>

#include "app/ByteListView.h"

#include "app/MainWindow.h"
#include "app/UserDialogs.h"

namespace zorbik::testing {

struct FileQuestion {
    QString title;
    FileFilter filter;
    QString start;
    QString defaultSuffix;
};

struct MessageShown {
    int messageId;
    int boxType;
    QString detail;
};

// Answers the window's questions in the order the test queued them. A save
// dialog or a question that the test did not expect ends the test run, so a
// script that runs dry can never loop.
class ScriptedDialogs : public UserDialogs {
public:
    std::optional<QString> AskOpenPath(const QString& title, const FileFilter& filter,
                                       const QString& startPath) override
    {
        openQuestions.push_back({title, filter, startPath, {}});
        if (openAnswers.empty())
            return std::nullopt;
        return Take(openAnswers);
    }

    std::optional<QString> AskSavePath(const QString& title, const FileFilter& filter, const QString& startFolder,
                                       const QString& defaultSuffix) override
    {
        saveQuestions.push_back({title, filter, startFolder, defaultSuffix});
        if (saveAnswers.empty())
            qFatal("the window asked for a target file that the test did not expect");
        return Take(saveAnswers);
    }

    int ShowMessage(int messageId, int boxType, const QString& detail) override
    {
        messages.push_back({messageId, boxType, detail});
        if (duringMessage)
            duringMessage(messageId);
        if (boxType != BoxQuestionYesNo)
            return AnswerOk;
        if (yesNoAnswers.empty())
            qFatal("the window asked message %d, which the test did not expect", messageId);
        const int answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }

    std::vector<int> MessageIds() const
    {
        std::vector<int> ids;
        for (const MessageShown& m : messages)
            ids.push_back(m.messageId);
        return ids;
    }

    // Paths to choose, in order; a null QString cancels the dialog.
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<int> yesNoAnswers;
    // Runs while a message is shown, as a user acting behind the box would.
    std::function<void(int messageId)> duringMessage;

    std::vector<FileQuestion> openQuestions;
    std::vector<FileQuestion> saveQuestions;
    std::vector<MessageShown> messages;

private:
    static std::optional<QString> Take(std::deque<QString>& answers)
    {
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isNull())
            return std::nullopt;
        return answer;
    }
};

// Writes `bytes` to `name` in `dir` and returns the path.
inline QString MakeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

// `count` bytes counting up from 0 and wrapping at 256.
inline QByteArray CountingBytes(int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i & 0xFF);
    return bytes;
}

// Which buttons can be pressed, as six letters in window order (Open, More
// bytes, Convert, Cancel, Quit, Help): 'x' on, '-' off.
inline QString ButtonStates(const MainWindow& window)
{
    QString states;
    for (int i = 0; i < MainWindow::ButtonCount; ++i)
        states += window.ButtonAt(static_cast<MainWindow::Button>(i))->isEnabled() ? QLatin1Char('x') : QLatin1Char('-');
    return states;
}

// Clicks a row of the byte list `times` times with `button`, after
// scrolling it into view as a user would.
inline void ClickRow(MainWindow& window, int row, Qt::MouseButton button, int times)
{
    ByteListView* view = window.ByteList();
    view->ShowRow(row);
    const QPoint at = view->visualRect(view->model()->index(row, 1)).center();
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(view->viewport(), button, Qt::NoModifier, at);
}

// Right clicks from a new row to `type`.
inline int TypeClicks(FieldType type)
{
    switch (type) {
    case FieldType::None:
        return 0;
    case FieldType::BinInteger:
        return 1;
    case FieldType::BinReal:
        return 2;
    case FieldType::DecimalNumber:
        return 3;
    case FieldType::Bcd:
        return 4;
    case FieldType::Text:
        return 5;
    }
    return 0;
}

// Gives an unmarked, untyped row its marker and type with clicks.
inline void Mark(MainWindow& window, int row, MarkerKind kind, FieldType type = FieldType::None)
{
    ClickRow(window, row, Qt::LeftButton, static_cast<int>(kind));
    ClickRow(window, row, Qt::RightButton, TypeClicks(type));
}

inline void Press(MainWindow& window, MainWindow::Button button)
{
    QTest::mouseClick(window.ButtonAt(button), Qt::LeftButton);
}

// The window with its scripted dialogs, shown on the offscreen screen.
struct ShownWindow {
    explicit ShownWindow(UiLanguage language) : window(language, dialogs)
    {
        if (!window.SetUp())
            qFatal("the marker pictures are missing from the resources");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the window did not show");
    }
    // Opens `path` through the Open button.
    void Open(const QString& path)
    {
        dialogs.openAnswers.push_back(path);
        Press(window, MainWindow::OpenButton);
    }
    bool WaitForState(MainWindow::State state)
    {
        return QTest::qWaitFor([&] { return window.CurrentState() == state; }, 20000);
    }

    ScriptedDialogs dialogs;
    MainWindow window;
};

} // namespace zorbik::testing
