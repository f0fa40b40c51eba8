// The window with sources that are no usable file (no permission, a folder,
// a FIFO, a device, a socket, a link loop, a file of no size): message 34
// and nothing else, the window stays without a source. And sources that
// another program cuts, rewrites or replaces while the window converts
// them: no crash and no hang; a read that comes up short shows message 34,
// leaves no target and keeps the marks, so the user can convert again once
// the file is whole.
#include <csignal>
#include <optional>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QProgressBar>
#include <QScopeGuard>
#include <QtTest>

#include "app/ConversionTestSupport.h"
#include "qtcommon/ResourceNames.h"
#include "layout/LayoutFile.h"
#include "support/AsOtherUser.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

// What another program does to the source while the worker waits.
enum class Change { CutToNothing, CutInside, LastByteCut, RewrittenInPlace, Replaced, Grown };

// What the window makes of it.
enum class Outcome { ImportError, SameSheet, SheetOfSameSize };

// 20000 records of 24 bytes: more than the worker reads at once, so a
// change after its first progress report meets reads still to come.
constexpr int kRecords = 20000;

QByteArray OtherRecords()
{
    QByteArray bytes = Records(kRecords);
    for (int i = kHeader; i < bytes.size(); i += 24)
        bytes[i + 1] = 'X'; // "NXme…": the same lengths, other texts
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(Outcome)

class SourceFaultsQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void unusableSourceAtOpen_data();
    void unusableSourceAtOpen();
    void sourceChangedDuringConversion_data();
    void sourceChangedDuringConversion();
    void anotherProcessCutsTheSource();

private:
    QTemporaryDir dir_;
    QString good_;
    QString target_;
    QByteArray reference_; // the command line's sheet of Records(kRecords)
    int socket_ = -1;
};

void SourceFaultsQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    // Another user must reach the folder.
    QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0755) == 0);
    good_ = MakeFile(dir_, QStringLiteral("good.dat"), Records(kRecords));
    ShownWindow shown(UiLanguage::English);
    shown.Open(good_);
    MarkAll(shown.window, kColumns);
    reference_ = CommandLineOutput(dir_, good_, FormatLayout(shown.window.Rows()));
    QVERIFY(reference_.size() > 100000);
}

void SourceFaultsQtTest::cleanupTestCase()
{
    if (socket_ >= 0)
        ::close(socket_);
}

void SourceFaultsQtTest::init()
{
    target_ = dir_.filePath(QStringLiteral("target.xls"));
    QFile::remove(target_);
}

void SourceFaultsQtTest::unusableSourceAtOpen_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("asOtherUser"); // permissions, which root would pass

    const QByteArray records = Records(10);
    QDir().mkpath(dir_.filePath(QStringLiteral("private")));
    MakeFile(dir_, QStringLiteral("private/data.dat"), records);
    ::chmod(QFile::encodeName(dir_.filePath(QStringLiteral("private"))).constData(), 0700);
    const QString secret = MakeFile(dir_, QStringLiteral("secret.dat"), records);
    ::chmod(QFile::encodeName(secret).constData(), 0600);
    const QString fifo = dir_.filePath(QStringLiteral("fifo"));
    ::mkfifo(QFile::encodeName(fifo).constData(), 0644);
    const QString loopA = dir_.filePath(QStringLiteral("loop-a"));
    const QString loopB = dir_.filePath(QStringLiteral("loop-b"));
    ::symlink(QFile::encodeName(loopA).constData(), QFile::encodeName(loopB).constData());
    ::symlink(QFile::encodeName(loopB).constData(), QFile::encodeName(loopA).constData());
    const QString dangling = dir_.filePath(QStringLiteral("dangling"));
    ::symlink(QFile::encodeName(dir_.filePath(QStringLiteral("gone"))).constData(),
              QFile::encodeName(dangling).constData());

    QTest::newRow("a file only its owner may read") << secret << true;
    QTest::newRow("a file in a folder only its owner may enter") << dir_.filePath(QStringLiteral("private/data.dat"))
                                                                 << true;
    QTest::newRow("an empty file") << MakeFile(dir_, QStringLiteral("empty.dat"), {}) << false;
    QTest::newRow("a folder") << dir_.path() << false;
    QTest::newRow("a FIFO without a writer") << fifo << false;
    QTest::newRow("a device without end") << QStringLiteral("/dev/zero") << false;
    QTest::newRow("a device without bytes") << QStringLiteral("/dev/null") << false;
    QTest::newRow("a link loop") << loopA << false;
    QTest::newRow("a dangling link") << dangling << false;
    QTest::newRow("a file that tells no size") << QStringLiteral("/proc/self/status") << false;

    if (socket_ < 0) {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(dir_.filePath(QStringLiteral("socket")));
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.constData());
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    if (QFileInfo::exists(dir_.filePath(QStringLiteral("socket"))))
        QTest::newRow("a socket") << dir_.filePath(QStringLiteral("socket")) << false;
}

// Message 34 and nothing else; the window stays without a source, and the
// next Open of a good file works.
void SourceFaultsQtTest::unusableSourceAtOpen()
{
    QFETCH(QString, path);
    QFETCH(bool, asOtherUser);
    ShownWindow shown(UiLanguage::German);
    {
        std::optional<AsOtherUser> otherUser;
        if (asOtherUser) {
            otherUser.emplace();
            if (!otherUser->Ok())
                QSKIP("cannot act as another user here");
        }
        shown.Open(path);
    }
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgImportFileError});
    QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxExclamation));
    QVERIFY(!shown.dialogs.messages[0].detail.isEmpty());
    QCOMPARE(shown.dialogs.openQuestions.size(), std::size_t(1));
    QVERIFY(shown.dialogs.saveQuestions.empty());
    QCOMPARE(shown.window.CurrentState(), MainWindow::State::NoSource);
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 0);

    shown.Open(good_);
    QCOMPARE(shown.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
}

void SourceFaultsQtTest::sourceChangedDuringConversion_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("cut to nothing") << Change::CutToNothing << Outcome::ImportError;
    QTest::newRow("cut inside the records") << Change::CutInside << Outcome::ImportError;
    // The filler byte at the end of a record is in no column.
    QTest::newRow("its last byte cut, which no column reads") << Change::LastByteCut << Outcome::SameSheet;
    // The cells come partly from the old, partly from the new bytes.
    QTest::newRow("rewritten in place") << Change::RewrittenInPlace << Outcome::SheetOfSameSize;
    // The window reads the file it opened, not what the path names now.
    QTest::newRow("replaced by another file") << Change::Replaced << Outcome::SameSheet;
    QTest::newRow("grown") << Change::Grown << Outcome::SameSheet;
}

void SourceFaultsQtTest::sourceChangedDuringConversion()
{
    QFETCH(Change, change);
    QFETCH(Outcome, outcome);
    const QByteArray original = Records(kRecords);
    const QString source = MakeFile(dir_, QStringLiteral("changing.dat"), original);

    ShownWindow shown(UiLanguage::English);
    shown.Open(source);
    MarkAll(shown.window, kColumns);
    QVERIFY(StartHeldConversion(shown, target_));

    QFile file(source);
    switch (change) {
    case Change::CutToNothing:
        QVERIFY(file.resize(0));
        break;
    case Change::CutInside:
        QVERIFY(file.resize(original.size() / 2));
        break;
    case Change::LastByteCut:
        QVERIFY(file.resize(original.size() - 1));
        break;
    case Change::RewrittenInPlace: {
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray other = OtherRecords();
        QCOMPARE(file.write(other), other.size());
        file.close();
        break;
    }
    case Change::Replaced:
        MakeFile(dir_, QStringLiteral("replacement.dat"), OtherRecords());
        QVERIFY(::rename(QFile::encodeName(dir_.filePath(QStringLiteral("replacement.dat"))).constData(),
                         QFile::encodeName(source).constData()) == 0);
        break;
    case Change::Grown:
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write(Records(100)) > 0);
        file.close();
        break;
    }
    shown.window.Task().HoldWorkerForTest(false);
    QVERIFY(QTest::qWaitFor([&] { return shown.window.CurrentState() != MainWindow::State::Converting; }, 60000));
    QVERIFY(!shown.window.Task().Active());
    QCOMPARE(shown.window.ProgressBar()->value(), 0);

    if (outcome != Outcome::ImportError) {
        QVERIFY(shown.dialogs.messages.empty());
        QCOMPARE(shown.window.CurrentState(), MainWindow::State::NoSource);
        if (outcome == Outcome::SameSheet)
            QCOMPARE(ReadAll(target_), reference_);
        else
            QCOMPARE(ReadAll(target_).size(), reference_.size());
        return;
    }
    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgImportFileError});
    QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxExclamation));
    QCOMPARE(shown.dialogs.messages[0].detail, source);
    QVERIFY(!QFileInfo::exists(target_));
    // Back at the source with every mark, and rows past the new end show
    // no made-up bytes.
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
    QCOMPARE(shown.window.Rows().Markers().size(), std::size_t(kColumns.size()));
    Press(shown.window, MainWindow::MoreBytesButton);
    shown.window.ByteList()->scrollToBottom();
    shown.window.ByteList()->viewport()->repaint();

    // Once the file is whole again, Convert makes the sheet from the marks
    // that were kept.
    MakeFile(dir_, QStringLiteral("changing.dat"), original);
    shown.dialogs.saveAnswers.push_back(target_);
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));
    QCOMPARE(shown.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(ReadAll(target_), reference_);
}

// A real second process cuts the source and puts it back as fast as it can
// while the window converts it again and again.
void SourceFaultsQtTest::anotherProcessCutsTheSource()
{
    const QByteArray original = Records(kRecords);
    const QString source = MakeFile(dir_, QStringLiteral("cut.dat"), original);
    const int fd = ::open(QFile::encodeName(source).constData(), O_WRONLY);
    QVERIFY(fd >= 0);
    const pid_t cutter = ::fork();
    if (cutter == 0) {
        // Only calls that are safe in the child of a threaded process.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (unsigned n = 1;; ++n) {
            // Never below two pages, so the marks always find their rows.
            const off_t cut = 2048 + static_cast<off_t>((n * 2654435761u) % static_cast<unsigned>(original.size()));
            [[maybe_unused]] const int a = ::ftruncate(fd, cut);
            ::usleep(200);
            [[maybe_unused]] const ssize_t b = ::pwrite(fd, original.constData(), original.size(), 0);
            ::usleep(300);
        }
    }
    ::close(fd);
    QVERIFY(cutter > 0);
    const auto stopCutter = qScopeGuard([&] {
        ::kill(cutter, SIGKILL);
        ::waitpid(cutter, nullptr, 0);
    });

    ShownWindow shown(UiLanguage::German);
    int finished = 0;
    int failed = 0;
    for (int run = 0; run < 20; ++run) {
        shown.dialogs.messages.clear();
        shown.Open(source);
        QVERIFY(shown.dialogs.messages.empty());
        MarkAll(shown.window, kColumns);
        shown.dialogs.saveAnswers.push_back(target_);
        Press(shown.window, MainWindow::ConvertButton);
        QVERIFY(QTest::qWaitFor([&] { return shown.window.CurrentState() != MainWindow::State::Converting; },
                                60000));
        QVERIFY(!shown.window.Task().Active());
        if (shown.window.CurrentState() == MainWindow::State::NoSource) {
            ++finished;
            QVERIFY(shown.dialogs.messages.empty());
            QVERIFY(ReadAll(target_).size() > 680);
            QVERIFY(QFile::remove(target_));
        } else {
            ++failed;
            QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgImportFileError});
            QVERIFY(!QFileInfo::exists(target_));
            shown.dialogs.yesNoAnswers.push_back(AnswerNo);
            Press(shown.window, MainWindow::CancelButton);
            QCOMPARE(ButtonStates(shown.window), QStringLiteral("x---xx"));
        }
    }
    qInfo("20 conversions while another process cut the source: %d finished, %d failed to read", finished, failed);
}

QTEST_MAIN(SourceFaultsQtTest)
#include "SourceFaultsQtTest.moc"
