#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ConvertCommand.h"
#include "support/CommandRun.h"
#include "support/SheetReader.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

class ConvertCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 20 records of 8 bytes behind a 4-byte header.
        std::vector<std::uint8_t> source = {'H', 'D', 'R', 0};
        for (int k = 0; k < 20; ++k)
            for (int i = 0; i < 8; ++i)
                source.push_back(static_cast<std::uint8_t>('a' + (k + i) % 26));
        WriteFile(sourcePath, source);
        WriteFile(layoutPath, std::string("4 LineBegin Text\n6 ColumnBegin BinInteger\n7 ColumnEnd\n11 LineEnd\n"));
    }

    TempDir dir;
    std::string sourcePath = dir / "source.dat";
    std::string layoutPath = dir / "layout.txt";
    std::string targetPath = dir / "out.xls";
};

TEST_F(ConvertCommand, ConvertsAndWritesTheSheet)
{
    const CommandRun run = Convert({"--layout", layoutPath, sourcePath, targetPath});
    EXPECT_EQ(run.code, ExitOk) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err; // no progress bar when stderr is no terminal
    const Sheet sheet = ReadSheet(ReadFile(targetPath));
    ASSERT_TRUE(sheet.wellFormed) << sheet.error;
    EXPECT_EQ(sheet.dimRows, 20);
    EXPECT_EQ(sheet.dimColumns, 2);
    EXPECT_EQ(sheet.cells.at(0).text, "ab");
    EXPECT_EQ(sheet.cells.at(1).integer, 'c' | 'd' << 8);
}

TEST_F(ConvertCommand, HelpAndVersion)
{
    const CommandRun help = Convert({"--help"});
    EXPECT_EQ(help.code, ExitOk);
    EXPECT_TRUE(Contains(help.out, "--layout LAYOUT"));
    const CommandRun version = Convert({"--version"});
    EXPECT_EQ(version.code, ExitOk);
    EXPECT_TRUE(Contains(version.out, "zorbik-convert "));
}

TEST_F(ConvertCommand, UsageErrorsExitWith2AndWriteNothing)
{
    const std::vector<std::vector<std::string>> rows = {
        {},
        {sourcePath, targetPath},
        {"--layout", layoutPath, sourcePath},
        {"--layout", layoutPath, sourcePath, targetPath, "extra"},
        {"--layout", layoutPath, "--lang", "fr", sourcePath, targetPath},
        {"--layout", layoutPath, "--frobnicate", sourcePath, targetPath},
        {"--layout"},
        {"--layout", dir / "no-layout.txt", sourcePath, targetPath},
    };
    for (const auto& args : rows) {
        const CommandRun run = Convert(args);
        EXPECT_EQ(run.code, ExitUsage) << (args.empty() ? "(none)" : args.back());
        EXPECT_FALSE(run.err.empty());
        EXPECT_FALSE(std::filesystem::exists(targetPath));
    }
}

TEST_F(ConvertCommand, ABadLayoutLineIsNamed)
{
    WriteFile(layoutPath, std::string("4 LineBegin\n\n7 ColumnEnd\n7 LineEnd\n"));
    const CommandRun run = Convert({"--layout", layoutPath, sourcePath, targetPath});
    EXPECT_EQ(run.code, ExitUsage);
    EXPECT_TRUE(Contains(run.err, "line 4: row 7 is listed twice")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(targetPath));
}

TEST_F(ConvertCommand, LayoutFaultsExitWith1InTheChosenLanguage)
{
    WriteFile(layoutPath, std::string("4 LineBegin\n6 ColumnEnd\n11 LineEnd\n"));
    const CommandRun english = Convert({"--layout", layoutPath, sourcePath, targetPath});
    EXPECT_EQ(english.code, ExitLayoutFault);
    EXPECT_TRUE(Contains(english.err, "Missing symbol for columnbegin!\n  at row 6")) << english.err;
    EXPECT_FALSE(std::filesystem::exists(targetPath));

    const CommandRun german = Convert({"--layout", layoutPath, sourcePath, targetPath}, "de_DE.UTF-8");
    EXPECT_TRUE(Contains(german.err, "Marke für Spaltenanfang fehlt!")) << german.err;
    const CommandRun forced = Convert({"--layout", layoutPath, "--lang", "en", sourcePath, targetPath}, "de_DE.UTF-8");
    EXPECT_TRUE(Contains(forced.err, "Missing symbol for columnbegin!")) << forced.err;

    WriteFile(layoutPath, std::string("# nothing marked\n"));
    const CommandRun none = Convert({"--layout", layoutPath, sourcePath, targetPath});
    EXPECT_EQ(none.code, ExitLayoutFault);
    EXPECT_FALSE(Contains(none.err, "at row")); // no row to point at
}

TEST_F(ConvertCommand, AnExistingTargetNeedsForce)
{
    WriteFile(targetPath, std::string("precious"));
    const CommandRun refused = Convert({"--layout", layoutPath, sourcePath, targetPath});
    EXPECT_EQ(refused.code, ExitUsage);
    EXPECT_TRUE(Contains(refused.err, "--force")) << refused.err;
    EXPECT_EQ(ReadFile(targetPath).size(), 8u);

    const CommandRun forced = Convert({"--layout", layoutPath, "--force", sourcePath, targetPath});
    EXPECT_EQ(forced.code, ExitOk) << forced.err;
    EXPECT_TRUE(ReadSheet(ReadFile(targetPath)).wellFormed);
}

TEST_F(ConvertCommand, TheSourceIsNeverOverwritten)
{
    const auto before = ReadFile(sourcePath);
    ASSERT_EQ(::symlink(sourcePath.c_str(), (dir / "link.xls").c_str()), 0);
    for (const std::string& target : {sourcePath, dir / "link.xls"}) {
        const CommandRun run = Convert({"--layout", layoutPath, "--force", sourcePath, target});
        EXPECT_EQ(run.code, ExitUsage) << target;
        EXPECT_TRUE(Contains(run.err, "is the source file")) << run.err;
    }
    EXPECT_EQ(ReadFile(sourcePath), before);
}

TEST_F(ConvertCommand, AnUnusableSourceShowsTheImportMessage)
{
    WriteFile(dir / "empty", std::vector<std::uint8_t>{});
    for (const std::string& source : {dir / "empty", dir / "missing", dir.Path()}) {
        const CommandRun run = Convert({"--layout", layoutPath, source, targetPath});
        EXPECT_EQ(run.code, ExitUsage) << source;
        EXPECT_TRUE(Contains(run.err, "Import file-error")) << run.err;
        EXPECT_FALSE(std::filesystem::exists(targetPath));
    }
}

TEST_F(ConvertCommand, TooManyRecordsAreClampedWithAWarning)
{
    WriteFile(sourcePath, std::vector<std::uint8_t>(140000, 1));
    WriteFile(layoutPath, std::string("0 LineBegin BinInteger\n1 LineEnd\n"));
    const CommandRun run = Convert({"--layout", layoutPath, sourcePath, targetPath});
    EXPECT_EQ(run.code, ExitOk);
    EXPECT_TRUE(Contains(run.err, "warning: More than 65534 lines;\nmaximum lines is selected!")) << run.err;
    const Sheet sheet = ReadSheet(ReadFile(targetPath));
    EXPECT_EQ(sheet.rowRecords.size(), 65534u);
}

TEST_F(ConvertCommand, ExplainShowsTheRecordAndItsColumns)
{
    WriteFile(layoutPath, std::string("4 LineBegin Text\n6 ColumnBegin\n7 ByteMark BinInteger\n9 ByteMark\n"
                                      "10 ColumnEnd\n11 LineEnd\n"));
    const CommandRun run = Convert({"--layout", layoutPath, "--explain", sourcePath, targetPath});
    EXPECT_EQ(run.code, ExitOk) << run.err;
    EXPECT_EQ(run.out, "Record: begins at byte 4, 8 bytes long, 20 records, 2 columns\n"
                       "Column 1: rows 4-5, type row 4, Text, all bytes (2)\n"
                       "Column 2: rows 6-10, type row 7, BinInteger, byte marks select bytes 7, 9\n");
}

// Runs the real program with a file size limit, so that writing fails
// part-way as on a full disk.
TEST_F(ConvertCommand, AFailedWriteDeletesTheTargetAndExitsWith3)
{
    WriteFile(sourcePath, std::vector<std::uint8_t>(400000, 'x'));
    WriteFile(layoutPath, std::string("0 LineBegin Text\n3 LineEnd\n"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 2);
        ::execl(ZORBIK_CONVERT_EXE, ZORBIK_CONVERT_EXE, "--layout", layoutPath.c_str(), sourcePath.c_str(),
                targetPath.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ExitWriteFailed);
    EXPECT_FALSE(std::filesystem::exists(targetPath));
}

} // namespace
} // namespace zorbik
