// Cancel and Quit at random moments of conversions started from the
// window: while the clamp message is shown (before the worker starts),
// right after the start, after a random delay with or without the window
// serving its events, with the worker held at a progress report, and right
// at the finish. Every time: no target file left unless the conversion had
// finished before the press, no crash, no wait without a bound, and the
// window in one of its states with the buttons the state has. The moments
// come from a seeded generator; ZORBIK_STOP_SEED picks another seed.
#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <thread>

#include <QFileInfo>
#include <QProgressBar>
#include <QtTest>

#include "app/ConversionTestSupport.h"
#include "qtcommon/ResourceNames.h"
#include "layout/LayoutFile.h"

using namespace zorbik;
using namespace zorbik::testing;

namespace {

using Clock = std::chrono::steady_clock;

enum class Moment { DuringClampMessage, RightAfterStart, AfterDelayServing, AfterDelayNotServing, HeldAtReport, AtFinish };
constexpr int kMoments = 6;
const char* const kMomentNames[kMoments] = {"during the clamp message", "right after the start",
                                             "after a delay, events served", "after a delay, events not served",
                                             "at a held progress report", "right at the finish"};

// One source with its marks and the sheet the command line makes of it.
struct Source {
    QString path;
    MarkList marks;
    std::uint32_t records;
    QByteArray sheet;
};

QString StatesOf(MainWindow::State state)
{
    switch (state) {
    case MainWindow::State::NoSource:
        return QStringLiteral("x---xx");
    case MainWindow::State::SourceShown:
        return QStringLiteral("-xxxxx");
    case MainWindow::State::Converting:
        return QStringLiteral("---xxx");
    }
    return {};
}

// Whether the window's marks are still those the clicks made: a stopped
// conversion leaves them as the edge columns were rewritten.
bool MarksAsMade(const MainWindow& window, const Source& source)
{
    std::map<std::int32_t, MarkerKind> made;
    for (const QList<int>& mark : source.marks)
        made[mark[0]] = static_cast<MarkerKind>(mark[1]);
    return window.Rows().Markers() == made;
}

} // namespace

class RandomStopQtTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cancelAndQuitAtRandomMoments();

private:
    Source MakeSource(const QString& name, const QByteArray& bytes, const MarkList& marks, std::uint32_t records);
    // A shown window with `source` open and marked, made anew when needed.
    void Prepare(std::unique_ptr<ShownWindow>& shown, const Source*& open, const Source& source);

    QTemporaryDir dir_;
    QString target_;
    Source records_;
    Source small_;
    Source clamped_;
};

void RandomStopQtTest::initTestCase()
{
    InitResources();
    QVERIFY(dir_.isValid());
    target_ = dir_.filePath(QStringLiteral("target.xls"));
    // A sheet of several buffers' worth, so that it is written in parts.
    records_ = MakeSource(QStringLiteral("records.dat"), Records(10000), kColumns, 10000);
    // Fewer records than one progress step: the only report is the last.
    small_ = MakeSource(QStringLiteral("small.dat"), Records(100), kColumns, 100);
    // 65535 records: message 42 is shown before the worker starts.
    clamped_ = MakeSource(QStringLiteral("clamped.dat"), CountingBytes(2 * 65535), {{0, LB, NoType}, {1, LE, NoType}},
                          65534);
}

Source RandomStopQtTest::MakeSource(const QString& name, const QByteArray& bytes, const MarkList& marks,
                                    std::uint32_t records)
{
    Source source{MakeFile(dir_, name, bytes), marks, records, {}};
    ShownWindow shown(UiLanguage::English);
    shown.Open(source.path);
    MarkAll(shown.window, marks);
    source.sheet = CommandLineOutput(dir_, source.path, FormatLayout(shown.window.Rows()));
    if (source.sheet.size() <= 680)
        qFatal("no sheet for %s", qPrintable(name));
    return source;
}

void RandomStopQtTest::Prepare(std::unique_ptr<ShownWindow>& shown, const Source*& open, const Source& source)
{
    if (shown && !shown->window.isVisible())
        shown.reset();
    if (!shown) {
        shown = std::make_unique<ShownWindow>(UiLanguage::English);
        open = nullptr;
    }
    ScriptedDialogs& dialogs = shown->dialogs;
    if (shown->window.CurrentState() == MainWindow::State::SourceShown &&
        (open != &source || !MarksAsMade(shown->window, source))) {
        dialogs.yesNoAnswers.push_back(AnswerNo);
        Press(shown->window, MainWindow::CancelButton);
    }
    if (shown->window.CurrentState() == MainWindow::State::NoSource) {
        shown->Open(source.path);
        MarkAll(shown->window, source.marks);
        open = &source;
    }
    dialogs.messages.clear();
    dialogs.yesNoAnswers.clear();
    dialogs.saveQuestions.clear();
}

void RandomStopQtTest::cancelAndQuitAtRandomMoments()
{
    const unsigned seed = qEnvironmentVariableIsSet("ZORBIK_STOP_SEED")
                              ? static_cast<unsigned>(qEnvironmentVariableIntValue("ZORBIK_STOP_SEED"))
                              : 20240611u;
    std::mt19937 random(seed);
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };

    // How long an undisturbed conversion of the records takes here, from
    // the press to the cleared list: the delays range over it.
    std::unique_ptr<ShownWindow> shown;
    const Source* open = nullptr;
    std::vector<double> runs;
    for (int i = 0; i < 3; ++i) {
        Prepare(shown, open, records_);
        QFile::remove(target_);
        shown->dialogs.saveAnswers.push_back(target_);
        const auto start = Clock::now();
        Press(shown->window, MainWindow::ConvertButton);
        while (shown->window.CurrentState() == MainWindow::State::Converting &&
               Clock::now() - start < std::chrono::seconds(60))
            QCoreApplication::processEvents();
        QCOMPARE(shown->window.CurrentState(), MainWindow::State::NoSource);
        runs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    const double conversionUs = runs[1];

    constexpr int kRuns = 200;
    int stopped = 0;
    int finishedFirst = 0;
    int quits = 0;
    int moments[kMoments] = {};
    // Presses with the target still empty, part-written and whole.
    int targetAtPress[3] = {};
    const auto testStart = Clock::now();
    for (int run = 0; run < kRuns; ++run) {
        const auto moment = static_cast<Moment>(std::uniform_int_distribution<int>(0, kMoments - 1)(random));
        const bool quit = chance(40);
        const int answer = chance(50) ? AnswerYes : AnswerNo;
        const Source& source = moment == Moment::DuringClampMessage ? clamped_
                               : moment == Moment::HeldAtReport && chance(50) ? small_
                                                                              : records_;
        const auto delay = std::chrono::microseconds(
            static_cast<long>(std::uniform_real_distribution<double>(0, 1.3 * conversionUs)(random)));
        const QString what = QStringLiteral("run %1 (seed %2): %3 %4, answer %5")
                                 .arg(run)
                                 .arg(seed)
                                 .arg(quit ? QStringLiteral("Quit") : QStringLiteral("Cancel"))
                                 .arg(QLatin1String(kMomentNames[int(moment)]))
                                 .arg(answer == AnswerYes ? QStringLiteral("Yes") : QStringLiteral("No"));
        ++moments[int(moment)];

        Prepare(shown, open, source);
        QVERIFY2(!QFileInfo::exists(target_) || QFile::remove(target_), qPrintable(what));
        MainWindow& window = shown->window;
        ScriptedDialogs& dialogs = shown->dialogs;
        const int rowsShown = window.ByteListRows()->rowCount();
        dialogs.saveAnswers.push_back(target_);
        dialogs.yesNoAnswers.push_back(answer);

        // The press, with the state the window was in just before it.
        MainWindow::State before = MainWindow::State::Converting;
        std::size_t messagesBefore = 0;
        auto act = [&] {
            before = window.CurrentState();
            const qint64 written = QFileInfo(target_).size();
            ++targetAtPress[written == source.sheet.size() ? 2 : written > 680 ? 1 : 0];
            messagesBefore = dialogs.messages.size();
            Press(window, quit ? MainWindow::QuitButton : MainWindow::CancelButton);
        };

        if (moment == Moment::DuringClampMessage) {
            dialogs.duringMessage = [&](int messageId) {
                if (messageId == MsgTooManyLines)
                    act();
            };
        }
        if (moment == Moment::HeldAtReport)
            window.Task().HoldWorkerAtForTest(std::uniform_int_distribution<std::uint32_t>(1, source.records)(random));
        const auto start = Clock::now();
        Press(window, MainWindow::ConvertButton);
        dialogs.duringMessage = nullptr;
        switch (moment) {
        case Moment::DuringClampMessage:
            break;
        case Moment::RightAfterStart:
            act();
            break;
        case Moment::AfterDelayServing: {
            const auto until = Clock::now() + delay;
            while (Clock::now() < until)
                QCoreApplication::processEvents();
            act();
            break;
        }
        case Moment::AfterDelayNotServing:
            std::this_thread::sleep_for(delay);
            act();
            break;
        case Moment::HeldAtReport:
            while (!window.Task().WorkerHeldForTest() && Clock::now() - start < std::chrono::seconds(20))
                QCoreApplication::processEvents();
            QVERIFY2(window.Task().WorkerHeldForTest(), qPrintable(what));
            if (chance(50)) {
                window.Task().HoldWorkerAtForTest(0);
                std::this_thread::sleep_for(delay / 4);
            }
            act();
            window.Task().HoldWorkerAtForTest(0);
            break;
        case Moment::AtFinish: {
            // The whole sheet is written; its notice is on its way.
            const auto deadline = start + std::chrono::seconds(20);
            while (QFileInfo(target_).size() < source.sheet.size() && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            QVERIFY2(Clock::now() < deadline, qPrintable(what));
            std::this_thread::sleep_for(delay / 10);
            act();
            break;
        }
        }
        QVERIFY2(dialogs.saveAnswers.empty(), qPrintable(what));
        // Whatever is still queued (progress, a finish notice) comes now.
        QCoreApplication::processEvents();

        const bool wasConverting = before == MainWindow::State::Converting;
        QVERIFY2(wasConverting || before == MainWindow::State::NoSource, qPrintable(what));
        wasConverting ? ++stopped : ++finishedFirst;
        QVERIFY2(!window.Task().Active() && !window.Task().Started(), qPrintable(what));
        if (wasConverting)
            QVERIFY2(!QFileInfo::exists(target_), qPrintable(what + QStringLiteral(": a target was left")));
        else
            QVERIFY2(ReadAll(target_) == source.sheet, qPrintable(what + QStringLiteral(": the sheet is not whole")));
        QCOMPARE(window.ProgressBar()->value(), 0);

        std::vector<int> asked;
        for (std::size_t i = messagesBefore; i < dialogs.messages.size(); ++i)
            asked.push_back(dialogs.messages[i].messageId);
        if (quit) {
            ++quits;
            QVERIFY2(!window.isVisible(), qPrintable(what));
            QVERIFY2(asked.empty(), qPrintable(what));
            continue;
        }
        QVERIFY2(window.isVisible(), qPrintable(what));
        if (wasConverting) {
            QVERIFY2(asked == std::vector<int>{MsgKeepSource}, qPrintable(what));
            const MainWindow::State after = answer == AnswerYes ? MainWindow::State::SourceShown
                                                                : MainWindow::State::NoSource;
            QVERIFY2(window.CurrentState() == after, qPrintable(what));
            QCOMPARE(window.ByteListRows()->rowCount(), answer == AnswerYes ? rowsShown : 0);
            QCOMPARE(window.Rows().Markers().size(), answer == AnswerYes ? std::size_t(source.marks.size()) : 0u);
        } else {
            // Cancel was off: the conversion had ended and cleared the list.
            QVERIFY2(asked.empty(), qPrintable(what));
            QVERIFY2(window.CurrentState() == MainWindow::State::NoSource, qPrintable(what));
        }
        QCOMPARE(ButtonStates(window), StatesOf(window.CurrentState()));
        if (window.CurrentState() == MainWindow::State::NoSource)
            QCOMPARE(window.ByteListRows()->rowCount(), 0);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - testStart).count();
    QString perMoment;
    for (int i = 0; i < kMoments; ++i)
        perMoment += QStringLiteral("%1%2 %3").arg(i ? QStringLiteral(", ") : QString()).arg(moments[i]).arg(
            QLatin1String(kMomentNames[i]));
    qInfo("seed %u: %d presses (%d Quit) in %.2f s; %d stopped a conversion, %d came after it had finished; "
          "the target was empty at %d presses, part-written at %d, whole at %d; a conversion takes %.0f us here; "
          "moments: %s",
          seed, kRuns, quits, seconds, stopped, finishedFirst, targetAtPress[0], targetAtPress[1],
          targetAtPress[2], conversionUs, qPrintable(perMoment));
}

QTEST_MAIN(RandomStopQtTest)
#include "RandomStopQtTest.moc"
