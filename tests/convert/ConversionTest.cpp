#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

#ifndef _WIN32 // FIFOs and the file size limit that plays the full disk are Linux's
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "convert/Conversion.h"
#include "convert/PrepareConversion.h"
#include "support/ReferenceSheet.h"
#include "support/TempDir.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;
namespace fs = std::filesystem;
using K = FileFailure::Kind;

// The formats this build writes.
std::vector<TargetFormat> Formats()
{
    std::vector<TargetFormat> formats;
    for (const TargetFormat format : {TargetFormat::Xls, TargetFormat::Xlsx, TargetFormat::Csv, TargetFormat::Sqlite})
        if (FormatBuilt(format))
            formats.push_back(format);
    return formats;
}

// Whether `bytes` are a whole file of `format` made from the test's source:
// for .xls the reference sheet itself; for the others their first bytes and
// a size for 65534 rows (what each holds is read back by other programs in
// the peer tests).
bool IsWritten(TargetFormat format, const std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& sheet)
{
    const char* const starts[] = {"", "PK\x03\x04", "A,B\r\n", "SQLite format 3"};
    const std::string text(bytes.begin(), bytes.end());
    return format == TargetFormat::Xls ? bytes == sheet
                                       : text.starts_with(starts[static_cast<int>(format)]) && bytes.size() > 65534 * 4;
}

// What the target is before the conversion (an existing file, a FIFO, the
// source through a link), and what another program does while the worker writes it
// (delete or replace it, cut the source) or the disk filling up, for every
// format: the target is the whole file or gone, another program's file
// stays, the source too, and nothing is left beside them.
TEST(Conversion, TheTargetIsCompleteOrGoneAndNeverTheSource)
{
    TempDir dir;
    const std::string source = dir / "source.bin";
    std::vector<std::uint8_t> bytes(8 * 65534);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 8);
    const std::vector<std::uint8_t> other = {'o', 't', 'h', 'e', 'r'};
#ifndef _WIN32
    rlimit unlimited{};
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    const auto fillDisk = [&] {
        const rlimit full{4096, unlimited.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &full);
    };
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    for (const TargetFormat format : Formats()) {
        const std::string target = dir / ("out/out." + std::string(FormatWord(format)));
        const PreparedConversion p =
            PrepareConversion(MakeStore({{0, LB}, {1, CB, TX}, {4, CE}, {7, LE, BI}}), 8 * 65534, {}, format);
        const std::vector<std::uint8_t> sheet = ReferenceSheet(bytes, p.layout, p.plan);
        const auto none = [] {};
        const auto replace = [&] { // moved away first: Windows does not replace a file that is open
            WriteFile(dir / "other", other);
            fs::rename(target, dir / "moved");
            fs::rename(dir / "other", target);
        };
        const auto NEW = NativeFile::Create::CreateNew, ANY = NativeFile::Create::OpenAlways;
        enum After { Nothing, Written, Other, Source };
        const struct {
            const char* what;
            std::function<void()> before, midway;
            NativeFile::Create mode;
            std::string path;
            FileFailure::Kind opened;
            ConversionStatus status;
            After after;
        } rows[] = {
            {"a new file", none, none, NEW, target, K::None, ConversionStatus::Finished, Written},
            {"a longer file replaced", [&] { WriteFile(target, std::vector<std::uint8_t>(sheet.size() + 9, 1)); },
             none, ANY, target, K::None, ConversionStatus::Finished, Written},
            {"an existing file", [&] { WriteFile(target, other); }, none, NEW, target, K::Exists, {}, Other},
            {"a missing folder", [&] { fs::remove(dir / "out"); }, none, ANY, target, K::CannotCreate, {}, Nothing},
#ifndef _WIN32
            {"a FIFO, without waiting for a reader", [&] { ::mkfifo(target.c_str(), 0600); }, none, ANY, target,
             K::CannotCreate, {}, Nothing},
            {"the disk full", none, fillDisk, NEW, target, K::None, ConversionStatus::WriteFailed, Nothing},
#endif
            {"the source", none, none, ANY, source, K::IsSource, {}, Source},
            {"a hard link to the source", [&] { fs::create_hard_link(source, target); }, none, ANY, target,
             K::IsSource, {}, Source},
            {"deleted while written", none, [&] { fs::remove(target); }, NEW, target, K::None,
             ConversionStatus::WriteFailed, Nothing},
            {"replaced while written", none, replace, NEW, target, K::None, ConversionStatus::WriteFailed, Other},
            {"the source cut", none, [&] { fs::resize_file(source, 1000); }, NEW, target, K::None,
             ConversionStatus::ReadFailed, Nothing},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(FormatWord(format)) + ": " + row.what);
            fs::remove_all(dir / "out");
            fs::create_directory(dir / "out");
            WriteFile(source, bytes);
            row.before();
            SourceView view;
            ASSERT_TRUE(view.Open(source));
            Conversion conversion;
            TargetOptions options;
            options.format = format;
            ASSERT_EQ(conversion.OpenTarget(row.path, row.mode, view, options).kind, row.opened);
            EXPECT_EQ(conversion.HasTarget(), row.opened == K::None);
            if (conversion.HasTarget()) {
                std::uint64_t lastReport = 0;
                int doneCalls = 0;
                const auto progress = [&](std::uint64_t done) {
                    if (std::exchange(lastReport, done) == 0)
                        row.midway();
                };
                conversion.Start(view, p.layout, p.plan, progress, [&](const ConversionOutcome&) { ++doneCalls; });
                const ConversionOutcome outcome = conversion.Finish();
#ifndef _WIN32
                ::setrlimit(RLIMIT_FSIZE, &unlimited);
#endif
                EXPECT_EQ(outcome.status, row.status);
                EXPECT_EQ(doneCalls, 1);
                EXPECT_TRUE(row.status != ConversionStatus::Finished || lastReport == 65534) << lastReport;
                EXPECT_FALSE(conversion.HasTarget());
            }
            const bool file = fs::is_regular_file(row.path);
            EXPECT_EQ(file, row.after != Nothing);
            const std::vector<std::uint8_t> after = file ? ReadFile(row.path) : std::vector<std::uint8_t>();
            EXPECT_TRUE(row.after != Written || IsWritten(format, after, sheet));
            EXPECT_TRUE(row.after != Other || after == other);
            EXPECT_TRUE(row.after != Source || after == bytes);
            if (fs::exists(dir / "out")) {
                for (const auto& entry : fs::directory_iterator(dir / "out"))
                    EXPECT_EQ(entry.path().filename(), fs::path(target).filename()) << "nothing beside the target";
            }
            fs::remove(dir / "moved");
        }
    }
}

// The worker waits at its report of `records` until the stop is under way.
TEST(Conversion, AStopEndsTheWorkerAndDeletesTheTargetWhereverItIs)
{
    TempDir dir;
    WriteFile(dir / "source.bin", std::vector<std::uint8_t>(8 * 65534, 'z'));
    SourceView view;
    ASSERT_TRUE(view.Open(dir / "source.bin"));
    for (const TargetFormat format : Formats())
    for (const std::uint32_t records : {0u, 1u, 256u, 5120u}) { // 0: before a worker started; 1: at once
        const PreparedConversion p =
            PrepareConversion(MakeStore({{0, LB}, {1, CB, TX}, {4, CE}, {7, LE}}), view.Size(), {}, format);
        const std::string target = dir / ("out/out." + std::string(FormatWord(format)));
        fs::create_directory(dir / "out");
        Conversion conversion;
        TargetOptions options;
        options.format = format;
        ASSERT_EQ(conversion.OpenTarget(target, NativeFile::Create::OpenAlways, view, options).kind, K::None);
        std::atomic<bool> reached{records < 256}, stopping{false};
        ConversionStatus status = ConversionStatus::Stopped;
        const auto progress = [&](std::uint64_t done) {
            reached = reached || done == records;
            while (done == records && !stopping)
                std::this_thread::yield();
            if (done > records)
                std::this_thread::yield(); // leave the stop time to arrive
        };
        if (records > 0)
            conversion.Start(view, p.layout, p.plan, progress, [&](const ConversionOutcome& o) { status = o.status; });
        while (!reached)
            std::this_thread::yield();
        stopping = true;
        conversion.Stop();
        EXPECT_FALSE(fs::exists(target) || conversion.HasTarget() || conversion.Running()) << records;
        EXPECT_TRUE(fs::is_empty(dir / "out")) << "nothing beside the target";
        EXPECT_TRUE(records == 1 || status == ConversionStatus::Stopped) << FormatWord(format) << records;
    }
}

#ifndef _WIN32 // a sparse file
// Records past 4 GiB are counted and read with offsets of 64 bits: every
// record of a source of 4 GiB and 2 MiB arrives, each from its place.
TEST(Conversion, ASourceOf4GiBAndMoreConvertsWhole)
{
    TempDir dir;
    const std::string source = dir / "big.bin", target = dir / "big.csv";
    constexpr std::uint64_t kLength = 1 << 20;
    WriteFile(source, std::string("\0ab", 3));
    fs::resize_file(source, (4ull << 30) + 2 * kLength);
    {
        std::fstream file(source, std::ios::in | std::ios::out | std::ios::binary);
        for (const auto& [record, text] : {std::pair{4096ull, "yz"}, std::pair{4097ull, "zz"}}) {
            file.seekp(static_cast<std::streamoff>(record * kLength + 1));
            file.write(text, 2);
        }
    }
    SourceView view;
    ASSERT_TRUE(view.Open(source));
    const PreparedConversion p = PrepareConversion(
        MakeStore({{0, LB}, {1, CB, TX}, {2, CE}, {static_cast<std::int32_t>(kLength) - 1, LE}}), view.Size(), {},
        TargetFormat::Csv);
    ASSERT_EQ(p.layout.recordCount, 4098u);
    Conversion conversion;
    TargetOptions csv;
    csv.format = TargetFormat::Csv;
    ASSERT_EQ(conversion.OpenTarget(target, NativeFile::Create::CreateNew, view, csv).kind, K::None);
    const ConversionOutcome outcome = conversion.RunHere(view, p.layout, p.plan, {});
    EXPECT_EQ(outcome.status, ConversionStatus::Finished);
    EXPECT_EQ(outcome.recordsDone, 4098u);
    std::string expected = "A\r\nab\r\n";
    for (int k = 1; k < 4096; ++k)
        expected += "\r\n"; // zero bytes: empty texts
    const std::vector<std::uint8_t> written = ReadFile(target);
    EXPECT_TRUE(std::string(written.begin(), written.end()) == expected + "yz\r\nzz\r\n");
}
#endif

// Running out of memory on the worker is a failed conversion, not the end
// of the program, and leaves no target.
TEST(Conversion, AThrowOnTheWorkerIsAFailedConversion)
{
    struct Throwing : SourceBytes {
        std::uint64_t Size() const override { return 64; }
        std::int64_t ReadAt(std::uint64_t, void*, std::size_t) const override { throw std::bad_alloc(); }
    } throwing;
    TempDir dir;
    WriteFile(dir / "source.bin", std::vector<std::uint8_t>(64, 'z'));
    SourceView view;
    ASSERT_TRUE(view.Open(dir / "source.bin"));
    const PreparedConversion p = PrepareConversion(MakeStore({{0, LB}, {7, LE}}), 64);
    fs::create_directory(dir / "out");
    for (const TargetFormat format : Formats())
    for (const bool onThread : {false, true}) {
        Conversion conversion;
        TargetOptions options;
        options.format = format;
        const std::string target = dir / ("out/out." + std::string(FormatWord(format)));
        ASSERT_EQ(conversion.OpenTarget(target, NativeFile::Create::OpenAlways, view, options).kind, K::None);
        if (onThread)
            conversion.Start(throwing, p.layout, p.plan, {}, {});
        const ConversionOutcome outcome = onThread ? conversion.Finish() : conversion.RunHere(throwing, p.layout, p.plan, {});
        EXPECT_EQ(outcome.status, ConversionStatus::WriteFailed);
        EXPECT_TRUE(fs::is_empty(dir / "out")) << FormatWord(format);
    }
}

} // namespace
} // namespace zorbik
