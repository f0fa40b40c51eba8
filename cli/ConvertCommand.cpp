#include "ConvertCommand.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "codepage/CodePages.h"
#include "copybook/Copybook.h"
#include "convert/Conversion.h"
#include "convert/PrepareConversion.h"
#include "find/GuessLayout.h"
#include "find/TableHeader.h"
#include "layout/LayoutFile.h"
#include "layout/RecordDescription.h"
#include "messages/Messages.h"
#include "preview/Preview.h"
#include "file/FileSystemPath.h"
#include "file/SourceView.h"
#include "target/TargetFormat.h"

namespace zorbik {
namespace {

struct Options {
    std::string layout;
    std::string source;
    std::string target;
    std::string lang;
    std::string codePage;
    std::string preview;
    std::string format;
    std::string delimiter;
    std::string table;
    std::string copybook;
    std::string skip;
    bool mainframe = false;
    bool emitLayout = false;
    bool trim = false;
    bool noNames = false;
    bool names = false;
    bool bom = false;
    bool force = false;
    bool explain = false;
    bool guess = false;
    bool help = false;
    bool version = false;
    // The numbers of --codepage and --preview, once checked; 0 when not given.
    std::uint16_t codePageNumber = 0;
    std::uint32_t previewRows = 0;
    std::uint64_t skipBytes = 0; // --skip, once checked
    // The target's format and what is said about it, once checked.
    TargetOptions targetOptions;
};

// What is wrong with the arguments, said once the language is known.
struct ArgumentFault {
    MessageId text;
    std::string word;
    std::string second = {};
};

// Digits alone, up to 99999; 0 for anything else.
unsigned SmallNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<unsigned>(std::stoul(text));
}

// The pages for the usage text: an indented line for each family, named
// behind it.
std::string UsageCodePages()
{
    static constexpr const char* kFamilies[] = {"DOS", "Windows", "EBCDIC", "UTF-8"}; // as CodePageKind
    std::string lines;
    const std::vector<std::uint16_t>& pages = KnownCodePages();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const CodePageKind kind = KindOfCodePage(pages[i]);
        const bool first = i == 0 || KindOfCodePage(pages[i - 1]) != kind;
        const bool last = i + 1 == pages.size() || KindOfCodePage(pages[i + 1]) != kind;
        lines += (first ? "                   " : " ") + CodePageNumber(pages[i]);
        if (last)
            lines += std::string(" (") + kFamilies[static_cast<std::size_t>(kind)] + ")\n";
    }
    return lines;
}

std::string CodePageList()
{
    std::string list;
    for (const std::uint16_t page : KnownCodePages()) {
        if (!list.empty())
            list += ' ';
        list += CodePageNumber(page);
    }
    return list;
}

// Sorts the words into options and positional arguments.
std::optional<ArgumentFault> ReadWords(const std::vector<std::string>& args, Options& options,
                                       std::vector<std::string>& positional)
{
    const std::pair<const char*, std::string Options::*> valued[] = {
        {"--layout", &Options::layout}, {"--lang", &Options::lang},
        {"--codepage", &Options::codePage}, {"--preview", &Options::preview},
        {"--format", &Options::format},     {"--delimiter", &Options::delimiter},
        {"--table", &Options::table},       {"--copybook", &Options::copybook},
        {"--skip", &Options::skip}};
    const std::pair<const char*, bool Options::*> flags[] = {
        {"--trim", &Options::trim},   {"--force", &Options::force}, {"--explain", &Options::explain},
        {"--guess", &Options::guess}, {"--help", &Options::help},   {"-h", &Options::help},
        {"--version", &Options::version}, {"--no-names", &Options::noNames}, {"--bom", &Options::bom},
        {"--names", &Options::names}, {"--mainframe", &Options::mainframe}, {"--emit-layout", &Options::emitLayout}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            return std::nullopt;
        }
        bool known = false;
        for (const auto& [name, member] : valued) {
            const std::string prefix = std::string(name) + "=";
            if (a == name) {
                if (i + 1 >= args.size())
                    return ArgumentFault{MessageId::CommandNeedsValue, a};
                options.*member = args[++i];
                known = true;
            } else if (a.rfind(prefix, 0) == 0) {
                options.*member = a.substr(prefix.size());
                known = true;
            }
        }
        for (const auto& [name, member] : flags) {
            if (a == name) {
                options.*member = true;
                known = true;
            }
        }
        if (!known && a.size() > 1 && a[0] == '-')
            return ArgumentFault{MessageId::CommandUnknownOption, a};
        if (!known)
            positional.push_back(a);
    }
    return std::nullopt;
}

// A name SQLite takes without quotes: letters, digits and '_', no digit
// first.
bool PlainName(const std::string& name)
{
    return !name.empty() && SafeTableName(name) == name;
}

// The source's file name without folder and extension.
std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

// The target's format, by --format or by TARGET's extension, and the
// options that belong to one format only.
std::optional<ArgumentFault> ParseTarget(Options& options)
{
    TargetOptions& target = options.targetOptions;
    if (!options.format.empty()) {
        const std::optional<TargetFormat> format = FormatOfWord(options.format);
        if (!format)
            return ArgumentFault{MessageId::CommandFormatValues, {}};
        target.format = *format;
    } else if (const std::optional<TargetFormat> format = FormatOfPath(options.target)) {
        target.format = *format;
    } else {
        return ArgumentFault{MessageId::CommandUnknownTarget, options.target};
    }
    const bool csv = target.format == TargetFormat::Csv;
    const bool sqlite = target.format == TargetFormat::Sqlite;
    const std::pair<bool, const char*> onlyCsv[] = {{!options.delimiter.empty(), "--delimiter"},
                                                     {options.bom, "--bom"}};
    for (const auto& [given, name] : onlyCsv)
        if (given && !csv)
            return ArgumentFault{MessageId::CommandOnlyFor, name, ".csv"};
    if (!options.table.empty() && !sqlite)
        return ArgumentFault{MessageId::CommandOnlyFor, "--table", ".sqlite"};
    if (options.noNames && target.format != TargetFormat::Csv && target.format != TargetFormat::Xlsx)
        return ArgumentFault{MessageId::CommandOnlyFor, "--no-names", ".csv, .xlsx"};
    if (options.names && target.format != TargetFormat::Xls)
        return ArgumentFault{MessageId::CommandOnlyFor, "--names", ".xls"};
    if (!options.delimiter.empty()) {
        const std::string& d = options.delimiter;
        // A tab as the two characters \t too, as a shell passes them.
        if (d == "," || d == ";" || d == "\t" || d == "\\t")
            target.delimiter = d == "\\t" ? '\t' : d[0];
        else
            return ArgumentFault{MessageId::CommandDelimiterValues, {}};
    }
    target.bom = options.bom;
    target.names = !options.noNames;
    target.sheetNames = options.names;
    if (!options.table.empty() && !PlainName(options.table))
        return ArgumentFault{MessageId::CommandTableName, {}};
    target.table = options.table.empty() ? SafeTableName(BaseName(options.source)) : options.table;
    // Checked last, so that a wrong option is named the same in every build.
    if (!FormatBuilt(target.format))
        return ArgumentFault{MessageId::CommandFormatMissing, std::string(".").append(FormatWord(target.format))};
    return std::nullopt;
}

// Checks that the options go together and takes SOURCE and TARGET.
std::optional<ArgumentFault> ParseArgs(const std::vector<std::string>& args, Options& options)
{
    std::vector<std::string> positional;
    if (auto fault = ReadWords(args, options, positional))
        return fault;
    if (options.help || options.version)
        return std::nullopt;
    if (!options.lang.empty() && options.lang != "de" && options.lang != "en")
        return ArgumentFault{MessageId::CommandLangValues, {}};
    if (options.guess) {
        if (!options.copybook.empty() || options.emitLayout || options.mainframe || !options.skip.empty())
            return ArgumentFault{MessageId::CommandCopybookAlone, {}};
        if (!options.layout.empty() || options.force || options.explain || options.trim || !options.preview.empty() ||
            !options.codePage.empty() || !options.format.empty() || !options.delimiter.empty() ||
            !options.table.empty() || options.noNames || options.names || options.bom)
            return ArgumentFault{MessageId::CommandGuessAlone, {}};
        if (positional.size() != 1)
            return ArgumentFault{MessageId::CommandGuessSource, {}};
        options.source = positional[0];
        return std::nullopt;
    }
    const bool copybook = !options.copybook.empty();
    if ((copybook && !options.layout.empty()) ||
        (!copybook && (options.emitLayout || options.mainframe || !options.skip.empty())))
        return ArgumentFault{MessageId::CommandCopybookAlone, {}};
    if (!copybook && options.layout.empty())
        return ArgumentFault{MessageId::CommandLayoutMissing, {}};
    options.codePageNumber = static_cast<std::uint16_t>(SmallNumber(options.codePage));
    if (!options.codePage.empty() && !IsKnownCodePage(options.codePageNumber))
        return ArgumentFault{MessageId::CommandCodePageValues, CodePageList()};
    if (options.mainframe && options.codePageNumber != 0 && KindOfCodePage(options.codePageNumber) != CodePageKind::Ebcdic)
        return ArgumentFault{MessageId::CommandMainframePage, {}};
    if (!options.skip.empty()) {
        if (options.skip.size() > 15 || options.skip.find_first_not_of("0123456789") != std::string::npos)
            return ArgumentFault{MessageId::CommandNeedsValue, "--skip"};
        options.skipBytes = std::stoull(options.skip);
    }
    if (options.emitLayout)
        return positional.empty() ? std::nullopt : std::optional(ArgumentFault{MessageId::CommandCopybookAlone, {}});
    const bool preview = !options.preview.empty();
    options.previewRows = SmallNumber(options.preview);
    if (preview && options.previewRows == 0)
        return ArgumentFault{MessageId::CommandPreviewRows, {}};
    if (positional.size() != (preview ? 1u : 2u))
        return ArgumentFault{preview ? MessageId::CommandPreviewSource : MessageId::CommandSourceAndTarget, {}};
    options.source = positional[0];
    if (!preview) {
        options.target = positional[1];
        return ParseTarget(options);
    }
    return std::nullopt;
}

UiLanguage ChosenLanguage(const std::string& lang, const CommandIo& io)
{
    if (lang == "de")
        return UiLanguage::German;
    if (lang == "en")
        return UiLanguage::English;
    return LanguageFromLocale(io.lcAll, io.lcMessages, io.lang);
}

std::string Number(std::uint64_t value)
{
    return std::to_string(value);
}

// The conversion that Ctrl-C (SIGINT) or SIGTERM stops: it ends as after
// any stop, with its target deleted, rather than leave half a file.
std::atomic<Conversion*> interruptible{nullptr};

void StopOnSignal(int signal)
{
    std::signal(signal, SIG_DFL); // a second one ends the program at once
    if (Conversion* conversion = interruptible.load())
        conversion->Interrupt();
}

// Catches the two signals for a conversion while it lives.
class SignalStop {
public:
    explicit SignalStop(Conversion& conversion)
    {
        interruptible = &conversion;
        interrupt_ = std::signal(SIGINT, StopOnSignal);
        terminate_ = std::signal(SIGTERM, StopOnSignal);
    }
    ~SignalStop()
    {
        std::signal(SIGINT, interrupt_ == SIG_ERR ? SIG_DFL : interrupt_);
        std::signal(SIGTERM, terminate_ == SIG_ERR ? SIG_DFL : terminate_);
        interruptible = nullptr;
    }
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

private:
    void (*interrupt_)(int);
    void (*terminate_)(int);
};

void Explain(std::ostream& out, const PreparedConversion& prepared, UiLanguage language)
{
    const RecordLayout& layout = prepared.layout;
    out << Say(MessageId::CommandExplainRecord, language,
               {Number(static_cast<std::uint64_t>(layout.recordBegin)), Number(layout.recordLength),
                Number(layout.recordCount)});
    if (prepared.sourceRecords != layout.recordCount)
        out << Say(MessageId::CommandExplainOfAll, language, {Number(prepared.sourceRecords)});
    out << (layout.columnCount == 1 ? Say(MessageId::CommandExplainOneColumn, language)
                                    : Say(MessageId::CommandExplainColumns, language, {Number(layout.columnCount)}))
        << "\n";
    const ColumnPlan& plan = prepared.plan;
    for (std::size_t c = 0; c < plan.columns.size(); ++c) {
        const PlannedColumn& column = plan.columns[c];
        out << Say(MessageId::CommandExplainColumn, language,
                   {Number(c + 1), std::to_string(column.beginRow), std::to_string(column.endRow),
                    std::to_string(column.typeRow),
                    std::string(FieldTypeWord(column.type)) + FieldOptionWords(column.type, column.options) +
                        ColumnTraitWords({column.name, 0})});
        if (column.byteMarks) {
            out << Text(MessageId::CommandExplainByteMarks, language);
            for (std::uint32_t i = 0; i < column.runCount; ++i) {
                const RowRun& run = plan.runs[column.firstRun + i];
                out << (i == 0 ? " " : ", ") << run.firstRow;
                if (run.length > 1)
                    out << "-" << run.firstRow + static_cast<std::int32_t>(run.length) - 1;
            }
        } else {
            out << Say(MessageId::CommandExplainAllBytes, language, {Number(column.byteCount)});
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

// The header line (column names and types), then one line per record,
// cells separated by tabs.
void PrintPreview(std::ostream& out, const Preview& preview, std::uint16_t codePage, UiLanguage language)
{
    for (std::size_t c = 0; c < preview.columnTypes.size(); ++c)
        out << (c == 0 ? "" : "\t") << preview.columnNames[c] << ":"
            << FieldTypeWord(preview.columnTypes[c]);
    out << "\n";
    for (const auto& row : preview.rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            out << (c == 0 ? "" : "\t")
                << PreviewCellText(row[c], preview.columnPages[c] != 0 ? preview.columnPages[c] : codePage, language);
        out << "\n";
    }
}

// A progress bar on one terminal line.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, std::uint64_t total) : err_(err), total_(total) {}
    void Show(std::uint64_t done)
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
    std::uint64_t total_;
    unsigned last_ = 1000;
};

// Prints the layout a table's header gives or, for any other source, the
// guessed one; a source without records gives exit code 1, like marks that
// describe no record.
int Guess(const SourceView& source, UiLanguage language, CommandIo& io)
{
    if (const std::optional<TableHeader> table = RecogniseTable(source)) {
        io.out << FormatTable(*table, language);
        return ExitOk;
    }
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

// The copybook of --copybook read, with the code page of --codepage or
// --mainframe, and its notes told; nothing when it cannot be read or taken.
std::optional<Copybook> ReadCopybookFile(const Options& options, UiLanguage language, CommandIo& io)
{
    errno = 0;
    std::ifstream in(FileSystemPath(options.copybook), std::ios::binary);
    std::string text(kMaxCopybookBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in && !in.eof()) {
        io.err << "zorbik-convert: "
               << DescribeFileFailure({FileFailure::Kind::CannotOpen, errno, options.copybook}, language) << "\n";
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    Copybook copybook = ReadCopybook(text, {options.mainframe, options.codePageNumber}, language);
    if (copybook.error.Failed()) {
        io.err << "zorbik-convert: " << options.copybook << ": " << copybook.error.message << "\n";
        return std::nullopt;
    }
    for (const std::string& note : copybook.notes)
        io.err << "zorbik-convert: " << note << "\n";
    return copybook;
}

// --emit-layout: the layout file of the copybook's record, its notes as
// comments above it.
int EmitLayout(const Options& options, UiLanguage language, CommandIo& io)
{
    std::ostringstream ignored;
    CommandIo quiet{io.out, ignored};
    const auto copybook = ReadCopybookFile(options, language, quiet);
    if (!copybook) {
        io.err << ignored.str();
        return ExitUsage;
    }
    io.out << "# " << Say(MessageId::CommandEmitLayout, language, {options.copybook}) << "\n";
    for (const std::string& note : copybook->notes)
        io.out << "# " << note << "\n";
    io.out << FormatLayout(LayoutFromDescription(options.skipBytes, copybook->description));
    return ExitOk;
}

// One conversion run, from the layout file to the finished target; every
// failure is told on the error stream in the user's language.
class ConvertRun {
public:
    ConvertRun(const Options& options, UiLanguage language, CommandIo& io)
        : options_(options), language_(language), io_(io)
    {
    }

    int Run(const SourceView& source)
    {
        LoadedLayout loaded;
        if (!options_.copybook.empty()) {
            const auto copybook = ReadCopybookFile(options_, language_, io_);
            if (!copybook)
                return ExitUsage;
            const std::uint64_t length = copybook->description.length;
            const std::uint64_t available = source.Size() > options_.skipBytes ? source.Size() - options_.skipBytes : 0;
            if (length > available) {
                io_.err << "zorbik-convert: "
                        << Say(MessageId::CommandCopybookTooLong, language_,
                               {Number(length), Number(options_.skipBytes), Number(available)})
                        << "\n";
                return ExitLayoutFault;
            }
            if (available % length != 0)
                io_.err << "zorbik-convert: "
                        << Say(MessageId::CommandWarning, language_,
                               {Say(MessageId::CommandCopybookLeftover, language_,
                                    {Number(available % length), Number(length)})})
                        << "\n";
            loaded.layout = LayoutFromDescription(options_.skipBytes, copybook->description);
        } else {
            loaded = LoadLayoutFile(options_.layout, source.Size(), language_);
        }
        if (loaded.error.Failed()) {
            Fail(MessageId::FaultyMarksFile, loaded.error.file.Failed()
                                                 ? loaded.error.Describe(language_)
                                                 : options_.layout + ": " + loaded.error.Describe(language_));
            return ExitUsage;
        }
        ConversionSettings& settings = loaded.layout.settings;
        if (options_.codePageNumber != 0)
            settings.codePage = options_.codePageNumber;
        settings.trimTexts = settings.trimTexts || options_.trim;
        // The preview shows every cell whole, as the formats but .xls take it.
        const bool preview = options_.previewRows != 0;
        const PreparedConversion prepared = PrepareConversion(
            loaded.layout.marks, source.Size(), settings, preview ? TargetFormat::Csv : options_.targetOptions.format);
        if (const LayoutFault fault = prepared.fault) {
            std::string detail = fault.detail != MessageId{} ? Say(fault.detail, language_, fault.args) + "\n" : "";
            if (fault.row != kNoRow)
                detail += Say(MessageId::CommandAtRow, language_, {std::to_string(fault.row)});
            Fail(fault.message, detail);
            return ExitLayoutFault;
        }
        if (preview)
            return ShowPreview(source, prepared, settings.codePage);
        return Convert(source, prepared);
    }

private:
    // The message, and below it, indented, what it is about.
    void Fail(MessageId message, const std::string& detail)
    {
        io_.err << "zorbik-convert: " << Text(message, language_) << "\n";
        if (!detail.empty())
            io_.err << "  " << Indented(detail) << "\n";
    }

    int ShowPreview(const SourceView& source, const PreparedConversion& prepared, std::uint16_t codePage)
    {
        const Preview preview = MakePreview(source, prepared, options_.previewRows);
        if (!preview.read) {
            Fail(MessageId::ImportFileError, Say(MessageId::CommandNotRead, language_, {options_.source}));
            return ExitUsage;
        }
        PrintPreview(io_.out, preview, codePage, language_);
        return ExitOk;
    }

    int Convert(const SourceView& source, const PreparedConversion& prepared)
    {
        Conversion conversion;
        const FileFailure target = conversion.OpenTarget(
            options_.target, options_.force ? NativeFile::Create::OpenAlways : NativeFile::Create::CreateNew, source,
            options_.targetOptions);
        if (target.Failed()) {
            std::string detail = DescribeFileFailure(target, language_);
            if (target.kind == FileFailure::Kind::Exists)
                detail += " (--force)";
            if (target.kind == FileFailure::Kind::IsSource)
                io_.err << "zorbik-convert: " << Indented(detail) << "\n";
            else
                Fail(MessageId::FileExists, detail);
            return ExitUsage;
        }
        for (const auto& [clamped, message] : {std::pair{prepared.clamp.columnsClamped, MessageId::TooManyColumns},
                                                std::pair{prepared.clamp.recordsClamped, MessageId::TooManyLines}})
            if (clamped)
                io_.err << "zorbik-convert: " << Say(MessageId::CommandWarning, language_, {Text(message, language_)})
                        << "\n";
        if (options_.explain)
            Explain(io_.out, prepared, language_);

        ProgressBar bar(io_.err, prepared.layout.recordCount);
        ProgressFn progress;
        if (io_.errIsTerminal)
            progress = [&bar](std::uint64_t done) { bar.Show(done); };
        const SignalStop signals(conversion);
        const ConversionOutcome outcome = conversion.RunHere(source, prepared.layout, prepared.plan, progress);
        if (io_.errIsTerminal)
            bar.End();
        if (outcome.status == ConversionStatus::Finished) {
            ReportNotes(outcome.notes, NotedCodePage(options_.targetOptions.format, prepared.plan.settings.codePage));
            for (const ColumnFault& fault : outcome.faults)
                io_.err << "zorbik-convert: " << DescribeFault(fault, language_) << "\n";
        }
        return Report(outcome.status);
    }

    // What the target had to change in the cells, a line each.
    void ReportNotes(const TargetNotes& notes, std::uint16_t codePage)
    {
        if (notes.undefinedBytes != 0)
            io_.err << "zorbik-convert: "
                    << Say(MessageId::NoteUndefinedBytes, language_, {Number(notes.undefinedBytes), CodePageNumber(codePage)})
                    << "\n";
        if (notes.textsCut != 0)
            io_.err << "zorbik-convert: " << Say(MessageId::NoteTextsCut, language_, {Number(notes.textsCut)}) << "\n";
    }

    int Report(ConversionStatus status)
    {
        switch (status) {
        case ConversionStatus::Finished:
            return ExitOk;
        case ConversionStatus::WriteFailed:
            Fail(MessageId::WriteError, Say(MessageId::CommandNotCompleted, language_, {options_.target}));
            return ExitWriteFailed;
        case ConversionStatus::ReadFailed:
            Fail(MessageId::ImportFileError,
                 Say(MessageId::CommandSourceChanged, language_, {options_.source, options_.target}));
            return ExitWriteFailed;
        case ConversionStatus::Stopped:
            break;
        }
        io_.err << "zorbik-convert: " << Say(MessageId::CommandStopped, language_, {options_.target}) << "\n";
        return ExitWriteFailed;
    }

    const Options& options_;
    UiLanguage language_;
    CommandIo& io_;
};

} // namespace

int RunConvertCommand(const std::vector<std::string>& args, CommandIo& io)
{
    Options options;
    const std::optional<ArgumentFault> fault = ParseArgs(args, options);
    const UiLanguage language = ChosenLanguage(options.lang, io);
    const std::string usage = Say(MessageId::CommandUsage, language, {UsageCodePages()});
    if (fault) {
        io.err << "zorbik-convert: " << Say(fault->text, language, {fault->word, fault->second}) << "\n\n" << usage;
        return ExitUsage;
    }
    if (options.help) {
        io.out << usage;
        return ExitOk;
    }
    if (options.version) {
        io.out << "zorbik-convert " << ZORBIK_VERSION << "\n" << Text(MessageId::CommandLicence, language) << "\n";
        return ExitOk;
    }
    if (options.emitLayout)
        return EmitLayout(options, language, io);
    SourceView source;
    if (!source.Open(options.source)) {
        io.err << "zorbik-convert: " << Text(MessageId::ImportFileError, language) << "\n  "
               << Indented(DescribeFileFailure(source.Failure(), language)) << "\n";
        return ExitUsage;
    }
    if (options.guess)
        return Guess(source, language, io);
    return ConvertRun(options, language, io).Run(source);
}

} // namespace zorbik
