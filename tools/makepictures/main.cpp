// makepictures: draws every picture of ZORBIK and writes them as PNG files.
//
// Build and run (from the repository root):
//   cmake -S . -B build-tools -DZORBIK_TOOLS=ON -DZORBIK_TESTS=OFF -DZORBIK_GUI=OFF
//   cmake --build build-tools --target makepictures
//   QT_QPA_PLATFORM=offscreen build-tools/tools/makepictures/makepictures resources
//
// The folder argument is the resources folder: it receives markers.png and
// picture107.png, help/bitmapNNN.png for the ten help pictures and
// icons/zorbik-SIZE.png for the program's icon. The
// pictures are drawn with DejaVu Sans (Debian package fonts-dejavu-core).
#include "MarkerStrip.h"
#include "Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

namespace {

struct Output {
    const char* path; // below the resources folder
    QImage (*make)();
    int width;
    int height;
};

constexpr Output kOutputs[] = {
    {"markers.png", makepictures::MakeMarkerStrip, 96, 16},
    {"picture107.png", makepictures::MakeMainPicture, 199, 341},
    {"help/bitmap105.png", makepictures::MakeHelp105, 386, 64},
    {"help/bitmap115.png", makepictures::MakeHelp115, 387, 152},
    {"help/bitmap101.png", makepictures::MakeHelp101, 474, 65},
    {"help/bitmap100.png", makepictures::MakeHelp100, 268, 99},
    {"help/bitmap119.png", makepictures::MakeHelp119, 275, 121},
    {"help/bitmap118.png", makepictures::MakeHelp118, 273, 186},
    {"help/bitmap120.png", makepictures::MakeHelp120, 284, 122},
    {"help/bitmap116.png", makepictures::MakeHelp116, 572, 259},
    {"help/bitmap121.png", makepictures::MakeHelp121, 291, 54},
    {"help/bitmap122.png", makepictures::MakeHelp122, 664, 62},
    {"icons/zorbik-16.png", [] { return makepictures::MakeIcon(16); }, 16, 16},
    {"icons/zorbik-32.png", [] { return makepictures::MakeIcon(32); }, 32, 32},
    {"icons/zorbik-48.png", [] { return makepictures::MakeIcon(48); }, 48, 48},
    {"icons/zorbik-64.png", [] { return makepictures::MakeIcon(64); }, 64, 64},
    {"icons/zorbik-128.png", [] { return makepictures::MakeIcon(128); }, 128, 128},
    {"icons/zorbik-256.png", [] { return makepictures::MakeIcon(256); }, 256, 256},
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makepictures <resources folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("help")) || !folder.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "makepictures: cannot create %s/help or %s/icons\n", argv[1], argv[1]);
        return 1;
    }
    int failures = 0;
    for (const Output& output : kOutputs) {
        const QImage image = output.make();
        const QString path = folder.filePath(QString::fromLatin1(output.path));
        if (image.width() != output.width || image.height() != output.height) {
            std::fprintf(stderr, "makepictures: %s is %d x %d, must be %d x %d\n", output.path, image.width(),
                         image.height(), output.width, output.height);
            ++failures;
            continue;
        }
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "makepictures: cannot write %s\n", path.toLocal8Bit().constData());
            ++failures;
            continue;
        }
        std::printf("%s\n", path.toLocal8Bit().constData());
    }
    return failures == 0 ? 0 : 1;
}
