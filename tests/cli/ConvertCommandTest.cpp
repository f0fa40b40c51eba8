#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "ConvertCommand.h"
#include "support/TempDir.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;
namespace fs = std::filesystem;

// On a terminal the progress bar is all that is written, and flushed,
// before the conversion ends: its first flush runs a hook that plays another
// program acting in the middle of the record loop.
class HookOnFirstFlush : public std::stringbuf {
public:
    explicit HookOnFirstFlush(std::function<void()> hook) : hook_(std::move(hook)) {}

protected:
    int sync() override
    {
        if (hook_)
            std::exchange(hook_, nullptr)();
        return 0;
    }

private:
    std::function<void()> hook_;
};

struct CommandCase {
    std::vector<std::string> args;
    int code;
    std::string output; // a part of what is printed; empty: nothing is printed
    bool target;        // whether the last argument names a file afterwards
    const char* lang = "en_US.UTF-8";
    std::function<void()> midway = {};
};

TEST(ConvertCommand, ArgumentsGiveTheirExitCodeMessageAndTarget)
{
    TempDir dir;
    const std::string source = dir / "source.dat", largest = dir / "largest.dat", target = dir / "out.xls",
                      existing = dir / "existing.xls", layout = dir / "layout.txt", fault = dir / "fault.txt",
                      bad = dir / "bad.txt", marks = dir / "marks.txt", after = dir / "after.txt",
                      escapes = dir / "escapes.txt", copybook = dir / "r.cpy", wide = dir / "wide.cpy";
    std::vector<std::uint8_t> small = {'H', 'D', 'R', 0}; // 20 records of 8 bytes behind a 4-byte header
    for (int i = 0; i < 8 * 20; ++i)
        small.push_back(static_cast<std::uint8_t>('a' + i % 26));
    WriteFile(source, small);
    WriteFile(dir / "empty.dat", std::string());
    WriteFile(largest, std::string());
#ifndef _WIN32
    ::mkfifo((dir / "fifo.dat").c_str(), 0600);
#endif
    WriteFile(layout, std::string("4 LineBegin Text\n6 ColumnBegin BinInteger\n7 ColumnEnd\n11 LineEnd\n"));
    WriteFile(fault, std::string("4 LineBegin\n6 ColumnEnd\n11 LineEnd\n"));
    WriteFile(bad, std::string("4 LineBegin\n\n7 ColumnEnd\n7 LineEnd\n"));
    WriteFile(marks, std::string("4 LineBegin Text\n6 ColumnBegin\n7 ByteMark BinInteger\n9 ByteMark\n10 ColumnEnd\n"
                                 "11 LineEnd\n"));
    WriteFile(after, std::string("4 LineBegin Text\n11 LineEnd\n13 ColumnBegin\n14 ColumnEnd\n"));
    WriteFile(dir / "escapes.dat", std::string("a\tb\n\x01\\\x81 \0", 9));
    WriteFile(escapes, std::string("codepage 850\n0 LineBegin Text\n8 LineEnd\n"));
    WriteFile(dir / "ebcdic.dat", std::string("\xD4\xD0\x93\x93\x85\x99\x25\x05\x40")); // Müller LF TAB blank
    WriteFile(copybook, std::string("01 R. 05 A PIC XX. 05 B PIC X(6)."));
    WriteFile(wide, std::string("01 R. 05 A PIC X WIDE.\n05 B PIC X(200)."));
    WriteFile(dir / "utf8.dat", std::string("M\xC3\xBC\xE2\x82\xAC\xFFx\n"));

    const std::vector<CommandCase> rows = {
        {{"--layout", layout, source, target}, 0, "", true},
        {{"--layout=" + layout, "--lang=de", "--force", "--", source, target}, 0, "", true},
        {{"--help"}, 0, "Usage: zorbik-convert --layout LAYOUT", false},
        {{"--version"}, 0, "zorbik-convert 1.", false},
        {{}, 2, "zorbik-convert: --layout LAYOUT is missing\n\nUsage:", false},
        {{"--layout", layout, source}, 2, "expected SOURCE and TARGET", true},
        {{"--layout", layout, "--lang", "fr", source, target}, 2, "--lang takes de or en", false},
        {{"--layout", layout, "--frobnicate", source, target}, 2, "unknown option --frobnicate", false},
        {{"--layout"}, 2, "--layout needs a value", false},
        {{"--layout", dir / "missing.txt", source, target}, 2, "Faulty marks file!\n  " + dir / "missing.txt" + "\n  cannot be opened", false},
        {{"--layout", dir.Path(), source, target}, 2, "is a folder", false},
#ifndef _WIN32 // FIFOs and /dev are Linux's
        {{"--layout", "/dev/zero", source, target}, 2, "is too large", false}, // endless: ends at the limit
#endif
        {{"--layout", bad, source, target}, 2, bad + ": line 4: row 7 is listed twice\n", false},
        {{"--layout", fault, source, target}, 1, "Missing symbol for columnbegin!\n  at row 6\n", false},
        {{"--layout", fault, source, target}, 1, "Marke für Spaltenanfang fehlt!", false, "de_DE.UTF-8"},
        {{"--layout", fault, "--lang", "en", source, target}, 1, "Missing symbol for columnbegin!", false, "de_DE"},
        {{"--layout", layout, dir / "empty.dat", target}, 2, "Import file-error\n  " + dir / "empty.dat" + "\n  the file is empty", false},
        {{"--layout", layout, dir / "missing.dat", target}, 2, "missing.dat\n  cannot be opened: No such file", false},
        {{"--layout", layout, dir / "missing.dat", target}, 2, "kann nicht geöffnet werden: Datei oder", false,
         "de_DE.UTF-8"},
        {{"--layout", layout, dir.Path(), target}, 2, "Import file-error\n  " + dir.Path() + "\n  is not a regular", false},
#ifndef _WIN32
        {{"--layout", layout, dir / "fifo.dat", target}, 2, "fifo.dat\n  is not a regular file", false}, // no waiting
        {{"--layout", layout, "/dev/zero", target}, 2, "/dev/zero\n  is not a regular file", false},
#endif
        {{"--layout", layout, source, dir / "out.txt"}, 2, "out.txt: unknown extension; TARGET ends in .xls, .xlsx, .csv or .sqlite", false},
        {{"--layout", layout, "--format", "ods", source, target}, 2, "--format takes xls, xlsx, csv or sqlite", false},
        {{"--layout", layout, "--delimiter", ";", source, target}, 2, "--delimiter applies to .csv only", false},
        {{"--layout", layout, "--delimiter", "|", source, dir / "out.csv"}, 2, "--delimiter takes ',', ';' or '\\t'", false},
        {{"--layout", layout, "--table", "1x", source, dir / "out.db"}, 2, "--table takes a name of letters", false},
        {{"--layout", escapes, "--force", "--codepage", "1252", dir / "escapes.dat", dir / "escapes.csv"}, 0,
         "zorbik-convert: 1 bytes had no character in code page 1252\n", true},
        {{"--layout", layout, "--explain", largest, target}, 0, "65534 records (of 536870911)", true},
        {{"--layout", layout, source, existing}, 2, "File exsists!\n  " + existing + "\n  the file exists (--force", true},
        {{"--layout", layout, "--force", source, existing}, 0, "", true},
        {{"--layout", layout, "--force", "--format", "xls", source, dir.Path() + "/./source.dat"}, 2, "is the source file", true},
        {{"--layout", layout, source, dir / "no/out.xls"}, 2, "out.xls\n  cannot be created: No such file", false},
        {{"--layout", layout, "--codepage", "851", source, target}, 2, "--codepage takes one of 437 737 850", false},
        {{"--layout", layout, "--preview", "0", source}, 2, "--preview takes a number", true},
        {{"--layout", layout, "--preview", "2", source, target}, 2, "expected SOURCE only with --preview", false},
        {{"--layout", after, source, target}, 1, "Column mark after the end of the record!\n  at row 13\n", false},
        {{"--layout", marks, "--trim", "--codepage", "850", "--preview", "2", source}, 0,
         "A:Text\tB:BinInteger\nab\t26212\nij\t28268\n", true}, // a preview writes no file
        {{"--layout", escapes, "--preview", "1", dir / "escapes.dat"}, 0, "A:Text\na\\tb\\n\\x01\\\\\xC3\xBC \\x00\n", true},
        {{"--layout", escapes, "--trim", "--preview", "1", dir / "escapes.dat"}, 0, "\\x01\\\\\xC3\xBC\n", true},
        {{"--layout", escapes, "--codepage", "273", "--preview", "1", dir / "ebcdic.dat"}, 0,
         "A:Text\nM\xC3\xBCller\\n\\t \n", true},
        {{"--layout", escapes, "--codepage", "65001", "--preview", "1", dir / "utf8.dat"}, 0,
         "A:Text\nM\xC3\xBC\xE2\x82\xAC\xEF\xBF\xBDx\\n\n", true},
        {{"--layout", layout, largest, target}, 0, "warning: More than 65534 lines;\nmaximum lines is selected!\n", true},
        {{"--layout", marks, "--explain", source, target}, 0,
         "Record: begins at byte 4, 8 bytes long, 20 records, 2 columns\n"
         "Column 1: rows 4-5, type row 4, Text, all bytes (2)\n"
         "Column 2: rows 6-10, type row 7, BinInteger, byte marks select bytes 7, 9\n",
         true},
        {{"--copybook", copybook, "--skip", "4", "--preview", "1", source}, 0, "\nab\tcdefgh\n", true},
        {{"--copybook", copybook, source, target}, 0, "warning: 4 bytes at the end of the source are no whole record of 8", true},
        {{"--copybook", copybook, "--skip", "160", source, target}, 1, "record (8 bytes) is longer than the source from byte 160 (4 bytes)", false},
        {{"--copybook", wide, source, target}, 2, wide + ": copybook line 1, column 18: unknown clause 'WIDE'\n", false},
        {{"--copybook", copybook, "--skip", "4", "--emit-layout"}, 0, "4 LineBegin Text", false},
        {{"--copybook", copybook, "--layout", layout, source, target}, 2, "--copybook does not go with --layout", false},
        {{"--copybook", copybook, "--mainframe", "--codepage", "1252", source, target}, 2, "--mainframe needs an EBCDIC", false},
        {{"--guess", source}, 0, "of the record, Text, constant bytes (flag or padding)\n8 LineBegin Text\n33 LineEnd\n", true},
        {{"--guess", dir / "escapes.dat"}, 1, "No record structure found: the bytes repeat at no record length.", true},
        {{"--guess", source, target}, 2, "--guess expects SOURCE only", false},
        {{"--guess", "--layout", layout, source}, 2, "--guess takes no --layout", true},
        {{"--layout", layout, largest, target}, 3, "Error on writing target file!\n  " + target + " was not completed",
         false, "C", [&] { fs::remove(target); }},
        {{"--layout", layout, largest, target}, 3, "Import file-error\n  " + largest + " could not be read to the end",
         false, "C", [&] { fs::resize_file(largest, 1000); }},
        {{"--layout", layout, largest, target}, 3, "stopped; " + target + " was deleted", false, "C",
         [] { std::raise(SIGINT); }}, // Ctrl-C
    };
    const auto run = [&](const CommandCase& row, const std::vector<std::string>& args, int& code) {
        fs::remove(target);
        WriteFile(existing, std::string("precious"));
        fs::resize_file(largest, 0xFFFFFFFFull);
        std::ostringstream out;
        HookOnFirstFlush progress(row.midway);
        std::ostream err(&progress);
        CommandIo io{out, err, row.midway != nullptr, nullptr, nullptr, row.lang};
        code = RunConvertCommand(args, io);
        return out.str() + progress.str();
    };
    for (const CommandCase& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        int code = 0;
        const std::string printed = run(row, row.args, code);
        EXPECT_EQ(code, row.code) << printed;
        EXPECT_TRUE(row.output.empty() ? printed.empty() : printed.find(row.output) != std::string::npos) << printed;
        EXPECT_EQ(!row.args.empty() && fs::is_regular_file(row.args.back()), row.target);
        EXPECT_TRUE(std::count(row.args.begin(), row.args.end(), "--force") > 0 || ReadFile(existing).size() == 8);
    }
    // Whatever is printed is wholly in the language asked for: no word of
    // the other language, paths, options and the layout file's words aside.
    const std::set<std::string> english = {"the", "cannot", "is", "was", "at", "not", "file", "expected", "needs",
                                           "unknown", "deleted", "line", "row", "takes", "could", "Missing", "Error",
                                           "exists", "of", "to", "records", "bytes", "begins", "warning", "Usage"};
    const std::set<std::string> german = {"die", "der", "das", "nicht", "ist", "wurde", "Datei", "Zeile", "bei",
                                          "unbekannt", "unbekannte", "braucht", "kann", "Bytenummer", "fehlt", "von",
                                          "nimmt", "Satz", "Spalte", "Warnung", "Aufruf", "erwartet", "gibt"};
    for (const CommandCase& row : rows) {
        if (std::count(row.args.begin(), row.args.end(), "--lang") + std::count(row.args.begin(), row.args.end(), "--lang=de") > 0)
            continue;
        for (const auto& [lang, foreign] : {std::pair{"de", &english}, std::pair{"en", &german}}) {
            std::vector<std::string> args = {"--lang", lang};
            args.insert(args.end(), row.args.begin(), row.args.end());
            SCOPED_TRACE(::testing::PrintToString(args));
            int code = 0;
            std::istringstream printed(run(row, args, code));
            EXPECT_EQ(code, row.code);
            for (std::string token; printed >> token;) {
                if (token.find('/') != std::string::npos || token[0] == '-' || token[0] == '"')
                    continue;
                std::string word;
                for (const char c : token + " ") {
                    if (std::isalpha(static_cast<unsigned char>(c))) {
                        word += c;
                    } else {
                        EXPECT_EQ(foreign->count(word), 0u) << word << " in " << token;
                        word.clear();
                    }
                }
            }
        }
    }
    EXPECT_TRUE(ReadFile(source) == small);
}

} // namespace
} // namespace zorbik
