#include <gtest/gtest.h>

#include <sys/stat.h>

#include "source/SourceView.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(SourceView, ReadsByOffsetAndShortAtTheEnd)
{
    TempDir dir;
    WriteFile(dir / "s", std::vector<std::uint8_t>(100000, 7));
    SourceView view;
    ASSERT_TRUE(view.Open(dir / "s"));
    std::vector<std::uint8_t> buffer(100000);
    EXPECT_EQ(view.ReadAt(99998, buffer.data(), 8), 2);
    // Cut short by another program: short reads, never a crash; the size
    // taken at opening stands.
    ASSERT_EQ(::truncate((dir / "s").c_str(), 10), 0);
    EXPECT_EQ(view.ReadAt(0, buffer.data(), buffer.size()), 10);
    EXPECT_EQ(view.ReadAt(50000, buffer.data(), 10), 0);
    EXPECT_EQ(view.Size(), 100000u);
    view.Release();
    EXPECT_EQ(view.ReadAt(0, buffer.data(), 1), -1);
}

TEST(SourceView, OpensOnlyRegularFilesOf1ByteTo4GiBLess1)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        std::uint64_t size; // made as a sparse file unless 0
        const char* why;    // empty: opens
    } rows[] = {
        {dir / "one", 1, ""},
        {dir / "largest", 0xFFFFFFFFull, ""},
        {dir / "4gib", 0x100000000ull, "4 GiB"},
        {dir / "empty", 0, "empty"},
        {dir / "missing", 0, "No such file"},
        {dir.Path(), 0, "not a regular file"},
        {dir / "fifo", 0, "not a regular file"}, // and no waiting for a writer
        {"/dev/zero", 0, "not a regular file"},
    };
    WriteFile(dir / "empty", std::string());
    for (const auto& row : rows) {
        if (row.size > 0) {
            WriteFile(row.path, std::string());
            ASSERT_EQ(::truncate(row.path.c_str(), static_cast<off_t>(row.size)), 0);
        }
        SourceView view;
        std::string error;
        EXPECT_EQ(view.Open(row.path, &error), *row.why == 0) << row.path;
        EXPECT_NE(error.find(row.why), std::string::npos) << error;
        EXPECT_EQ(view.Size(), *row.why == 0 ? row.size : 0) << row.path;
    }
}

} // namespace
} // namespace zorbik
