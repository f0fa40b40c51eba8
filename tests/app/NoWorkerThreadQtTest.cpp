// A conversion whose worker thread cannot be started (the user may start no
// more threads): no thread runs, but the target is open, so the window stays
// converting until Cancel or Quit, which delete the target.
#include <optional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProgressBar>
#include <QtTest>

#include "app/ConversionTestSupport.h"
#include "qtcommon/ResourceNames.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// Makes the process an ordinary user's that may start no more threads, for
// as long as it lives. The limit binds the real user, and root, also by its
// capabilities, is never held to it; the saved id brings root back.
class NoMoreThreads {
public:
    static constexpr uid_t kNobody = 65534;

    NoMoreThreads()
    {
        if (::geteuid() != 0 || ::getrlimit(RLIMIT_NPROC, &old_) != 0)
            return;
        const rlimit none{0, old_.rlim_max};
        limited_ = ::setrlimit(RLIMIT_NPROC, &none) == 0;
        switched_ = limited_ && ::setresuid(kNobody, kNobody, 0) == 0;
    }
    ~NoMoreThreads()
    {
        if (switched_ && ::setresuid(0, 0, 0) != 0)
            qFatal("cannot become root again");
        if (limited_)
            ::setrlimit(RLIMIT_NPROC, &old_);
    }
    NoMoreThreads(const NoMoreThreads&) = delete;
    NoMoreThreads& operator=(const NoMoreThreads&) = delete;

    bool Ok() const { return switched_; }

private:
    rlimit old_{};
    bool limited_ = false;
    bool switched_ = false;
};

} // namespace

class NoWorkerThreadQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void windowWaitsForCancelOrQuit_data();
    void windowWaitsForCancelOrQuit();

private:
    QTemporaryDir dir_;
    QString source_;
};

void NoWorkerThreadQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    // The ordinary user must be able to make the target here.
    QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 01777) == 0);
    source_ = MakeFile(dir_, QStringLiteral("records.dat"), Records(100));
}

void NoWorkerThreadQtTest::windowWaitsForCancelOrQuit_data()
{
    QTest::addColumn<bool>("quit");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Quit") << true;
}

void NoWorkerThreadQtTest::windowWaitsForCancelOrQuit()
{
    QFETCH(bool, quit);
    const QString target = dir_.filePath(QStringLiteral("target.xls"));
    QFile::remove(target);
    ShownWindow shown(UiLanguage::English);
    shown.Open(source_);
    MarkAll(shown.window, kColumns);
    shown.dialogs.saveAnswers.push_back(target);
    {
        NoMoreThreads limit;
        if (!limit.Ok())
            QSKIP("needs root to act as a user who may start no threads");
        Press(shown.window, MainWindow::ConvertButton);
    }
    QTest::qWait(50);
    QCOMPARE(shown.window.CurrentState(), MainWindow::State::Converting);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("---xxx"));
    QVERIFY(shown.window.Task().Active());
    QVERIFY(!shown.window.Task().Started());
    QVERIFY(QFile::exists(target));
    QVERIFY(shown.dialogs.messages.empty());
    // Clicks on rows are still ignored.
    ClickRow(shown.window, 50, Qt::LeftButton, 1);
    QCOMPARE(shown.window.Rows().GetMarker(50), MarkerKind::Unmarked);

    shown.dialogs.yesNoAnswers.push_back(AnswerYes);
    Press(shown.window, quit ? MainWindow::QuitButton : MainWindow::CancelButton);
    QVERIFY(!QFile::exists(target));
    QVERIFY(!shown.window.Task().Active());
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    if (quit) {
        QVERIFY(!shown.window.isVisible());
        QVERIFY(shown.dialogs.messages.empty());
        return;
    }
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgKeepSource});
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    // Once threads can be started again, Convert works.
    shown.dialogs.saveAnswers.push_back(target);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QVERIFY(ReadAll(target).size() > 680);
}

QTEST_MAIN(NoWorkerThreadQtTest)
#include "NoWorkerThreadQtTest.moc"
