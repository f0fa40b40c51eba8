// zorbik-convert when the target fails it: a disk that fills up (a small
// tmpfs in a mount namespace of this test's own), a folder or file it may
// not write, a target that is no file, and a target that another program
// deletes or replaces while it is written. Every time: a message, exit 3
// (or exit 2 where the target cannot be created), no partial file left and
// the source untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>

#include <linux/fs.h>
#include <sys/stat.h>

#include "ConvertCommand.h"
#include "support/Checksum.h"
#include "support/ChildProcess.h"
#include "support/HookedConvert.h"
#include "support/InodeFlags.h"
#include "support/PrivateMounts.h"
#include "support/SheetReader.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;
namespace fs = std::filesystem;

constexpr const char* kWriteError = "zorbik-convert: Error on writing target file!\n";
constexpr const char* kCannotCreate = "zorbik-convert: File exsists!\n";

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ConvertFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Another user must reach the folder and the program.
        fs::permissions(dir.Path(), fs::perms(0755));
        fs::copy_file(ZORBIK_CONVERT_EXE, program);
        fs::permissions(program, fs::perms(0755));
        std::vector<std::uint8_t> source;
        for (int k = 0; k < 20000; ++k)
            for (int i = 0; i < 16; ++i)
                source.push_back(static_cast<std::uint8_t>(k * 7 + i * 13));
        WriteFile(sourcePath, source);
        sourceSum = Checksum(source);
        WriteFile(layoutPath, std::string("0 LineBegin BinInteger\n2 ColumnBegin Text\n13 ColumnEnd\n15 LineEnd\n"));
        const ChildResult reference = Run(dir / "reference.xls");
        ASSERT_EQ(reference.code, ExitOk) << reference.err;
        referenceBytes = ReadFile(dir / "reference.xls");
        fs::remove(dir / "reference.xls");
    }

    void TearDown() override { EXPECT_EQ(Checksum(ReadFile(sourcePath)), sourceSum) << "the source was changed"; }

    ChildResult Run(const std::string& target, bool force = false, ChildOptions options = {})
    {
        std::vector<std::string> args = {program, "--lang", "en", "--layout", layoutPath};
        if (force)
            args.push_back("--force");
        args.push_back(sourcePath);
        args.push_back(target);
        return RunChild(args, options);
    }

    TempDir dir;
    std::string program = dir / "zorbik-convert";
    std::string sourcePath = dir / "source.dat";
    std::string layoutPath = dir / "layout.txt";
    std::uint64_t sourceSum = 0;
    std::vector<std::uint8_t> referenceBytes;
};

// A tmpfs counts whole pages of 4096 bytes: the sheet needs `pages`.
TEST_F(ConvertFaults, AFullDiskEndsTheConversionWithExit3AndNoFile)
{
    const std::string why = EnterPrivateMounts();
    if (!why.empty())
        GTEST_SKIP() << "no private mount namespace here (" << why << "); the file size limit test covers a full disk";
    const long pages = static_cast<long>((referenceBytes.size() + 4095) / 4096);
    struct Row {
        const char* what;
        std::string options;
        std::size_t fillerBytes;
        int code;
    };
    const std::vector<Row> rows = {
        {"room for a tenth of the sheet", "size=" + std::to_string(pages / 10 * 4096), 0, ExitWriteFailed},
        {"one page short", "size=" + std::to_string((pages - 1) * 4096), 0, ExitWriteFailed},
        {"full before the conversion", "size=65536", 65536, ExitWriteFailed},
        {"exactly room for the sheet", "size=" + std::to_string(pages * 4096), 0, ExitOk},
        {"no file can be made", "size=1m,nr_inodes=2", 1, ExitUsage},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string disk = dir / ("disk" + std::to_string(n++));
        const Tmpfs tmpfs(disk, row.options);
        ASSERT_TRUE(tmpfs.Mounted()) << tmpfs.Error();
        if (row.fillerBytes > 0)
            WriteFile(disk + "/filler", std::vector<std::uint8_t>(row.fillerBytes, 0xAA));
        const std::uint64_t freeBefore = tmpfs.FreeBlocks();
        const std::vector<std::string> before = Names(disk);

        const ChildResult run = Run(disk + "/out.xls");
        ASSERT_TRUE(run.exited) << "signal " << run.signal << (run.timedOut ? " (hung)" : "");
        EXPECT_EQ(run.code, row.code) << run.err;
        EXPECT_TRUE(run.out.empty());
        if (row.code == ExitOk) {
            EXPECT_TRUE(run.err.empty()) << run.err;
            EXPECT_EQ(ReadFile(disk + "/out.xls"), referenceBytes);
            continue;
        }
        EXPECT_EQ(run.err.rfind(row.code == ExitWriteFailed ? kWriteError : kCannotCreate, 0), 0u) << run.err;
        EXPECT_EQ(Names(disk), before); // no partial file
        EXPECT_EQ(tmpfs.FreeBlocks(), freeBefore); // and its pages given back: deleted, not just hidden
    }
}

TEST_F(ConvertFaults, ATargetThatCannotBeWrittenIsRefusedWithExit2)
{
    const std::string keep = "an older sheet that must survive";
    struct Row {
        const char* what;
        std::string target;
        bool force;
        bool asOtherUser;            // meets permissions, which root would pass
        std::function<bool()> make;  // false: this system cannot set the case up
        std::function<void()> undo;
    };
    const std::string locked = dir / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms(0555));
    const std::vector<Row> rows = {
        {"a folder without write permission", locked + "/out.xls", false, true, [] { return true; }, [] {}},
        {"an existing read-only file", dir / "readonly.xls", true, true,
         [&] {
             WriteFile(dir / "readonly.xls", keep);
             fs::permissions(dir / "readonly.xls", fs::perms(0444));
             return true;
         },
         [] {}},
        {"an immutable file", dir / "immutable.xls", true, false,
         [&] {
             WriteFile(dir / "immutable.xls", keep);
             return SetInodeFlag(dir / "immutable.xls", FS_IMMUTABLE_FL, true);
         },
         [&] { SetInodeFlag(dir / "immutable.xls", FS_IMMUTABLE_FL, false); }},
        {"an append-only file", dir / "append.xls", true, false,
         [&] {
             WriteFile(dir / "append.xls", keep);
             return SetInodeFlag(dir / "append.xls", FS_APPEND_FL, true);
         },
         [&] { SetInodeFlag(dir / "append.xls", FS_APPEND_FL, false); }},
        {"a folder", dir / "folder.xls", true, false, [&] { return fs::create_directory(dir / "folder.xls"); }, [] {}},
        {"a FIFO nobody reads", dir / "fifo.xls", true, false,
         [&] { return ::mkfifo((dir / "fifo.xls").c_str(), 0644) == 0; }, [] {}},
        {"a link to a device", dir / "device.xls", true, false,
         [&] { return ::symlink("/dev/null", (dir / "device.xls").c_str()) == 0; }, [] {}},
        {"a missing folder", dir / "missing/out.xls", false, false, [] { return true; }, [] {}},
        {"a name that is too long", dir / (std::string(300, 'x') + ".xls"), false, false, [] { return true; },
         [] {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (!row.make()) {
            std::cout << "[ SKIPPED  ] " << row.what << ": cannot be set up on this file system\n";
            continue;
        }
        std::error_code ignored;
        const bool exists = fs::exists(fs::symlink_status(row.target, ignored));
        const auto before = fs::is_regular_file(fs::symlink_status(row.target, ignored))
                                ? ReadFile(row.target)
                                : std::vector<std::uint8_t>{};
        ChildOptions options;
        options.timeoutSeconds = 30;
        options.asNobody = row.asOtherUser && CanRunAsNobody();
        const ChildResult run = Run(row.target, row.force, options);
        row.undo();
        ASSERT_TRUE(run.exited) << "signal " << run.signal << (run.timedOut ? " (hung)" : "");
        EXPECT_EQ(run.code, ExitUsage) << run.err;
        EXPECT_EQ(run.err.rfind(kCannotCreate, 0), 0u) << run.err;
        EXPECT_EQ(fs::exists(fs::symlink_status(row.target, ignored)), exists);
        if (!before.empty()) {
            EXPECT_EQ(ReadFile(row.target), before);
        }
    }
    EXPECT_TRUE(fs::is_empty(locked));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(ConvertFaults, ATargetDeletedOrReplacedWhileWrittenIsAFailure)
{
    const std::string folder = dir / "out";
    const std::string target = folder + "/out.xls";
    const std::vector<std::uint8_t> other = {'o', 't', 'h', 'e', 'r'};
    struct Row {
        const char* what;
        std::function<void()> act;
        bool replaced;
    };
    const std::vector<Row> rows = {
        {"the target deleted", [&] { fs::remove(target); }, false},
        {"its folder deleted", [&] { fs::remove_all(folder); }, false},
        {"the target replaced by another file",
         [&] {
             WriteFile(folder + "/other", other);
             fs::rename(folder + "/other", target);
         },
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::create_directories(folder);
        const HookedRun run = ConvertWithHook({"--layout", layoutPath, sourcePath, target}, row.act);
        ASSERT_TRUE(run.hookRan);
        EXPECT_EQ(run.code, ExitWriteFailed) << run.err;
        EXPECT_EQ(run.err.rfind(kWriteError, 0), 0u) << run.err;
        if (row.replaced) {
            EXPECT_EQ(ReadFile(target), other); // another program's file is not ours to delete
        } else {
            EXPECT_FALSE(fs::exists(target));
        }
        fs::remove_all(folder);
    }
}

} // namespace
} // namespace zorbik
