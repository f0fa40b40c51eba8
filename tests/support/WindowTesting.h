// What the window tests share: the user's answers to the window's dialogs, a
// shown window, and clicks that come in through the platform as a user's do,
// so that a modal box holds them back.
#pragma once

#include <functional>

#include <QPushButton>
#include <QtTest>

#include "app/ByteListView.h"
#include "app/MainWindow.h"
#include "app/UserDialogs.h"
#include "layout/LayoutFile.h"
#include "qtcommon/ResourceNames.h"

namespace zorbik::testing {

// Answers the file dialogs in turn from `paths` (a null path, or none left,
// cancels) and a Yes/No box with `answer`; keeps the messages shown, in order.
struct WindowDialogs : UserDialogs {
    std::optional<QString> AskOpenPath(const QString&, const FileFilter&, const QString&) override { return Next(); }
    std::optional<QString> AskSavePath(const QString&, const FileFilter&, const QString&, const QString&) override
    {
        return Next();
    }
    // The user takes the type of file shown, or `targetFilter` when set.
    std::optional<QString> AskTargetPath(const QString&, const std::vector<FileFilter>& filters, int& chosen,
                                         const QString&) override
    {
        shownFilter = chosen;
        filterNames.clear();
        for (const FileFilter& filter : filters)
            filterNames << filter.name;
        if (targetFilter >= 0)
            chosen = targetFilter;
        return Next();
    }
    BoxAnswer ShowMessage(MessageId message, const QString&) override
    {
        messages.push_back(message);
        if (duringMessage)
            duringMessage(message);
        return BoxOf(message) == BoxType::QuestionYesNo ? answer : BoxAnswer::Ok;
    }
    // The field type dialog: the user picks `fieldChoice` (nothing cancels);
    // `shownChoice` is what the dialog showed.
    std::optional<FieldChoice> AskFieldType(const FieldChoice& current) override
    {
        shownChoice = current;
        return fieldChoice;
    }
    std::optional<QString> Next()
    {
        const QString path = paths.isEmpty() ? QString() : paths.takeFirst();
        return path.isNull() ? std::nullopt : std::optional(path);
    }

    QStringList paths;
    int targetFilter = -1;
    int shownFilter = -1;    // the type of file the last target dialog showed first
    QStringList filterNames; // the types it offered
    BoxAnswer answer = BoxAnswer::Yes;
    // What the user or another program does while a message is up.
    std::function<void(MessageId)> duringMessage;
    std::vector<MessageId> messages;
    std::optional<FieldChoice> fieldChoice;
    FieldChoice shownChoice;
};

// One data row per entry of a table, named by the entry; the test reads the
// entry's index.
template <typename Entry, std::size_t N>
void AddRows(const Entry (&table)[N])
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(table[i].name) << int(i);
}

// A click at `at` in `widget`, through the platform; events are served after it.
inline void ClickAt(QWidget* widget, QPoint at, Qt::MouseButton button, bool twice = false)
{
    QTest::mouseEvent(twice ? QTest::MouseDClick : QTest::MouseClick, widget->window()->windowHandle(), button, {},
                      widget->mapTo(widget->window(), at));
}

// The window's widgets, as a user finds them.
inline QPushButton* ButtonOf(const MainWindow& window, MainWindow::Button button)
{
    return window.findChild<QPushButton*>(QLatin1String(MainWindow::kButtonNames[button]));
}
inline ByteListView* ByteList(const MainWindow& window)
{
    return window.findChild<ByteListView*>();
}
inline QAbstractItemModel* ListRows(const MainWindow& window)
{
    return ByteList(window)->model();
}
inline Marks MarksOf(const MainWindow& window)
{
    return window.CurrentLayout().marks;
}

inline void Press(MainWindow& window, MainWindow::Button button)
{
    ClickAt(ButtonOf(window, button), ButtonOf(window, button)->rect().center(), Qt::LeftButton);
}

// The window on the screen, `source` opened through its Open button.
struct ShownWindow {
    explicit ShownWindow(const QString& source, UiLanguage language = UiLanguage::English) : window(language, dialogs)
    {
        InitResources();
        const bool ready = window.SetUp();
        window.show();
        if (!ready || !QTest::qWaitForWindowExposed(&window))
            qFatal("the window does not show");
        dialogs.paths << source;
        Press(window, MainWindow::OpenButton);
    }
    WindowDialogs dialogs;
    MainWindow window;
};

// Scrolls the row into sight and clicks it.
inline void ClickRow(MainWindow& window, int row, Qt::MouseButton button, bool twice = false)
{
    ByteList(window)->ShowRow(row);
    const QRect rect = ByteList(window)->visualRect(ListRows(window)->index(row, 1));
    ClickAt(ByteList(window)->viewport(), rect.center(), button, twice);
}

// Gives the rows the marks of a layout text by clicks; returns the marks.
inline Marks MarkByClicks(MainWindow& window, const char* layout)
{
    const Marks marks = LoadLayout(layout, static_cast<std::uint32_t>(ListRows(window)->rowCount()),
                                   UiLanguage::English).layout.marks;
    for (const auto& [row, kind] : marks.Markers())
        for (int i = 0; i < 6 && MarksOf(window).GetMarker(row) != kind; ++i)
            ClickRow(window, row, Qt::LeftButton);
    for (const auto& [row, type] : marks.FieldTypes())
        for (int i = 0; i < 6 && MarksOf(window).GetFieldType(row) != type; ++i)
            ClickRow(window, row, Qt::RightButton);
    return marks;
}

inline QString MakeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

// `count` bytes, byte i holding i % 251: no pattern lines up with a block.
inline QByteArray Bytes(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>(i % 251);
    return bytes;
}

} // namespace zorbik::testing
