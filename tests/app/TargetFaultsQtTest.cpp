// Conversions from the window whose target fails them: a disk that fills up
// (a small tmpfs in a mount namespace of this test's own), a target that
// cannot be created, and a target that another program deletes or replaces
// while it is written. A target that cannot be created shows message 35 and
// the save dialog again; a failure while writing shows message 44, leaves
// no partial file and returns to the source with its marks. The source is
// never changed.
#include <optional>

#include <linux/fs.h>
#include <sys/stat.h>

#include <QDir>
#include <QProgressBar>
#include <QScopeGuard>
#include <QtTest>

#include "app/ConversionTestSupport.h"
#include "qtcommon/ResourceNames.h"
#include "layout/LayoutFile.h"
#include "support/AsOtherUser.h"
#include "support/InodeFlags.h"
#include "support/PrivateMounts.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

QStringList Names(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

} // namespace

class TargetFaultsQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fullDisk_data();
    void fullDisk();
    void targetCannotBeCreated_data();
    void targetCannotBeCreated();
    void targetGoneWhileWritten_data();
    void targetGoneWhileWritten();

private:
    // The window with the source open and its records marked.
    void OpenAndMark(ShownWindow& shown) const;
    // The window is back at the source, as the failure found it.
    void CheckBackAtSource(ShownWindow& shown) const;

    QTemporaryDir dir_;
    QString source_;
    QByteArray sourceBytes_;
    QByteArray reference_; // the command line's sheet for the same marks
    QString target_;
};

void TargetFaultsQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    // Another user must reach the folder.
    QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                   QFile::ExeOther));
    sourceBytes_ = Records(3000);
    source_ = MakeFile(dir_, QStringLiteral("records.dat"), sourceBytes_);
    ShownWindow shown(UiLanguage::English);
    OpenAndMark(shown);
    reference_ = CommandLineOutput(dir_, source_, FormatLayout(shown.window.Rows()));
    QVERIFY(reference_.size() > 40000);
}

void TargetFaultsQtTest::init()
{
    target_ = dir_.filePath(QStringLiteral("target.xls"));
    QFile::remove(target_);
}

void TargetFaultsQtTest::cleanup()
{
    QCOMPARE(ReadAll(source_), sourceBytes_);
}

void TargetFaultsQtTest::OpenAndMark(ShownWindow& shown) const
{
    shown.Open(source_);
    MarkAll(shown.window, kColumns);
}

void TargetFaultsQtTest::CheckBackAtSource(ShownWindow& shown) const
{
    QCOMPARE(ButtonStates(shown.window), QStringLiteral("-xxxxx"));
    QCOMPARE(shown.window.ProgressBar()->value(), 0);
    QCOMPARE(shown.window.ByteListRows()->rowCount(), 1024);
    QCOMPARE(shown.window.Rows().Markers().size(), std::size_t(kColumns.size()));
    QVERIFY(!shown.window.Task().Active());
}

void TargetFaultsQtTest::fullDisk_data()
{
    // A tmpfs counts whole pages of 4096 bytes.
    const qint64 pages = (reference_.size() + 4095) / 4096;
    QTest::addColumn<qint64>("room");
    QTest::addColumn<bool>("fullBefore");
    QTest::addColumn<bool>("noFreeFile");
    QTest::newRow("room for a tenth of the sheet") << pages / 10 * 4096 << false << false;
    QTest::newRow("one page short") << (pages - 1) * 4096 << false << false;
    QTest::newRow("full before the conversion") << qint64(65536) << true << false;
    QTest::newRow("no file can be made") << qint64(1 << 20) << false << true;
}

// Message 44 after the target was chosen; nothing of it is left, not even
// its pages. Where this system lets no test mount, a file size limit plays
// the full disk.
void TargetFaultsQtTest::fullDisk()
{
    QFETCH(qint64, room);
    QFETCH(bool, fullBefore);
    QFETCH(bool, noFreeFile);
    const QString disk = dir_.filePath(QStringLiteral("disk"));
    const std::string whyNoMounts = EnterPrivateMounts();
    std::optional<Tmpfs> tmpfs;
    std::optional<FileSizeLimit> limit;
    if (whyNoMounts.empty()) {
        const std::string options = "size=" + std::to_string(room) + (noFreeFile ? ",nr_inodes=2" : "");
        tmpfs.emplace(QFile::encodeName(disk).toStdString(), options);
        QVERIFY2(tmpfs->Mounted(), tmpfs->Error().c_str());
        if (fullBefore || noFreeFile)
            MakeFile(dir_, QStringLiteral("disk/filler"), QByteArray(fullBefore ? int(room) : 1, 'x'));
    } else {
        if (noFreeFile)
            QSKIP(qPrintable(QStringLiteral("no mounts here (%1): no file system to run out of files")
                                 .arg(QString::fromStdString(whyNoMounts))));
        QVERIFY(QDir().mkpath(disk));
    }
    const QStringList before = Names(disk);
    const std::uint64_t freeBefore = tmpfs ? tmpfs->FreeBlocks() : 0;
    const QString onDisk = disk + QStringLiteral("/out.xls");

    ShownWindow shown(UiLanguage::German);
    OpenAndMark(shown);
    shown.dialogs.saveAnswers.push_back(onDisk);
    if (noFreeFile)
        shown.dialogs.saveAnswers.push_back(target_);
    if (!tmpfs) {
        limit.emplace(fullBefore ? 0 : rlim_t(room));
        QVERIFY(limit->Set());
    }
    Press(shown.window, MainWindow::ConvertButton);
    QVERIFY(QTest::qWaitFor([&] { return shown.window.CurrentState() != MainWindow::State::Converting; }, 60000));
    limit.reset();

    if (noFreeFile) {
        // Nowhere to make the file: the dialog again, then the next target.
        QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgFileExists});
        QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(2));
        QCOMPARE(shown.window.CurrentState(), MainWindow::State::NoSource);
        QCOMPARE(ReadAll(target_), reference_);
    } else {
        QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgWriteError});
        QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxStop));
        QCOMPARE(shown.dialogs.messages[0].detail, onDisk);
        CheckBackAtSource(shown);
    }
    QCOMPARE(Names(disk), before);
    if (tmpfs)
        QCOMPARE(tmpfs->FreeBlocks(), freeBefore); // deleted, not just out of sight
}

void TargetFaultsQtTest::targetCannotBeCreated_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("asOtherUser"); // permissions, which root would pass
    QTest::addColumn<int>("inodeFlag");    // 0: none
    QTest::addColumn<QByteArray>("oldContent");

    const QString locked = dir_.filePath(QStringLiteral("locked"));
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::ExeOther);
    const QByteArray older("an older sheet that must survive");
    const QString readOnly = MakeFile(dir_, QStringLiteral("readonly.xls"), older);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QDir().mkpath(dir_.filePath(QStringLiteral("folder.xls")));
    ::mkfifo(QFile::encodeName(dir_.filePath(QStringLiteral("fifo.xls"))).constData(), 0644);
    ::symlink("/dev/null", QFile::encodeName(dir_.filePath(QStringLiteral("device.xls"))).constData());

    QTest::newRow("a folder without write permission") << locked + QStringLiteral("/out.xls") << true << 0
                                                       << QByteArray();
    QTest::newRow("an existing read-only file") << readOnly << true << 0 << older;
    QTest::newRow("an immutable file") << MakeFile(dir_, QStringLiteral("immutable.xls"), older) << false
                                       << int(FS_IMMUTABLE_FL) << older;
    QTest::newRow("an append-only file") << MakeFile(dir_, QStringLiteral("append.xls"), older) << false
                                         << int(FS_APPEND_FL) << older;
    QTest::newRow("a missing folder") << dir_.filePath(QStringLiteral("missing/out.xls")) << false << 0
                                      << QByteArray();
    QTest::newRow("a name that is too long") << dir_.filePath(QString(300, QLatin1Char('x')) + QStringLiteral(".xls"))
                                             << false << 0 << QByteArray();
    QTest::newRow("a folder") << dir_.filePath(QStringLiteral("folder.xls")) << false << 0 << QByteArray();
    QTest::newRow("a FIFO nobody reads") << dir_.filePath(QStringLiteral("fifo.xls")) << false << 0
                                         << QByteArray();
    QTest::newRow("a link to a device") << dir_.filePath(QStringLiteral("device.xls")) << false << 0
                                        << QByteArray();
}

// Message 35 and the save dialog again; the path is left as it was, and
// the next target chosen gets the sheet.
void TargetFaultsQtTest::targetCannotBeCreated()
{
    QFETCH(QString, target);
    QFETCH(bool, asOtherUser);
    QFETCH(int, inodeFlag);
    QFETCH(QByteArray, oldContent);
    if (inodeFlag != 0 && !SetInodeFlag(QFile::encodeName(target).toStdString(), inodeFlag, true))
        QSKIP("this file system has no such flag");
    const auto undoFlag = qScopeGuard([&] {
        if (inodeFlag != 0)
            SetInodeFlag(QFile::encodeName(target).toStdString(), inodeFlag, false);
    });
    const bool existed = QFileInfo(target).exists() || QFileInfo(target).isSymLink();
    const bool wasFolder = QFileInfo(target).isDir();

    ShownWindow shown(UiLanguage::English);
    OpenAndMark(shown);
    std::optional<AsOtherUser> otherUser;
    if (asOtherUser) {
        otherUser.emplace();
        if (!otherUser->Ok())
            QSKIP("cannot act as another user here");
    }
    shown.dialogs.saveAnswers = {target, target_};
    shown.dialogs.duringMessage = [&](int) { otherUser.reset(); };
    Press(shown.window, MainWindow::ConvertButton);
    otherUser.reset();
    QVERIFY(shown.WaitForState(MainWindow::State::NoSource));

    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgFileExists});
    QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxExclamation));
    QVERIFY(!shown.dialogs.messages[0].detail.isEmpty());
    QCOMPARE(shown.dialogs.saveQuestions.size(), std::size_t(2));
    QCOMPARE(ReadAll(target_), reference_);
    QCOMPARE(QFileInfo(target).exists() || QFileInfo(target).isSymLink(), existed);
    QCOMPARE(QFileInfo(target).isDir(), wasFolder);
    if (!oldContent.isEmpty())
        QCOMPARE(ReadAll(target), oldContent);
    QVERIFY(QFileInfo(QStringLiteral("/dev/null")).exists());
}

void TargetFaultsQtTest::targetGoneWhileWritten_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("the target deleted") << 0;
    QTest::newRow("its folder deleted") << 1;
    QTest::newRow("the target replaced by another file") << 2;
}

// Another program acts while the worker waits at a progress report: the
// sheet is not where the user will look for it, so the conversion failed;
// what the path names now is not the window's to delete.
void TargetFaultsQtTest::targetGoneWhileWritten()
{
    QFETCH(int, how);
    const QString folder = dir_.filePath(QStringLiteral("out"));
    const QString target = folder + QStringLiteral("/out.xls");
    QVERIFY(QDir().mkpath(folder));
    const auto removeFolder = qScopeGuard([&] { QDir(folder).removeRecursively(); });
    const QByteArray other("another program's file");

    ShownWindow shown(UiLanguage::English);
    OpenAndMark(shown);
    QVERIFY(StartHeldConversion(shown, target));
    QVERIFY(QFile::exists(target));
    switch (how) {
    case 0:
        QVERIFY(QFile::remove(target));
        break;
    case 1:
        QVERIFY(QDir(folder).removeRecursively());
        break;
    case 2:
        MakeFile(dir_, QStringLiteral("out/other"), other);
        QVERIFY(::rename(QFile::encodeName(folder + QStringLiteral("/other")).constData(),
                         QFile::encodeName(target).constData()) == 0);
        break;
    }
    shown.window.Task().HoldWorkerForTest(false);
    QVERIFY(shown.WaitForState(MainWindow::State::SourceShown));

    QCOMPARE(shown.dialogs.MessageIds(), std::vector<int>{MsgWriteError});
    QCOMPARE(shown.dialogs.messages[0].boxType, int(BoxStop));
    QCOMPARE(shown.dialogs.messages[0].detail, target);
    CheckBackAtSource(shown);
    if (how == 2)
        QCOMPARE(ReadAll(target), other);
    else
        QVERIFY(!QFileInfo::exists(target));
}

QTEST_MAIN(TargetFaultsQtTest)
#include "TargetFaultsQtTest.moc"
