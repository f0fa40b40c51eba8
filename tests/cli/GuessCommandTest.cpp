// zorbik-convert --guess: the layout it prints converts the source; a source
// without records gives exit code 1 and a message in the user's language.
#include <gtest/gtest.h>

#include <random>

#include <sstream>

#include "ConvertCommand.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

struct CommandRun {
    int code;
    std::string out;
    std::string err;
};

CommandRun Convert(const std::vector<std::string>& args, const char* lang = "C")
{
    std::ostringstream out;
    std::ostringstream err;
    CommandIo io{out, err, false, nullptr, nullptr, lang};
    const int code = RunConvertCommand(args, io);
    return {code, out.str(), err.str()};
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class GuessCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A 40-byte header, then 300 records: a counter, a name, a number.
        std::mt19937 rng(3);
        std::string source(39, '\0');
        source += '\r';
        for (int k = 0; k < 300; ++k) {
            source += std::string{static_cast<char>(k), static_cast<char>(k >> 8)};
            std::string name[] = {"Anna", "Koch", "Wagner"};
            const std::string text = (name[rng() % 3] + "        ").substr(0, 8);
            const std::string number = std::to_string(10000 + rng() % 90000);
            source += text + number;
            if (k == 0) {
                name0 = text.substr(0, text.find(' '));
                number0 = number;
            }
        }
        WriteFile(sourcePath, source);
        std::string noise;
        for (int i = 0; i < 5000; ++i)
            noise += static_cast<char>(rng());
        WriteFile(noisePath, noise);
    }

    TempDir dir;
    std::string sourcePath = dir / "table.dat";
    std::string noisePath = dir / "noise.dat";
    std::string name0;
    std::string number0;
};

TEST_F(GuessCommand, PrintsALayoutThatConverts)
{
    const CommandRun guess = Convert({"--guess", sourcePath});
    ASSERT_EQ(guess.code, ExitOk) << guess.err;
    EXPECT_TRUE(Contains(guess.out, "# records of 15 bytes from byte 40")) << guess.out;
    WriteFile(dir / "table.zlayout", guess.out);
    const CommandRun run = Convert({"--layout", dir / "table.zlayout", "--preview", "1", sourcePath});
    ASSERT_EQ(run.code, ExitOk) << run.err;
    EXPECT_TRUE(Contains(run.out, "A:BinInteger\tB:Text\tC:DecimalNumber\n0\t" + name0)) << run.out;
    EXPECT_TRUE(Contains(run.out, "\t" + number0 + "\n")) << run.out;
}

TEST_F(GuessCommand, FailuresAndUsage)
{
    const struct {
        std::vector<std::string> args;
        const char* lang;
        int code;
        const char* text;
    } rows[] = {
        {{"--guess", noisePath}, "de_DE.UTF-8", ExitLayoutFault, "Keine Satzstruktur gefunden"},
        {{"--guess", noisePath}, "C", ExitLayoutFault, "No record structure found"},
        {{"--guess", sourcePath, dir / "out.xls"}, "C", ExitUsage, "--guess expects SOURCE only"},
        {{"--guess", "--layout", noisePath, sourcePath}, "C", ExitUsage, "--guess takes no --layout"},
    };
    for (const auto& row : rows) {
        const CommandRun run = Convert(row.args, row.lang);
        EXPECT_EQ(run.code, row.code) << row.text;
        EXPECT_TRUE(Contains(run.err, row.text)) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

} // namespace
} // namespace zorbik
