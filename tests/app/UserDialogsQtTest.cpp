// The real dialogs of the program: message boxes with their caption, text,
// icon and buttons in both languages, and the file dialogs with their
// titles, filters and default suffix.
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/UserDialogs.h"

using namespace zorbik;

Q_DECLARE_METATYPE(zorbik::UiLanguage)

namespace {

// Runs `act` on the dialog that the next exec() shows, once it is up.
template <typename Dialog>
void WhenShown(std::function<void(Dialog*)> act)
{
    QTimer::singleShot(0, [act] {
        Dialog* dialog = nullptr;
        for (int i = 0; i < 200 && dialog == nullptr; ++i) {
            dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                QTest::qWait(10);
        }
        if (dialog == nullptr)
            qFatal("no dialog was shown");
        act(dialog);
    });
}

QStringList ButtonTexts(const QMessageBox& box)
{
    QStringList texts;
    for (QAbstractButton* button : box.buttons())
        texts << button->text();
    texts.sort();
    return texts;
}

} // namespace

class UserDialogsQtTest : public QObject {
    Q_OBJECT
private slots:
    void messageBox_data();
    void messageBox();
    void openDialog();
    void saveDialog();
};

void UserDialogsQtTest::messageBox_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<int>("messageId");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");

    const int warning = QMessageBox::Warning;
    QTest::newRow("34 de") << UiLanguage::German << 34 << "Import-Dateifehler" << warning << QStringList{"OK"} << "OK"
                           << int(AnswerOk);
    QTest::newRow("35 en") << UiLanguage::English << 35 << "File exsists!" << warning << QStringList{"OK"} << "OK"
                           << int(AnswerOk);
    QTest::newRow("40 de, two lines")
        << UiLanguage::German << 40 << "Mehr als 65534 Spalten;\nMaximum an Spalten wird übernommen!" << warning
        << QStringList{"OK"} << "OK" << int(AnswerOk);
    QTest::newRow("33 en, stop") << UiLanguage::English << 33 << "Error on initializing, program will be terminated!"
                                 << int(QMessageBox::Critical) << QStringList{"OK"} << "OK" << int(AnswerOk);
    QTest::newRow("43 de, Ja") << UiLanguage::German << 43 << "Soll die aktuelle Quelldatei beibehalten werden?"
                               << warning << QStringList{"Ja", "Nein"} << "Ja" << int(AnswerYes);
    QTest::newRow("43 en, No") << UiLanguage::English << 43 << "Do you like to keep actual sourcefile?" << warning
                               << QStringList{"No", "Yes"} << "No" << int(AnswerNo);
    QTest::newRow("43 en, Escape") << UiLanguage::English << 43 << "Do you like to keep actual sourcefile?" << warning
                                   << QStringList{"No", "Yes"} << "" << int(AnswerNo);
}

void UserDialogsQtTest::messageBox()
{
    QFETCH(UiLanguage, language);
    QFETCH(int, messageId);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(QStringList, buttons);
    QFETCH(QString, press);
    QFETCH(int, answer);

    QtUserDialogs dialogs(language, nullptr);
    QString caption, shownText;
    int shownIcon = -1;
    QStringList shownButtons;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        shownText = box->text();
        shownIcon = box->icon();
        shownButtons = ButtonTexts(*box);
        if (press.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* button : box->buttons())
            if (button->text() == press)
                button->click();
    });
    QCOMPARE(dialogs.ShowMessage(messageId, BoxTypeOf(messageId)), answer);
    QCOMPARE(caption, QStringLiteral("        ZORBIK"));
    QCOMPARE(shownText, text);
    QCOMPARE(shownIcon, icon);
    QCOMPARE(shownButtons, buttons);
}

void UserDialogsQtTest::openDialog()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("DATEN"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QtUserDialogs dialogs(UiLanguage::German, nullptr);
    QString title, shownFilter;
    QStringList listed;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        shownFilter = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::optional<QString> chosen =
        dialogs.AskOpenPath(QStringLiteral("Daten Importieren"), {QStringLiteral("alle Dateien (*.*)"), "*"}, path);
    QCOMPARE(title, QStringLiteral("Daten Importieren"));
    QCOMPARE(shownFilter, QStringLiteral("alle Dateien (*.*)"));
    // The dialog started with the last path, a file without a dot.
    QCOMPARE(chosen.value_or(QString()), path);

    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!dialogs.AskOpenPath(QStringLiteral("Daten Importieren"), {QStringLiteral("alle Dateien (*.*)"), "*"}, path));
}

void UserDialogsQtTest::saveDialog()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QtUserDialogs dialogs(UiLanguage::English, nullptr);
    QString title, shownFilter, suffix;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        shownFilter = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
        suffix = dialog->defaultSuffix();
        dialog->selectFile(QStringLiteral("sheet"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::optional<QString> chosen =
        dialogs.AskSavePath(QStringLiteral("Export Excel -sheet"),
                            {QStringLiteral("Excel -Sheet (*.xls)"), QStringLiteral("*.xls *.XLS")}, dir.path(),
                            QStringLiteral("XLS"));
    QCOMPARE(title, QStringLiteral("Export Excel -sheet"));
    QCOMPARE(shownFilter, QStringLiteral("Excel -Sheet (*.xls)"));
    QCOMPARE(suffix, QStringLiteral("XLS"));
    QCOMPARE(chosen.value_or(QString()), dir.filePath(QStringLiteral("sheet.XLS")));
}

QTEST_MAIN(UserDialogsQtTest)
#include "UserDialogsQtTest.moc"
