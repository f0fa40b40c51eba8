// The targets a library writes as a file of its own, where the file cannot
// be made or the disk fills up (a file size limit plays the full disk).
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <type_traits>

#include <sys/resource.h>

#include "support/TempDir.h"
#include "target/SqliteTarget.h"
#include "target/XlsxTarget.h"
#include "target/ZipDirectory.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;
namespace fs = std::filesystem;

std::size_t OpenFiles()
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

// Writes `rows` rows of text cells, or fewer when the target fails, asking
// Failed() as the record loop does; tells which step failed.
template <class T>
std::string Write(T& target, std::size_t columns, std::uint64_t rows)
{
    TargetStart start{{}, rows, 1252};
    for (std::size_t c = 0; c < columns; ++c)
        start.columns.push_back({"c" + std::to_string(c), CellKind::Text});
    if (!target.Begin(start))
        return "Begin";
    for (std::uint64_t k = 0; k < rows; ++k) {
        if (k % 1000 == 0 && target.Failed())
            return "Failed";
        const std::string text = "Zeile " + std::to_string(k * 7919);
        target.Row(k);
        for (std::size_t c = 0; c < columns; ++c)
            target.Text(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
        target.EndRow();
    }
    return target.Failed() ? "Failed" : target.End() ? "" : "End";
}

template <class T>
class FileTargets : public ::testing::Test {};
using Targets = ::testing::Types<XlsxTarget, SqliteTarget>;
TYPED_TEST_SUITE(FileTargets, Targets);

// Only a run that wrote everything ends well: a target that cannot be
// made fails at Begin, the disk full while rows are written as soon as the
// loop asks, the disk full while the library finishes the file at End; no
// way leaves a file open.
TYPED_TEST(FileTargets, EndIsTrueOnlyWhenEverythingWasWritten)
{
    TempDir dir;
    const std::string path = dir / "out/target";
    rlimit unlimited{};
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, SIG_IGN);
    std::uint64_t largest = 0;
    const struct {
        const char* what;
        bool folder;
        std::size_t columns;
        std::function<rlim_t()> limit;
        std::string failed; // the step that fails, "" for none
    } rows[] = {
        {"a good run", true, 3, [&] { return unlimited.rlim_cur; }, ""},
        {"a missing folder", false, 3, [&] { return unlimited.rlim_cur; }, "Begin"},
        {"more columns than any format holds", true, 32768, [&] { return unlimited.rlim_cur; }, "Begin"},
        {"the disk full while rows are written", true, 3, [] { return rlim_t{65536}; }, "Failed"},
        {"the disk full while the file is finished", true, 3, [&] { return largest - 300; }, "End"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(dir / "out");
        if (row.folder) {
            fs::create_directory(dir / "out");
            WriteFile(path, std::string());
        }
        const std::size_t openFiles = OpenFiles();
        {
            TypeParam target(path, TargetOptions{});
            const rlimit limit{row.limit(), unlimited.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const std::string failed = Write(target, row.columns, row.columns > 3 ? 1 : 100000);
            ::setrlimit(RLIMIT_FSIZE, &unlimited);
            EXPECT_EQ(failed, row.failed);
        }
        EXPECT_EQ(OpenFiles(), openFiles);
        // The largest file of a good run: an .xlsx's sheet goes through a
        // temporary file of its member's size.
        if (row.failed.empty() && std::is_same_v<TypeParam, XlsxTarget>)
            largest = ZipMemberSizes(path).value().at("xl/worksheets/sheet1.xml");
        else if (row.failed.empty())
            largest = fs::file_size(path);
    }
}

} // namespace
} // namespace zorbik
