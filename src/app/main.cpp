// The desktop program: one window, in the user's language, until Quit.
#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

#include "app/MainWindow.h"
#include "messages/Messages.h"
#include "qtcommon/ResourceNames.h"
#include "app/UserDialogs.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    zorbik::InitResources();
    const zorbik::UiLanguage language = zorbik::LanguageFromEnvironment();

    // The file dialogs and message boxes of Qt itself speak the same
    // language as the window where a translation is installed.
    QTranslator qtTranslator;
    if (language == zorbik::UiLanguage::German &&
        qtTranslator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    zorbik::QtUserDialogs dialogs(language, nullptr);
    zorbik::MainWindow window(language, dialogs);
    if (!window.SetUp()) {
        dialogs.ShowMessage(zorbik::MessageId::InitFailed);
        return 0;
    }
    dialogs.SetOwner(&window);
    window.PlaceOn(window.screen()->availableGeometry());
    window.show();
    // zorbik FILE [MARKS], as a file manager starts it.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() >= 2)
        window.OpenFile(arguments[1], arguments.size() >= 3 ? arguments[2] : QString());
    QApplication::exec();
    return 0;
}
