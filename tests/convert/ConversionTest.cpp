#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
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

// What the target is before the conversion (an existing file, a FIFO, the
// source through a link), and what another program does while the worker writes it
// (delete or replace it, cut the source) or the disk filling up: the target
// is the whole sheet or gone, another program's file stays, the source too.
TEST(Conversion, TheTargetIsCompleteOrGoneAndNeverTheSource)
{
    TempDir dir;
    const std::string source = dir / "source.bin", target = dir / "out/out.xls";
    std::vector<std::uint8_t> bytes(8 * 65534);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 8);
    const PreparedConversion p = PrepareConversion(MakeStore({{0, LB}, {1, CB, TX}, {4, CE}, {7, LE, BI}}), 8 * 65534);
    const std::vector<std::uint8_t> sheet = ReferenceSheet(bytes, p.layout, p.plan), other = {'o', 't', 'h', 'e', 'r'};
#ifndef _WIN32
    rlimit unlimited{};
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    const auto fillDisk = [&] {
        const rlimit full{4096, unlimited.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &full);
    };
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const auto none = [] {};
    const auto replace = [&] { // moved away first: Windows does not replace a file that is open
        WriteFile(dir / "other", other);
        fs::rename(target, dir / "moved");
        fs::rename(dir / "other", target);
    };
    const auto NEW = NativeFile::Create::CreateNew, ANY = NativeFile::Create::OpenAlways;
    const struct {
        const char* what;
        std::function<void()> before, midway;
        NativeFile::Create mode;
        std::string path;
        FileFailure::Kind opened;
        ConversionStatus status;
        std::vector<std::uint8_t> after; // empty: no file at the path
    } rows[] = {
        {"a new file", none, none, NEW, target, K::None, ConversionStatus::Finished, sheet},
        {"a longer file cut to the sheet", [&] { WriteFile(target, std::vector<std::uint8_t>(sheet.size() + 9, 1)); },
         none, ANY, target, K::None, ConversionStatus::Finished, sheet},
        {"an existing file", [&] { WriteFile(target, other); }, none, NEW, target, K::Exists, {}, other},
        {"a missing folder", [&] { fs::remove(dir / "out"); }, none, ANY, target, K::CannotCreate, {}, {}},
#ifndef _WIN32
        {"a FIFO, without waiting for a reader", [&] { ::mkfifo(target.c_str(), 0600); }, none, ANY, target,
         K::CannotCreate, {}, {}},
        {"the disk full", none, fillDisk, NEW, target, K::None, ConversionStatus::WriteFailed, {}},
#endif
        {"the source", none, none, ANY, source, K::IsSource, {}, bytes},
        {"a hard link to the source", [&] { fs::create_hard_link(source, target); }, none, ANY, target,
         K::IsSource, {}, bytes},
        {"deleted while written", none, [&] { fs::remove(target); }, NEW, target, K::None,
         ConversionStatus::WriteFailed, {}},
        {"replaced while written", none, replace, NEW, target, K::None, ConversionStatus::WriteFailed, other},
        {"the source cut", none, [&] { fs::resize_file(source, 1000); }, NEW, target, K::None,
         ConversionStatus::ReadFailed, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(dir / "out");
        fs::create_directory(dir / "out");
        WriteFile(source, bytes);
        row.before();
        SourceView view;
        ASSERT_TRUE(view.Open(source));
        Conversion conversion;
        ASSERT_EQ(conversion.OpenTarget(row.path, row.mode, view).kind, row.opened);
        EXPECT_EQ(conversion.HasTarget(), row.opened == K::None);
        if (conversion.HasTarget()) {
            std::uint32_t lastReport = 0;
            int doneCalls = 0;
            const auto progress = [&](std::uint32_t done) {
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
        EXPECT_EQ(file, !row.after.empty());
        EXPECT_TRUE(!file || ReadFile(row.path) == row.after);
    }
}

// The worker waits at its report of `records` until the stop is under way.
TEST(Conversion, AStopEndsTheWorkerAndDeletesTheTargetWhereverItIs)
{
    TempDir dir;
    WriteFile(dir / "source.bin", std::vector<std::uint8_t>(8 * 65534, 'z'));
    SourceView view;
    ASSERT_TRUE(view.Open(dir / "source.bin"));
    const PreparedConversion p = PrepareConversion(MakeStore({{0, LB}, {1, CB, TX}, {4, CE}, {7, LE}}), view.Size());
    for (const std::uint32_t records : {0u, 1u, 256u, 5120u}) { // 0: before a worker started; 1: at once
        Conversion conversion;
        ASSERT_EQ(conversion.OpenTarget(dir / "out.xls", NativeFile::Create::OpenAlways, view).kind, K::None);
        std::atomic<bool> reached{records < 256}, stopping{false};
        ConversionStatus status = ConversionStatus::Stopped;
        const auto progress = [&](std::uint32_t done) {
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
        EXPECT_FALSE(fs::exists(dir / "out.xls") || conversion.HasTarget() || conversion.Running()) << records;
        EXPECT_TRUE(records == 1 || status == ConversionStatus::Stopped) << records;
    }
}

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
    for (const bool onThread : {false, true}) {
        Conversion conversion;
        ASSERT_EQ(conversion.OpenTarget(dir / "out.xls", NativeFile::Create::OpenAlways, view).kind, K::None);
        if (onThread)
            conversion.Start(throwing, p.layout, p.plan, {}, {});
        const ConversionOutcome outcome = onThread ? conversion.Finish() : conversion.RunHere(throwing, p.layout, p.plan, {});
        EXPECT_EQ(outcome.status, ConversionStatus::WriteFailed);
        EXPECT_FALSE(fs::exists(dir / "out.xls"));
    }
}

} // namespace
} // namespace zorbik
