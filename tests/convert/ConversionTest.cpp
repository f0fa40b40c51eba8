#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "convert/Conversion.h"
#include "layout/NormaliseEdges.h"
#include "layout/ValidateLayout.h"
#include "sheet/SheetBytes.h"
#include "support/TempDir.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

struct Fixture {
    TempDir dir;
    SourceView source;
    RecordLayout layout;
    ColumnPlan plan;

    explicit Fixture(std::size_t records = 10)
    {
        WriteFile(dir / "source.bin", std::vector<std::uint8_t>(records * 8, 'z'));
        EXPECT_TRUE(source.Open(dir / "source.bin"));
        RowStore store = MakeStore(static_cast<std::int32_t>(source.Size()),
                                   {{0, LB}, {1, CB, FieldType::Text}, {4, CE}, {7, LE}});
        EXPECT_FALSE(ValidateLayout(store, source.Size(), layout));
        NormaliseEdges(store, layout);
        ClampCounts(layout);
        plan = BuildColumnPlan(store, layout);
    }
};

TEST(Conversion, FinishCutsALongerExistingTargetToTheNewLength)
{
    Fixture f;
    const std::string target = f.dir / "out.xls";
    WriteFile(target, std::vector<std::uint8_t>(100000, 0xEE));
    Conversion conversion;
    ASSERT_EQ(conversion.OpenTarget(target, NativeFile::Create::OpenAlways, f.source), TargetError::None);
    const ConversionOutcome outcome = conversion.RunHere(f.source, f.layout, f.plan, {});
    EXPECT_EQ(outcome.status, ConversionStatus::Finished);
    const auto bytes = ReadFile(target);
    EXPECT_EQ(bytes.size(), 680u + 12 + 10 * (17 + 12 + 4) + 55);
    EXPECT_EQ(bytes.size(), outcome.bytesWritten);
    EXPECT_TRUE(std::equal(kSheetTrailer.begin(), kSheetTrailer.end(), bytes.end() - 55));
}

TEST(Conversion, TheWorkerThreadReportsOnceAndFinishKeepsTheFile)
{
    Fixture f(65534);
    const std::string target = f.dir / "out.xls";
    Conversion conversion;
    ASSERT_EQ(conversion.OpenTarget(target, NativeFile::Create::CreateNew, f.source), TargetError::None);
    std::atomic<int> doneCalls{0};
    std::atomic<std::uint32_t> lastProgress{0};
    conversion.Start(
        f.source, f.layout, f.plan, [&](std::uint32_t done) { lastProgress = done; },
        [&](const ConversionOutcome&) { ++doneCalls; });
    const ConversionOutcome outcome = conversion.Finish();
    EXPECT_EQ(outcome.status, ConversionStatus::Finished);
    EXPECT_EQ(doneCalls, 1);
    EXPECT_EQ(lastProgress, 65534u);
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_FALSE(conversion.HasTarget());
}

TEST(Conversion, StopDeletesTheTargetWhereverTheWorkerIs)
{
    for (const int delayMicroseconds : {0, 50, 2000}) {
        Fixture f(65534);
        const std::string target = f.dir / "out.xls";
        Conversion conversion;
        ASSERT_EQ(conversion.OpenTarget(target, NativeFile::Create::OpenAlways, f.source), TargetError::None);
        conversion.Start(f.source, f.layout, f.plan, {}, {});
        ::usleep(static_cast<useconds_t>(delayMicroseconds));
        conversion.Stop();
        EXPECT_FALSE(std::filesystem::exists(target)) << delayMicroseconds;
        EXPECT_FALSE(conversion.HasTarget());
        EXPECT_FALSE(conversion.Running());
    }
}

TEST(Conversion, StopBeforeAnyWorkerStartedStillDeletesTheTarget)
{
    Fixture f;
    const std::string target = f.dir / "out.xls";
    Conversion conversion;
    ASSERT_EQ(conversion.OpenTarget(target, NativeFile::Create::OpenAlways, f.source), TargetError::None);
    conversion.Stop();
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(Conversion, TheSourceItselfIsNeverATarget)
{
    Fixture f;
    const std::string sourcePath = f.dir / "source.bin";
    ASSERT_EQ(::symlink(sourcePath.c_str(), (f.dir / "soft.xls").c_str()), 0);
    ASSERT_EQ(::link(sourcePath.c_str(), (f.dir / "hard.xls").c_str()), 0);
    const auto before = ReadFile(sourcePath);
    for (const std::string& path : {sourcePath, f.dir / "soft.xls", f.dir / "hard.xls", f.dir.Path() + "/./source.bin"}) {
        Conversion conversion;
        EXPECT_EQ(conversion.OpenTarget(path, NativeFile::Create::OpenAlways, f.source), TargetError::SameAsSource)
            << path;
        EXPECT_FALSE(conversion.HasTarget());
    }
    EXPECT_EQ(ReadFile(sourcePath), before);
}

TEST(Conversion, CreateNewLeavesAnExistingFileAlone)
{
    Fixture f;
    const std::string target = f.dir / "out.xls";
    WriteFile(target, std::string("keep me"));
    Conversion conversion;
    EXPECT_EQ(conversion.OpenTarget(target, NativeFile::Create::CreateNew, f.source), TargetError::Exists);
    EXPECT_EQ(conversion.OpenTarget(f.dir / "no/such/folder.xls", NativeFile::Create::OpenAlways, f.source),
              TargetError::CannotCreate);
    EXPECT_EQ(conversion.OpenTarget(f.dir.Path(), NativeFile::Create::OpenAlways, f.source), TargetError::CannotCreate);
    EXPECT_EQ(ReadFile(target).size(), 7u);
}

} // namespace
} // namespace zorbik
