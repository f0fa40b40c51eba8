#include <gtest/gtest.h>

#include <unistd.h>

#include "file/SourceView.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

TEST(NativeFile, CreateNewRefusesAFileThatAppearedAndFileZeroIsAFile)
{
    TempDir dir;
    WriteFile(dir / "old", std::string("old"));
    NativeFile file;
    // Another program may make the file between the check and the opening.
    EXPECT_FALSE(file.OpenWrite(dir / "old", NativeFile::Create::CreateNew));
    // A program started without standard input gets descriptor 0 for its
    // first file. Standard input comes back after, for the tests that follow.
    const int input = ::dup(0);
    ::close(0);
    EXPECT_TRUE(file.OpenRead(dir / "old"));
    EXPECT_TRUE(file.OpenWrite(dir / "new", NativeFile::Create::CreateNew));
    EXPECT_EQ(file.Size(), 0);
    file.Close();
    ::dup2(input, 0);
    ::close(input);
    SourceView closed; // a read error
    EXPECT_EQ(closed.ReadAt(0, nullptr, 1), -1);
}

} // namespace
} // namespace zorbik
