// srf_tool's commands; see ToolCommands.h.
#include "tool/ToolCommands.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <map>
#include <string_view>

#include "phrases/CharacterTable.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/PhraseExport.h"
#include "phrases/PhraseImport.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "tool/CompiledFile.h"

namespace tool {

namespace {

using phrases::Gb2312ToUtf8;

// A data directory's phrase tree and character table, read the way the phrase editor reads them.
struct PhraseData {
    explicit PhraseData(const std::string& directory) {
        tree.LoadTree(directory + "srf_pub.dat");
        table.Load(directory + "srf_pub.zc");
    }
    phrases::TTreeNodes tree;
    phrases::CharacterTable table;
};

// The largest file named on the command line that is read: far beyond any phrase list, and a
// bound on the memory a mistaken argument can take.
constexpr std::uintmax_t kMaxSourceBytes = std::uintmax_t{256} << 20;

// Reads a file named on the command line whole. A pipe or a device (which may never end) and a
// file larger than kMaxSourceBytes are refused before anything is read; a file that does not
// exist gets the file layer's own message.
std::string ReadSource(const platform::Path& path) {
    const std::filesystem::path native(path.Native());
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(native, error);
    if (std::filesystem::exists(status)) {
        if (!std::filesystem::is_regular_file(status))
            throw platform::Error("FileOpenError", "Cannot open file %s: not a regular file",
                                  path);
        const std::uintmax_t size = std::filesystem::file_size(native, error);
        if (!error && size > kMaxSourceBytes)
            throw platform::Error("FileOpenError", "Cannot open file %s: larger than 256 MB",
                                  path);
    }
    return platform::ReadWholeFile(path);
}

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

constexpr char kGeneralHelp[] =
    "Usage: srf_tool COMMAND [ARGUMENTS]\n"
    "Works on the phrase files of a data directory: srf_pub.dat (the phrase tree),\n"
    "srf_pub.zc (the character table) and srf_pub.usr (the compiled phrases).\n"
    "\n"
    "Commands:\n"
    "  compile DIR                 write DIR/srf_pub.usr from srf_pub.dat and srf_pub.zc\n"
    "  check DIR                   list every phrase the compile leaves out\n"
    "  export DIR [--gb2312]       write the phrase tree to standard output\n"
    "  import DIR FILE [--dry-run] [--category TEXT]\n"
    "                              merge the phrases of FILE into the tree\n"
    "  dump FILE.usr --table FILE.zc\n"
    "                              decode a compiled file, one phrase a line\n"
    "\n"
    "srf_tool COMMAND --help tells more. Exit codes: 0 done, 1 check found phrases left out,\n"
    "2 wrong usage, 3 a file could not be read or written.\n";

constexpr char kCompileHelp[] =
    "Usage: srf_tool compile DIR\n"
    "Compiles DIR/srf_pub.dat with the character table DIR/srf_pub.zc into DIR/srf_pub.usr,\n"
    "exactly as the phrase editor does. The old srf_pub.usr is replaced only once the new one\n"
    "is written whole.\n";

constexpr char kCheckHelp[] =
    "Usage: srf_tool check DIR\n"
    "Lists every phrase of DIR/srf_pub.dat that compiling leaves out of srf_pub.usr, with its\n"
    "line in srf_pub.dat and the reason: a character not in DIR/srf_pub.zc, one character\n"
    "only, an odd number of bytes, more than 50 characters, or nothing but blanks.\n"
    "Exit code 1 when there is any.\n";

constexpr char kExportHelp[] =
    "Usage: srf_tool export DIR [--gb2312]\n"
    "Writes the phrase tree of DIR/srf_pub.dat to standard output in the same indented form\n"
    "(a TAB before each phrase, CR LF line ends): as UTF-8 with a byte-order mark, or with\n"
    "--gb2312 as GB2312 bytes.\n";

constexpr char kImportHelp[] =
    "Usage: srf_tool import DIR FILE [--dry-run] [--category TEXT]\n"
    "Merges the phrases of FILE into DIR/srf_pub.dat as the phrase editor's import does, then\n"
    "writes srf_pub.dat and compiles srf_pub.usr (each replaced only once written whole).\n"
    "FILE is UTF-16 or UTF-8 with a byte-order mark, UTF-8, or GB2312. When its first line\n"
    "starts unindented and a later line is indented, unindented lines are categories and\n"
    "indented lines their phrases; otherwise every line is a phrase of the category named by\n"
    "--category (TEXT in UTF-8). Categories are matched by their text; new ones go after the\n"
    "last. A phrase is skipped when it already exists, is longer than 64 bytes, is empty or\n"
    "holds a character GB2312 cannot hold. The summary is printed first; with --dry-run\n"
    "nothing is written. FILE must be a regular file of at most 256 MB.\n";

constexpr char kDumpHelp[] =
    "Usage: srf_tool dump FILE.usr --table FILE.zc\n"
    "Decodes a compiled phrase file with its character table: one phrase a line, UTF-8.\n";

// A failure of the command line, reported with the command's usage.
struct UsageError {
    std::string message;
};

// The arguments of one command: positionals, flags and options with a value.
class Arguments {
public:
    Arguments(const std::vector<std::string>& args, std::vector<std::string_view> flags,
              std::vector<std::string_view> valued) {
        for (std::size_t k = 1; k < args.size(); ++k) {
            const std::string& arg = args[k];
            if (arg == "--help") {
                m_help = true;
            } else if (Contains(flags, arg)) {
                m_options[arg] = "";
            } else if (Contains(valued, arg)) {
                if (k + 1 == args.size())
                    throw UsageError{"option " + arg + " needs a value"};
                m_options[arg] = args[++k];
            } else if (arg.starts_with("--")) {
                throw UsageError{"unknown option " + arg};
            } else {
                m_positionals.push_back(arg);
            }
        }
    }

    bool Help() const { return m_help; }
    bool Has(const std::string& option) const { return m_options.contains(option); }
    std::string Value(const std::string& option) const {
        const auto found = m_options.find(option);
        return found == m_options.end() ? std::string() : found->second;
    }
    const std::vector<std::string>& Positionals(std::size_t count) const {
        if (m_positionals.size() < count)
            throw UsageError{"missing argument"};
        if (m_positionals.size() > count)
            throw UsageError{"unexpected argument " + m_positionals[count]};
        return m_positionals;
    }

private:
    static bool Contains(const std::vector<std::string_view>& list, std::string_view arg) {
        for (std::string_view item : list)
            if (item == arg)
                return true;
        return false;
    }

    bool m_help = false;
    std::vector<std::string> m_positionals;
    std::map<std::string, std::string> m_options;
};

class Tool {
public:
    Tool(std::ostream& out, std::ostream& err, const ToolPlatform& platform)
        : m_out(out), m_err(err), m_platform(platform) {}

    int Run(const std::vector<std::string>& args);

private:
    int Compile(const Arguments& arguments);
    int Check(const Arguments& arguments);
    int Export(const Arguments& arguments);
    int Import(const Arguments& arguments);
    int Dump(const Arguments& arguments);

    std::string Path(const std::string& argument) const {
        return m_platform.pathFromArgument ? m_platform.pathFromArgument(argument) : argument;
    }
    std::string Console(const std::string& message) const {
        return m_platform.messageToConsole ? m_platform.messageToConsole(message) : message;
    }
    // The directory argument as the data directory: its path with a separator at the end.
    std::string Directory(const std::string& argument) const {
        std::string directory = Path(argument);
        if (directory.empty())
            directory = ".";
        if (directory.back() != '/' && directory.back() != kSeparator)
            directory += kSeparator;
        return directory;
    }

    std::ostream& m_out;
    std::ostream& m_err;
    const ToolPlatform& m_platform;
};

// Why the compile leaves a phrase out, in words.
std::string Reason(const phrases::PhraseVerdict& verdict) {
    using phrases::PhraseStatus;
    switch (verdict.status) {
    case PhraseStatus::Empty: return "nothing but blanks";
    case PhraseStatus::OddLength: return "an odd number of bytes (a single-byte character)";
    case PhraseStatus::SingleCharacter: return "one character only";
    case PhraseStatus::TooLong: return "more than 50 characters";
    case PhraseStatus::MissingCharacter: break;
    case PhraseStatus::Compiled: return "compiled";
    }
    static const char kHex[] = "0123456789ABCDEF";
    const std::string code = {kHex[verdict.missingLead >> 4], kHex[verdict.missingLead & 15],
                              kHex[verdict.missingTrail >> 4], kHex[verdict.missingTrail & 15]};
    const char32_t character =
        phrases::DoubleByteCharacter(verdict.missingLead, verdict.missingTrail);
    const std::string shown = character ? phrases::CharacterToUtf8(character) + " " : "";
    return "character " + shown + "(" + code + ") at " + std::to_string(verdict.missingAt + 1) +
           " not in srf_pub.zc";
}

int Tool::Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        m_err << kGeneralHelp;
        return kExitUsage;
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "help") {
        m_out << kGeneralHelp;
        return kExitOk;
    }
    struct Entry {
        const char* name;
        const char* help;
        std::vector<std::string_view> flags;
        std::vector<std::string_view> valued;
        int (Tool::*run)(const Arguments&);
    };
    const Entry entries[] = {
        {"compile", kCompileHelp, {}, {}, &Tool::Compile},
        {"check", kCheckHelp, {}, {}, &Tool::Check},
        {"export", kExportHelp, {"--gb2312"}, {}, &Tool::Export},
        {"import", kImportHelp, {"--dry-run"}, {"--category"}, &Tool::Import},
        {"dump", kDumpHelp, {}, {"--table"}, &Tool::Dump},
    };
    for (const Entry& entry : entries) {
        if (command != entry.name)
            continue;
        try {
            const Arguments arguments(args, entry.flags, entry.valued);
            if (arguments.Help()) {
                m_out << entry.help;
                return kExitOk;
            }
            return (this->*entry.run)(arguments);
        } catch (const UsageError& error) {
            m_err << "srf_tool " << command << ": " << error.message << "\n" << entry.help;
            return kExitUsage;
        } catch (const std::exception& error) {
            // The system's code goes with the message, so that a report from the field says why.
            m_err << Console(error.what()) << platform::SystemCodeNote(error) << "\n";
            return kExitError;
        }
    }
    m_err << "srf_tool: unknown command " << command << "\n" << kGeneralHelp;
    return kExitUsage;
}

int Tool::Compile(const Arguments& arguments) {
    const std::string directory = Directory(arguments.Positionals(1)[0]);
    // Straight from the file's bytes: the compile needs no tree. The errors come in the order of
    // PhraseData's loads: the phrase file's own (it cannot be read, a line lies too deep) first.
    const std::string source = platform::ReadWholeFile(directory + "srf_pub.dat");
    phrases::CharacterTable table;
    try {
        table.Load(directory + "srf_pub.zc");
    } catch (const platform::Error&) {
        phrases::ForEachTreeLine(source, [](std::string_view, int) {});
        throw;
    }
    phrases::CompileReport report;
    const std::string bytes = phrases::CompileTreeFile(source, table, &report);
    platform::ReplaceFileSafely(directory + "srf_pub.usr", bytes);
    m_out << "srf_pub.usr: " << report.compiled << " phrases compiled, " << report.leftOut
          << " left out\n";
    return kExitOk;
}

int Tool::Check(const Arguments& arguments) {
    const std::string directory = Directory(arguments.Positionals(1)[0]);
    PhraseData data(directory);
    phrases::CompileReport report;
    phrases::CompilePhrases(data.tree, data.table, &report);
    for (const phrases::LeftOutPhrase& phrase : report.leftOutPhrases) {
        // One line per node: the file's line number is the absolute index + 1.
        m_out << "srf_pub.dat:" << phrase.index + 1 << ": "
              << Gb2312ToUtf8(data.tree.NodeAt(phrase.index)->Text()) << ": "
              << Reason(phrase.verdict) << "\n";
    }
    m_out << report.leftOut << " of " << report.phrases << " phrases left out\n";
    return report.leftOut ? kExitLeftOut : kExitOk;
}

int Tool::Export(const Arguments& arguments) {
    const std::string directory = Directory(arguments.Positionals(1)[0]);
    phrases::TTreeNodes tree;
    tree.LoadTree(directory + "srf_pub.dat");
    const auto encoding = arguments.Has("--gb2312") ? phrases::ExportEncoding::Gb2312
                                                    : phrases::ExportEncoding::Utf8;
    m_out << phrases::ExportTree(tree, encoding);
    return kExitOk;
}

int Tool::Import(const Arguments& arguments) {
    const auto& positionals = arguments.Positionals(2);
    const std::string directory = Directory(positionals[0]);
    const std::string file = Path(positionals[1]);

    PhraseData data(directory);
    const phrases::Gb2312Text text = phrases::DecodeToGb2312(ReadSource(file));
    const phrases::ImportFormat format = phrases::DetectImportFormat(text.bytes);

    std::string category;
    if (format == phrases::ImportFormat::PlainLines) {
        if (!arguments.Has("--category"))
            throw UsageError{"the file holds plain lines: name their category with --category"};
        const auto converted =
            phrases::ConvertToGb2312(arguments.Value("--category"), phrases::TextEncoding::Utf8);
        if (!converted.unheld.empty() || converted.bytes.empty())
            throw UsageError{"the category must be a text that GB2312 can hold"};
        category = converted.bytes;
    }

    phrases::ImportPlan plan = phrases::PlanImport(data.tree, text, data.table, format, category);
    m_out << Gb2312ToUtf8(phrases::FormatImportSummary(plan.summary)) << "\n";
    // Every line not taken (but the many that exist already) and every phrase not compiled.
    for (const phrases::ImportLine& line : plan.lines) {
        const std::string reason = phrases::ImportLineReason(line);
        if (reason.empty() || line.outcome == phrases::ImportOutcome::Existing)
            continue;
        std::string shown = Gb2312ToUtf8(line.text);
        if (line.unheld)
            shown += " [" + phrases::CharacterToUtf8(line.unheld) + "]";
        m_out << Console(positionals[1]) << ":" << line.line << ": " << shown << ": "
              << Gb2312ToUtf8(reason) << "\n";
    }
    if (arguments.Has("--dry-run") || !plan.HasChanges())
        return kExitOk;

    phrases::ApplyImport(data.tree, plan);
    data.tree.SaveTree(directory + "srf_pub.dat");
    phrases::WriteCompiledFile(directory + "srf_pub.usr", data.tree, data.table);
    m_out << "srf_pub.dat and srf_pub.usr written\n";
    return kExitOk;
}

int Tool::Dump(const Arguments& arguments) {
    const std::string path = Path(arguments.Positionals(1)[0]);
    if (!arguments.Has("--table"))
        throw UsageError{"missing --table FILE.zc"};
    phrases::CharacterTable table;
    table.LoadFromBytes(ReadSource(Path(arguments.Value("--table"))));
    ReadCompiledFile(ReadSource(path), table, path,
                     [&](const std::string& phrase) { m_out << Gb2312ToUtf8(phrase) << "\n"; });
    return kExitOk;
}

}  // namespace

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const ToolPlatform& platform) {
    Tool tool(out, err, platform);
    const int code = tool.Run(args);
    out.flush();
    return code;
}

}  // namespace tool
