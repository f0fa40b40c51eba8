// zorbik-convert with layout files as people and other programs write them:
// malformed ones are refused with their line named, exit 2 and nothing
// written; harmless variants (Windows line ends, no final newline, blanks,
// comments, any row order) convert exactly as the plain text does; and
// layouts at the limits of the marks.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>

#include "ConvertCommand.h"
#include "support/CommandRun.h"
#include "support/SheetReader.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;
using namespace std::string_literals;

class LayoutInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<std::uint8_t> source;
        for (int i = 0; i < 64; ++i)
            source.push_back(static_cast<std::uint8_t>('A' + i % 26));
        WriteFile(sourcePath, source);
    }

    CommandRun WithLayout(const std::string& text)
    {
        WriteFile(layoutPath, text);
        return Convert({"--layout", layoutPath, sourcePath, targetPath});
    }

    TempDir dir;
    std::string sourcePath = dir / "source.dat";
    std::string layoutPath = dir / "layout.txt";
    std::string targetPath = dir / "out.xls";
};

TEST_F(LayoutInput, MalformedLinesAreRefusedWithTheirLineNumber)
{
    struct Row {
        std::string text;
        int line;
        std::string why;
    };
    const std::vector<Row> rows = {
        {"-1 LineBegin\n", 1, "is not a byte number"},
        {"0 LineBegin\n+5 LineEnd\n", 2, "is not a byte number"},
        {"0x10 LineBegin\n", 1, "is not a byte number"},
        {"1.0 LineBegin\n", 1, "is not a byte number"},
        {"\xef\xbc\x91 LineBegin\n", 1, "is not a byte number"}, // a full-width digit one
        {"64 LineBegin\n", 1, "lies at or past the end of the source (64 bytes)"},
        {"0 LineBegin\n4294967296 LineEnd\n", 2, "lies at or past the end"}, // 2^32 must not wrap to row 0
        {"0 LineBegin\n18446744073709551617 LineEnd\n", 2, "lies at or past the end"},
        {"0 LineBegin\n99999999999999999999999999999999999999 LineEnd\n", 2, "lies at or past the end"},
        {"0 linebegin\n", 1, "unknown marker \"linebegin\""},
        {"0 LineStart\n", 1, "unknown marker"},
        {"0 LineBegin Float\n", 1, "unknown field type \"Float\""},
        {"0 LineBegin text\n", 1, "unknown field type"},
        {"0\n", 1, "expected ROW MARKER [TYPE]"},
        {"LineBegin\n", 1, "expected ROW MARKER [TYPE]"},
        {"0 LineBegin Text extra\n", 1, "expected ROW MARKER [TYPE]"},
        {"0 LineBegin # a note after the marks\n", 1, "expected ROW MARKER [TYPE]"},
        {"0 LineBegin\n5 ColumnEnd\n5 Unmarked Text\n", 3, "row 5 is listed twice"},
        {"0 LineBegin\n7 LineEnd\n0 LineBegin\n", 3, "row 0 is listed twice"},
        {"0 LineBegin\n1 Column\0Begin\n"s, 2, "unknown marker \"Column\\x00Begin\""},
        {"\x7f" "ELF\x02\x01\x01 \x80\xff\n", 1, "row \"\\x7fELF\\x02\\x01\\x01\" is not a byte number"},
        // Old Macintosh line ends leave one long line.
        {"0 LineBegin\r1 ColumnBegin\r2 ColumnEnd\r7 LineEnd\r", 1, "expected ROW MARKER [TYPE]"},
        // Windows line ends, comments and empty lines still count as lines.
        {"# marks\r\n\r\n0 LineBegin\r\nnonsense here\r\n", 4, "row \"nonsense\" is not a byte number"},
        {"   \t  \n0 LineBegin\n  7  LineEnd  Bcd  x\n", 3, "expected ROW MARKER [TYPE]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const CommandRun run = WithLayout(row.text);
        EXPECT_EQ(run.code, ExitUsage) << run.err;
        EXPECT_TRUE(Contains(run.err, layoutPath + ": line " + std::to_string(row.line) + ": ")) << run.err;
        EXPECT_TRUE(Contains(run.err, row.why)) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(std::filesystem::exists(targetPath));
    }
}

// A message must stay readable whatever the file holds: short, and free of
// raw control bytes that would garble the terminal.
TEST_F(LayoutInput, GarbageGivesAShortReadableMessage)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 50; ++round) {
        std::string garbage(round == 0 ? 200000 : 64 + random() % 4000, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random() % 256);
        if (round == 0)
            std::fill(garbage.begin(), garbage.end(), 'Z'); // one line of 200000 bytes
        const CommandRun run = WithLayout(garbage);
        SCOPED_TRACE(round);
        EXPECT_EQ(run.code, ExitUsage);
        EXPECT_TRUE(std::regex_search(run.err, std::regex(": line [0-9]+: "))) << run.err;
        EXPECT_LT(run.err.size(), 400u);
        EXPECT_EQ(std::count_if(run.err.begin(), run.err.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\n'; }),
                  0);
        EXPECT_FALSE(std::filesystem::exists(targetPath));
    }
}

TEST_F(LayoutInput, AFileThatIsNoLayoutIsRefusedWithoutHanging)
{
    const std::vector<std::pair<std::string, std::string>> rows = {
        {dir.Path(), "is a folder"},
        {"/dev/zero", "is too large"}, // endless: must end at the size limit
        {dir / "missing.txt", "cannot read the layout file"},
    };
    for (const auto& [path, why] : rows) {
        const CommandRun run = Convert({"--layout", path, sourcePath, targetPath});
        EXPECT_EQ(run.code, ExitUsage) << path;
        EXPECT_TRUE(Contains(run.err, why)) << run.err;
        EXPECT_FALSE(std::filesystem::exists(targetPath));
    }
}

// Windows line ends and a missing final newline are read as a user expects:
// they are how many editors save a file.
TEST_F(LayoutInput, VariantsOfTheSameMarksGiveTheSameSheet)
{
    const std::string plain =
        "0 LineBegin\n1 ColumnBegin BinInteger\n2 ColumnEnd\n3 ColumnBegin Text\n5 ColumnEnd\n7 LineEnd\n";
    ASSERT_EQ(WithLayout(plain).code, ExitOk);
    const auto expected = ReadFile(targetPath);
    ASSERT_TRUE(ReadSheet(expected).wellFormed);

    auto replace = [](std::string text, const std::string& from, const std::string& to) {
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
            text.replace(at, from.size(), to);
        return text;
    };
    const std::string crlf = replace(plain, "\n", "\r\n");
    const std::vector<std::string> variants = {
        crlf,
        plain.substr(0, plain.size() - 1),
        crlf.substr(0, crlf.size() - 2),
        replace(replace(plain, " ", " \t  "), "\n", "  \n   "),
        "# the record\n\n" + replace(plain, "\n", "\n# between\n\n"),
        "7 LineEnd\n5 ColumnEnd\n3 ColumnBegin Text\n2 ColumnEnd\n1 ColumnBegin BinInteger\n0 LineBegin\n",
        "000 LineBegin\n01 ColumnBegin BinInteger\n2 ColumnEnd\n3 ColumnBegin Text\n0005 ColumnEnd\n7 LineEnd\n",
        plain + "4 Unmarked\n6 Unmarked\n",
    };
    for (const std::string& variant : variants) {
        SCOPED_TRACE(variant);
        std::filesystem::remove(targetPath);
        const CommandRun run = WithLayout(variant);
        ASSERT_EQ(run.code, ExitOk) << run.err;
        EXPECT_TRUE(run.err.empty()) << run.err;
        EXPECT_EQ(ReadFile(targetPath), expected);
    }
}

} // namespace
} // namespace zorbik
