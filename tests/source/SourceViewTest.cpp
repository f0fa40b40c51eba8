#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "source/SourceView.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(SourceView, OpensARegularFileAndReadsByOffset)
{
    TempDir dir;
    WriteFile(dir / "s", std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    SourceView view;
    ASSERT_TRUE(view.Open(dir / "s"));
    EXPECT_TRUE(view.IsOpen());
    EXPECT_EQ(view.Size(), 5u);
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(view.ReadAt(3, buffer, 8), 2); // short at the end
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[1], 5);
    EXPECT_EQ(view.ReadAt(5, buffer, 1), 0);
    view.Release();
    EXPECT_FALSE(view.IsOpen());
    EXPECT_EQ(view.ReadAt(0, buffer, 1), -1);
}

TEST(SourceView, OneByteIsEnough)
{
    TempDir dir;
    WriteFile(dir / "one", std::vector<std::uint8_t>{0x41});
    SourceView view;
    ASSERT_TRUE(view.Open(dir / "one"));
    EXPECT_EQ(view.Size(), 1u);
}

TEST(SourceView, RefusesWhatIsNoUsableFile)
{
    TempDir dir;
    WriteFile(dir / "empty", std::vector<std::uint8_t>{});
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* why;
    } rows[] = {
        {dir / "missing", "No such file"},
        {dir / "empty", "empty"},
        {dir.Path(), "not a regular file"},
        {dir / "fifo", "not a regular file"}, // and it must not block waiting for a writer
        {"/dev/null", "not a regular file"},
        {"/dev/zero", "not a regular file"},
    };
    for (const auto& row : rows) {
        SourceView view;
        std::string error;
        EXPECT_FALSE(view.Open(row.path, &error)) << row.path;
        EXPECT_NE(error.find(row.why), std::string::npos) << error;
        EXPECT_FALSE(view.IsOpen());
    }
}

TEST(SourceView, RefusesFilesOf4GiBAndMore)
{
    TempDir dir;
    for (const std::uint64_t size : {0x100000000ull, 0x100000005ull}) {
        const std::string path = dir / "big";
        WriteFile(path, std::vector<std::uint8_t>{});
        if (::truncate(path.c_str(), static_cast<off_t>(size)) != 0)
            GTEST_SKIP() << "no sparse files here";
        SourceView view;
        std::string error;
        EXPECT_FALSE(view.Open(path, &error)) << size;
        EXPECT_NE(error.find("4 GiB"), std::string::npos) << error;
    }
    // One byte less is the largest size that fits.
    const std::string path = dir / "largest";
    WriteFile(path, std::vector<std::uint8_t>{});
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(0xFFFFFFFFull)), 0);
    SourceView view;
    ASSERT_TRUE(view.Open(path));
    EXPECT_EQ(view.Size(), 0xFFFFFFFFu);
}

TEST(SourceView, AFileCutShortWhileOpenGivesShortReadsNotACrash)
{
    TempDir dir;
    WriteFile(dir / "s", std::vector<std::uint8_t>(100000, 7));
    SourceView view;
    ASSERT_TRUE(view.Open(dir / "s"));
    ASSERT_EQ(::truncate((dir / "s").c_str(), 10), 0);
    std::vector<std::uint8_t> buffer(100000);
    EXPECT_EQ(view.ReadAt(0, buffer.data(), buffer.size()), 10);
    EXPECT_EQ(view.ReadAt(50000, buffer.data(), 10), 0);
    EXPECT_EQ(view.Size(), 100000u); // the size taken at opening stands
}

} // namespace
} // namespace zorbik
