// zorbik-convert with sources that are no usable file (no permission, a
// FIFO, a device, a socket, a link loop, a file of no size): the import-file
// message and nothing else, exit 2, no target, no hang; and sources that
// another program cuts, rewrites or replaces while they are converted: no
// crash, and either a failure that leaves no target or a sheet of bytes the
// source really held.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <random>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "ConvertCommand.h"
#include "support/ChildProcess.h"
#include "support/HookedConvert.h"
#include "support/SheetReader.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;
namespace fs = std::filesystem;

constexpr const char* kImportError = "zorbik-convert: Import file-error\n";

std::vector<std::uint8_t> Records(int count, int length, int seed)
{
    std::vector<std::uint8_t> bytes;
    for (int k = 0; k < count; ++k)
        for (int i = 0; i < length; ++i)
            bytes.push_back(static_cast<std::uint8_t>(k * seed + i * 29 + k / 251));
    return bytes;
}

class SourceFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::permissions(dir.Path(), fs::perms(0755));
        fs::copy_file(ZORBIK_CONVERT_EXE, program);
        fs::permissions(program, fs::perms(0755));
        WriteFile(layoutPath, std::string("0 LineBegin\n1 ColumnBegin BinInteger\n4 ColumnEnd\n5 ColumnBegin Text\n"
                                          "20 ColumnEnd\n127 LineEnd\n"));
    }

    TempDir dir;
    std::string program = dir / "zorbik-convert";
    std::string layoutPath = dir / "layout.txt";
    std::string targetPath = dir / "out.xls";
};

TEST_F(SourceFaults, AnUnusableSourceGivesTheImportMessageAndNothingElse)
{
    // A folder only its owner may enter, with a file in it.
    fs::create_directory(dir / "private");
    WriteFile(dir / "private/data.dat", Records(4, 128, 3));
    fs::permissions(dir / "private", fs::perms(0700));
    WriteFile(dir / "secret.dat", Records(4, 128, 5));
    fs::permissions(dir / "secret.dat", fs::perms(0600));
    ::mkfifo((dir / "fifo").c_str(), 0644);
    ::symlink((dir / "loop-a").c_str(), (dir / "loop-b").c_str());
    ::symlink((dir / "loop-b").c_str(), (dir / "loop-a").c_str());
    ::symlink((dir / "gone").c_str(), (dir / "dangling").c_str());
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "socket";
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    const bool haveSocket = ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;

    struct Row {
        std::string source;
        bool asOtherUser; // permissions that root would pass
    };
    std::vector<Row> rows = {
        {dir / "secret.dat", true}, {dir / "private/data.dat", true}, {dir / "fifo", false},
        {"/dev/zero", false},        {"/dev/null", false},             {dir / "loop-a", false},
        {dir / "dangling", false},   {"/proc/self/status", false},
    };
    if (haveSocket)
        rows.push_back({socketPath, false});
    const bool otherUser = CanRunAsNobody();
    if (!otherUser && ::geteuid() == 0)
        std::cout << "[ NOTE     ] running as root without another user: permission rows pass trivially\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source);
        ChildOptions options;
        options.timeoutSeconds = 30;
        options.asNobody = row.asOtherUser && otherUser;
        const ChildResult run =
            RunChild({program, "--lang", "en", "--layout", layoutPath, row.source, targetPath}, options);
        ASSERT_TRUE(run.exited) << "signal " << run.signal << (run.timedOut ? " (hung)" : "");
        EXPECT_EQ(run.code, ExitUsage) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        // The message, then one indented line with the reason.
        EXPECT_EQ(run.err.rfind(kImportError, 0), 0u) << run.err;
        const std::string reason = run.err.substr(std::min(run.err.size(), std::strlen(kImportError)));
        EXPECT_EQ(reason.rfind("  ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(reason.begin(), reason.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(fs::exists(targetPath));
    }
    ::close(sock);
}

// Another program acts on the source at the first progress report, while
// the record loop runs. Reads go through the file, never a mapping, so
// nothing can bring the process down; a cut source fails the conversion
// once a read comes up short, and what was read before is never mixed with
// made-up bytes.
TEST_F(SourceFaults, ASourceChangedDuringTheConversionNeverCrashesIt)
{
    const std::string sourcePath = dir / "source.dat";
    const auto original = Records(65534, 128, 7);
    const auto other = Records(65534, 128, 11);
    WriteFile(sourcePath, original);
    ASSERT_EQ(ConvertWithHook({"--layout", layoutPath, sourcePath, dir / "a.xls"}, [] {}).code, ExitOk);
    WriteFile(sourcePath, other);
    ASSERT_EQ(ConvertWithHook({"--layout", layoutPath, sourcePath, dir / "b.xls"}, [] {}).code, ExitOk);
    const Sheet sheetA = ReadSheet(ReadFile(dir / "a.xls"));
    const Sheet sheetB = ReadSheet(ReadFile(dir / "b.xls"));

    struct Row {
        const char* what;
        std::function<void()> act;
        bool mayMix; // the cells may come from either content
    };
    const std::vector<Row> rows = {
        {"cut to half", [&] { fs::resize_file(sourcePath, original.size() / 2); }, false},
        {"cut to nothing", [&] { fs::resize_file(sourcePath, 0); }, false},
        {"cut inside the last record", [&] { fs::resize_file(sourcePath, original.size() - 5); }, false},
        {"grown", [&] { fs::resize_file(sourcePath, original.size() * 2); }, false},
        {"rewritten in place",
         [&] {
             std::FILE* f = std::fopen(sourcePath.c_str(), "r+b");
             std::fwrite(other.data(), 1, other.size(), f);
             std::fclose(f);
         },
         true},
        {"replaced by another file",
         [&] {
             WriteFile(dir / "new.dat", other);
             fs::rename(dir / "new.dat", sourcePath);
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WriteFile(sourcePath, original);
        fs::remove(targetPath);
        const HookedRun run = ConvertWithHook({"--layout", layoutPath, sourcePath, targetPath}, row.act);
        ASSERT_TRUE(run.hookRan);
        std::cout << "[ NOTE     ] source " << row.what << ": exit " << run.code << "\n";
        if (run.code == ExitWriteFailed) {
            EXPECT_EQ(run.err.rfind(kImportError, 0), 0u) << run.err;
            EXPECT_NE(run.err.find("could not be read to the end"), std::string::npos) << run.err;
            EXPECT_FALSE(fs::exists(targetPath));
            continue;
        }
        ASSERT_EQ(run.code, ExitOk) << run.err;
        const Sheet sheet = ReadSheet(ReadFile(targetPath));
        ASSERT_TRUE(sheet.wellFormed) << sheet.error;
        ASSERT_EQ(sheet.cells.size(), sheetA.cells.size());
        for (std::size_t i = 0; i < sheet.cells.size(); ++i) {
            const Cell& c = sheet.cells[i];
            auto same = [&c](const Cell& d) {
                return c.kind == d.kind && c.text == d.text && c.integer == d.integer && c.bits == d.bits;
            };
            if (!same(sheetA.cells[i]) && !(row.mayMix && same(sheetB.cells[i]))) {
                ADD_FAILURE() << "cell " << i << " holds bytes the source never had";
                break;
            }
        }
    }
}

// A real second process cuts and rewrites the source as fast as it can
// while the program converts it again and again.
TEST_F(SourceFaults, AnotherProcessCuttingTheSourceNeverCrashesTheProgram)
{
    const std::string sourcePath = dir / "source.dat";
    const auto original = Records(8000, 128, 7);
    WriteFile(sourcePath, original);
    const pid_t vandal = ::fork();
    ASSERT_GE(vandal, 0);
    if (vandal == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the test
        std::mt19937 random(7);
        const int fd = ::open(sourcePath.c_str(), O_WRONLY);
        for (;;) {
            // Cut somewhere, wait, put the whole content back, wait.
            if (::ftruncate(fd, static_cast<off_t>(random() % (original.size() + 1))) != 0)
                ::_exit(1);
            ::usleep(static_cast<useconds_t>(random() % 3000));
            if (::pwrite(fd, original.data(), original.size(), 0) < 0)
                ::_exit(1);
            ::usleep(static_cast<useconds_t>(random() % 3000));
        }
    }
    // Ends the other process however this test ends.
    struct Reaper {
        pid_t pid;
        ~Reaper()
        {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } reaper{vandal};
    std::map<int, int> codes;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        fs::remove(targetPath);
        ChildOptions options;
        options.timeoutSeconds = 60;
        const ChildResult run =
            RunChild({program, "--lang", "en", "--layout", layoutPath, sourcePath, targetPath}, options);
        ASSERT_TRUE(run.exited) << "signal " << run.signal << (run.timedOut ? " (hung)" : "") << "\n" << run.err;
        ++codes[run.code];
        // 2: the source was empty or too short for the layout when opened.
        EXPECT_TRUE(run.code == ExitOk || run.code == ExitUsage || run.code == ExitWriteFailed) << run.err;
        if (run.code == ExitOk) {
            EXPECT_TRUE(ReadSheet(ReadFile(targetPath)).wellFormed);
        } else {
            EXPECT_FALSE(fs::exists(targetPath)) << run.err;
        }
    }
    for (const auto& [code, count] : codes)
        std::cout << "[ NOTE     ] exit " << code << ": " << count << " of 40 runs\n";
}

} // namespace
} // namespace zorbik
