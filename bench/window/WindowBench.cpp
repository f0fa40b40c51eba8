// Timings of the window, each the median of its runs (first argument, 9):
// - Open of a 2 GiB source up to its first page painted;
// - More bytes with the new page scrolled into sight and painted, at page 2
//   and at page 1000 (the cost must not grow with the rows shown);
// - 20000 records of 64 bytes with eight columns converted through the
//   window's task and by the bare core (the progress reports must cost the
//   conversion nothing one could measure).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include "app/ByteListModel.h"
#include "app/ByteListView.h"
#include "app/MainWindow.h"
#include "app/UserDialogs.h"
#include "convert/PrepareConversion.h"
#include "qtcommon/ResourceNames.h"

using namespace zorbik;
using Clock = std::chrono::steady_clock;

namespace {

// Opens the one path given; asks nothing else.
class OpenOnly : public UserDialogs {
public:
    explicit OpenOnly(QString path) : path_(std::move(path)) {}
    std::optional<QString> AskOpenPath(const QString&, const FileFilter&, const QString&) override { return path_; }
    std::optional<QString> AskSavePath(const QString&, const FileFilter&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    BoxAnswer ShowMessage(MessageId, const QString&) override { return BoxAnswer::No; }

private:
    QString path_;
};

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double OpenHugeSource(const QString& path)
{
    OpenOnly dialogs(path);
    MainWindow window(UiLanguage::English, dialogs);
    window.SetUp();
    window.show();
    QApplication::processEvents();
    const auto start = Clock::now();
    window.OpenCommand();
    QApplication::processEvents();
    window.findChild<ByteListView*>()->viewport()->repaint();
    const double ms = MsSince(start);
    window.QuitCommand();
    return ms;
}

void MoreBytes(const QString& path, int runs)
{
    OpenOnly dialogs(path);
    MainWindow window(UiLanguage::English, dialogs);
    window.SetUp();
    window.show();
    window.OpenCommand();
    const auto press = [&] {
        const auto start = Clock::now();
        const int firstNew = static_cast<ByteListModel*>(window.findChild<ByteListView*>()->model())->rowCount();
        window.MoreBytesCommand();
        window.findChild<ByteListView*>()->ShowRow(firstNew);
        QApplication::processEvents();
        window.findChild<ByteListView*>()->viewport()->repaint();
        return MsSince(start);
    };
    std::vector<double> early;
    std::vector<double> late;
    for (int i = 0; i < runs; ++i)
        early.push_back(press());
    while (static_cast<ByteListModel*>(window.findChild<ByteListView*>()->model())->rowCount() < 999 * 1024)
        static_cast<ByteListModel*>(window.findChild<ByteListView*>()->model())->ShowNextPage();
    QApplication::processEvents();
    for (int i = 0; i < runs; ++i)
        late.push_back(press());
    window.QuitCommand();
    std::printf("More bytes, new page painted: %.2f ms at page 2, %.2f ms at page 1000\n", Median(early),
                Median(late));
}

void Conversions(const QTemporaryDir& dir, int runs)
{
    constexpr int kHeader = 128;
    constexpr int kRecord = 64;
    constexpr int kRecords = 20000;
    QByteArray bytes(kHeader + kRecord * kRecords, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((static_cast<quint32>(i) * 7919u) >> 3);
    const QString path = dir.filePath(QStringLiteral("records.dat"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::exit(1);
    file.close();
    SourceView source;
    if (!source.Open(QFile::encodeName(path).toStdString()))
        std::exit(1);

    struct Column {
        int first, last;
        FieldType type;
    };
    const Column columns[] = {{0, 19, FieldType::Text},     {20, 21, FieldType::BinInteger},
                              {22, 25, FieldType::BinInteger}, {26, 29, FieldType::BinReal},
                              {30, 37, FieldType::BinReal},    {38, 47, FieldType::DecimalNumber},
                              {48, 57, FieldType::Bcd},        {58, 61, FieldType::Text}};
    Marks marks;
    marks.SetMarker(kHeader, MarkerKind::LineBegin);
    for (const Column& c : columns) {
        marks.SetMarker(kHeader + 1 + c.first, MarkerKind::ColumnBegin);
        marks.SetFieldType(kHeader + 1 + c.first, c.type);
        marks.SetMarker(kHeader + 1 + c.last, MarkerKind::ColumnEnd);
    }
    marks.SetMarker(kHeader + kRecord - 1, MarkerKind::LineEnd);
    const PreparedConversion prepared = PrepareConversion(marks, source.Size());
    if (prepared.fault)
        std::exit(1);

    const std::string target = QFile::encodeName(dir.filePath(QStringLiteral("out.xls"))).toStdString();
    std::vector<double> bare;
    std::vector<double> task;
    int reports = 0;
    for (int run = 0; run < runs; ++run) {
        Conversion conversion;
        conversion.OpenTarget(target, NativeFile::Create::OpenAlways, source);
        auto start = Clock::now();
        conversion.RunHere(source, prepared.layout, prepared.plan, nullptr);
        bare.push_back(MsSince(start));

        ConversionTask windowTask;
        windowTask.OpenTarget(target, source);
        QEventLoop loop;
        reports = 0;
        QObject::connect(&windowTask, &ConversionTask::Progress, [&] { ++reports; });
        QObject::connect(&windowTask, &ConversionTask::Finished, &loop, &QEventLoop::quit);
        start = Clock::now();
        windowTask.Start(source, prepared.layout, prepared.plan);
        loop.exec();
        windowTask.Finish();
        task.push_back(MsSince(start));
    }
    std::printf("%d records: %.1f ms bare, %.1f ms through the window's task (%d progress reports)\n", kRecords,
                Median(bare), Median(task), reports);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitResources();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    QTemporaryDir dir;
    const QString huge = dir.filePath(QStringLiteral("huge.dat"));
    QFile file(huge);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || !file.resize(qint64(2) << 30))
        return 1; // sparse: no disk space taken
    file.close();

    std::vector<double> opens;
    for (int i = 0; i < runs; ++i)
        opens.push_back(OpenHugeSource(huge));
    std::printf("2 GiB source: first page painted %.1f ms after Open\n", Median(opens));
    MoreBytes(huge, runs);
    Conversions(dir, runs);
    return 0;
}
