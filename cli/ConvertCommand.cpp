#include "ConvertCommand.h"

#include <iostream>

#include "messages/Messages.h"
#include "convert/Conversion.h"
#include "convert/PrepareConversion.h"
#include "find/GuessLayout.h"
#include "layout/LayoutFile.h"
#include "preview/Preview.h"
#include "marks/Marks.h"
#include "file/SourceView.h"

namespace zorbik {
namespace {

constexpr const char* kUsage =
    "Usage: zorbik-convert --layout LAYOUT [--codepage N] [--trim] [--lang de|en] [--force] [--explain]\n"
    "                      SOURCE TARGET\n"
    "       zorbik-convert --layout LAYOUT --preview N [--codepage N] [--trim] SOURCE\n"
    "       zorbik-convert --guess [--lang de|en] SOURCE > LAYOUT\n"
    "\n"
    "Converts every record of SOURCE into one row of the BIFF2 worksheet TARGET (.xls),\n"
    "cut into cells as the marks in LAYOUT describe one prototype record.\n"
    "\n"
    "  --guess          find the header, the record length and the columns of SOURCE and\n"
    "                   print them as a layout file for --layout (check it before use);\n"
    "                   exit code 1 when no record structure is found\n"
    "  --layout LAYOUT  the marks file (.zlayout, as the window's Save marks writes it):\n"
    "                   one row a line, \"ROW MARKER [TYPE]\"\n"
    "                   MARKER: LineBegin ColumnBegin ByteMark ColumnEnd LineEnd Unmarked\n"
    "                   TYPE:   Text BinInteger BinReal DecimalNumber Bcd\n"
    "  --codepage N     the code page of the source's texts, declared in TARGET so that\n"
    "                   spreadsheet programs show them right (default 1252, or the\n"
    "                   layout file's \"codepage N\" line): 437 737 850 852 857 861 865\n"
    "                   866 874 1250 1251 1252 1253 1254 1255 1256 1257 1258\n"
    "  --trim           text cells without trailing blanks and zero bytes\n"
    "  --lang de|en     language of the messages (default: from LC_ALL, LC_MESSAGES, LANG)\n"
    "  --force          overwrite TARGET if it exists\n"
    "  --explain        print the record layout and every column before converting\n"
    "  --preview N      print the first N worksheet rows, cells separated by tabs, and\n"
    "                   write no file\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "Exit codes: 0 done, 1 the marks do not describe a record (--guess: no record found),\n"
    "2 bad arguments, layout file, source or target, 3 the target could not be written\n"
    "(or the source read) to the end.\n";

struct Options {
    std::string layout;
    std::string source;
    std::string target;
    std::string lang;
    std::string codePage;
    std::string preview;
    bool trim = false;
    bool force = false;
    bool explain = false;
    bool guess = false;
    bool help = false;
    bool version = false;
};

// Digits alone, up to 99999; 0 for anything else.
unsigned SmallNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<unsigned>(std::stoul(text));
}

bool ParseArgs(const std::vector<std::string>& args, Options& options, std::string& error)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--layout" || a == "--lang" || a == "--codepage" || a == "--preview") {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            (a == "--layout"  ? options.layout
             : a == "--lang"  ? options.lang
             : a == "--preview" ? options.preview
                              : options.codePage) = args[++i];
        } else if (a.rfind("--codepage=", 0) == 0) {
            options.codePage = a.substr(11);
        } else if (a == "--trim") {
            options.trim = true;
        } else if (a.rfind("--layout=", 0) == 0) {
            options.layout = a.substr(9);
        } else if (a.rfind("--lang=", 0) == 0) {
            options.lang = a.substr(7);
        } else if (a == "--force") {
            options.force = true;
        } else if (a == "--explain") {
            options.explain = true;
        } else if (a == "--guess") {
            options.guess = true;
        } else if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--version") {
            options.version = true;
        } else if (a == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (options.help || options.version)
        return true;
    if (!options.lang.empty() && options.lang != "de" && options.lang != "en") {
        error = "--lang takes de or en";
        return false;
    }
    if (options.guess) {
        if (!options.layout.empty() || options.force || options.explain || options.trim || !options.preview.empty() ||
            !options.codePage.empty()) {
            error = "--guess takes no --layout, --force, --explain, --preview, --codepage or --trim";
            return false;
        }
        if (positional.size() != 1) {
            error = "--guess expects SOURCE only";
            return false;
        }
        options.source = positional[0];
        return true;
    }
    if (options.layout.empty()) {
        error = "--layout LAYOUT is missing";
        return false;
    }
    if (!options.codePage.empty() && !IsKnownCodePage(SmallNumber(options.codePage))) {
        error = "--codepage takes one of";
        for (const std::uint16_t page : KnownCodePages()) {
            error += ' ';
            error += std::to_string(page);
        }
        return false;
    }
    if (!options.preview.empty()) {
        if (SmallNumber(options.preview) == 0) {
            error = "--preview takes a number of rows from 1 to 99999";
            return false;
        }
        if (positional.size() != 1) {
            error = "expected SOURCE only with --preview";
            return false;
        }
        options.source = positional[0];
        return true;
    }
    if (positional.size() != 2) {
        error = "expected SOURCE and TARGET";
        return false;
    }
    options.source = positional[0];
    options.target = positional[1];
    return true;
}


void Explain(std::ostream& out, const RecordLayout& layout, const ColumnPlan& plan, std::uint32_t allRecords)
{
    out << "Record: begins at byte " << layout.recordBegin << ", " << layout.recordLength << " bytes long, " << layout.recordCount << " records";
    if (allRecords != layout.recordCount)
        out << " (of " << allRecords << ")";
    out << ", " << layout.columnCount << (layout.columnCount == 1 ? " column" : " columns") << "\n";
    for (std::size_t c = 0; c < plan.columns.size(); ++c) {
        const PlannedColumn& column = plan.columns[c];
        out << "Column " << c + 1 << ": rows " << column.beginRow << "-" << column.endRow << ", type row "
            << column.typeRow << ", " << FieldTypeWord(column.type) << ", ";
        if (column.byteMarks) {
            out << "byte marks select bytes";
            for (std::uint32_t i = 0; i < column.runCount; ++i) {
                const RowRun& run = plan.runs[column.firstRun + i];
                out << (i == 0 ? " " : ", ") << run.firstRow;
                if (run.length > 1)
                    out << "-" << run.firstRow + static_cast<std::int32_t>(run.length) - 1;
            }
        } else {
            out << "all bytes (" << column.byteCount << ")";
        }
        out << "\n";
    }
}

// A message's further lines, indented under its first.
std::string Indented(std::string text)
{
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 3))
        text.replace(at, 1, "\n  ");
    return text;
}

// The header line (column letters and types), then one line per record,
// cells separated by tabs.
void PrintPreview(std::ostream& out, const Preview& preview, std::uint16_t codePage)
{
    for (std::size_t c = 0; c < preview.columnTypes.size(); ++c)
        out << (c == 0 ? "" : "\t") << ColumnLetters(static_cast<std::uint32_t>(c)) << ":"
            << FieldTypeWord(preview.columnTypes[c]);
    out << "\n";
    for (const auto& row : preview.rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            out << (c == 0 ? "" : "\t") << PreviewCellText(row[c], codePage);
        out << "\n";
    }
}

// A progress bar on one terminal line.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, std::uint32_t total) : err_(err), total_(total) {}
    void Show(std::uint32_t done)
    {
        const unsigned percent = total_ == 0 ? 100 : static_cast<unsigned>(100ull * done / total_);
        if (percent == last_)
            return;
        last_ = percent;
        const unsigned filled = percent * 40 / 100;
        err_ << "\r[" << std::string(filled, '#') << std::string(40 - filled, '-') << "] " << percent << "% " << done
             << "/" << total_ << std::flush;
    }
    void End() { err_ << "\n" << std::flush; }

private:
    std::ostream& err_;
    std::uint32_t total_;
    unsigned last_ = 1000;
};

// Prints the guessed layout; a source without records gives exit code 1,
// like marks that describe no record.
int Guess(const SourceView& source, UiLanguage language, CommandIo& io)
{
    const RecordGuess guess = FindRecord(source);
    if (!guess.Found()) {
        io.err << "zorbik-convert: " << GuessFailureText(guess.failure, language) << "\n";
        return guess.failure == GuessFailure::ReadError ? ExitWriteFailed : ExitLayoutFault;
    }
    io.out << FormatGuess(guess, language);
    if (guess.LowConfidence())
        io.err << "zorbik-convert: " << LowConfidenceText(language) << "\n";
    return ExitOk;
}

} // namespace

int RunConvertCommand(const std::vector<std::string>& args, CommandIo& io)
{
    Options options;
    std::string error;
    if (!ParseArgs(args, options, error)) {
        io.err << "zorbik-convert: " << error << "\n\n" << kUsage;
        return ExitUsage;
    }
    if (options.help) {
        io.out << kUsage;
        return ExitOk;
    }
    if (options.version) {
        io.out << "zorbik-convert " << ZORBIK_VERSION << "\nMIT licence\n";
        return ExitOk;
    }
    const UiLanguage language = options.lang == "de"   ? UiLanguage::German
                                : options.lang == "en" ? UiLanguage::English
                                                       : LanguageFromLocale(io.lcAll, io.lcMessages, io.lang);
    auto message = [&](int id) { return std::string(LoadLocalisedString(id, language)); };

    SourceView source;
    if (!source.Open(options.source)) {
        io.err << "zorbik-convert: " << message(MsgImportFileError) << "\n  "
               << Indented(DescribeFileFailure(source.Failure(), language)) << "\n";
        return ExitUsage;
    }
    if (options.guess)
        return Guess(source, language, io);

    std::string layoutText;
    if (!ReadLayoutFile(options.layout, layoutText, error)) {
        io.err << "zorbik-convert: " << error << "\n";
        return ExitUsage;
    }
    std::vector<LayoutEntry> entries;
    ConversionSettings settings;
    if (const LayoutParseError parseError = ParseLayout(layoutText, source.Size(), entries, &settings, language)) {
        io.err << "zorbik-convert: " << options.layout << ": " << parseError.message << "\n";
        return ExitUsage;
    }

    Marks store;
    store.AddRows(static_cast<std::int32_t>(std::min<std::uint32_t>(source.Size(), 0x7FFFFFFF)));
    ApplyLayout(entries, store);

    if (!options.codePage.empty())
        settings.codePage = static_cast<std::uint16_t>(SmallNumber(options.codePage));
    settings.trimTexts = settings.trimTexts || options.trim;
    const PreparedConversion prepared = PrepareConversion(store, source.Size(), settings);
    if (const LayoutFault fault = prepared.fault) {
        io.err << "zorbik-convert: " << message(fault.messageId) << "\n";
        if (fault.row != kNoRow)
            io.err << "  at row " << fault.row << "\n";
        return ExitLayoutFault;
    }

    if (!options.preview.empty()) {
        const Preview preview = MakePreview(source, prepared, SmallNumber(options.preview));
        if (!preview.read) {
            io.err << "zorbik-convert: " << message(MsgImportFileError) << "\n  " << options.source
                   << " could not be read\n";
            return ExitUsage;
        }
        PrintPreview(io.out, preview, settings.codePage);
        return ExitOk;
    }

    Conversion conversion;
    switch (conversion.OpenTarget(options.target,
                                  options.force ? NativeFile::Create::OpenAlways : NativeFile::Create::CreateNew,
                                  source, &error)) {
    case TargetError::None:
        break;
    case TargetError::SameAsSource:
        io.err << "zorbik-convert: " << Indented(DescribeFileFailure(conversion.TargetFailure(), language)) << "\n";
        return ExitUsage;
    case TargetError::Exists:
        io.err << "zorbik-convert: " << message(MsgFileExists) << "\n  "
               << Indented(DescribeFileFailure(conversion.TargetFailure(), language)) << " (--force)\n";
        return ExitUsage;
    case TargetError::CannotCreate:
        io.err << "zorbik-convert: " << message(MsgFileExists) << "\n  "
               << Indented(DescribeFileFailure(conversion.TargetFailure(), language)) << "\n";
        return ExitUsage;
    }

    const RecordLayout& layout = prepared.layout;
    if (prepared.clamp.columnsClamped)
        io.err << "zorbik-convert: warning: " << message(MsgTooManyColumns) << "\n";
    if (prepared.clamp.recordsClamped)
        io.err << "zorbik-convert: warning: " << message(MsgTooManyLines) << "\n";
    if (options.explain)
        Explain(io.out, layout, prepared.plan, prepared.sourceRecords);

    ProgressBar bar(io.err, layout.recordCount);
    ProgressFn progress;
    if (io.errIsTerminal)
        progress = [&bar](std::uint32_t done) { bar.Show(done); };
    const ConversionOutcome outcome = conversion.RunHere(source, layout, prepared.plan, progress);
    if (io.errIsTerminal)
        bar.End();

    switch (outcome.status) {
    case ConversionStatus::Finished:
        return ExitOk;
    case ConversionStatus::WriteFailed:
        io.err << "zorbik-convert: " << message(MsgWriteError) << "\n  " << options.target
               << " was not completed and is gone (disk full, I/O error, or deleted by another program)\n";
        return ExitWriteFailed;
    case ConversionStatus::ReadFailed:
        io.err << "zorbik-convert: " << message(MsgImportFileError) << "\n  " << options.source
               << " could not be read to the end (changed while converting?); " << options.target
               << " was deleted\n";
        return ExitWriteFailed;
    case ConversionStatus::Stopped:
        break;
    }
    io.err << "zorbik-convert: stopped; " << options.target << " was deleted\n";
    return ExitWriteFailed;
}

} // namespace zorbik
