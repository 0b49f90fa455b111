// srf_tool's commands; see ToolCommands.h.
#include "tool/ToolCommands.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

#include "phrases/CharacterTable.h"
#include "phrases/CompiledFile.h"
#include "phrases/DataDirectory.h"
#include "phrases/DataFileCheck.h"
#include "phrases/DataFileNames.h"
#include "phrases/ImportSource.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/PhraseExport.h"
#include "phrases/PhraseImport.h"
#include "phrases/PhraseRules.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "pinyin/DictionaryExport.h"
#include "pinyin/UserReadings.h"
#include "platform/Error.h"
#include "platform/FileStamp.h"
#include "platform/FileSystem.h"
#include "sync/DirectorySync.h"

namespace tool {

namespace {

using phrases::Gb2312ToUtf8;

// A data directory with its tree and table read, the way the phrase editor reads them.
struct PhraseData {
    explicit PhraseData(const std::string& directory) : files(directory) {
        phrases::TreeObserver unseen;
        files.LoadTree(unseen);
        files.LoadTable();
    }
    phrases::DataDirectory files;
};

// What needs attention, one line each; empty when nothing does.
std::vector<std::string> Attention(const phrases::DataDirectory& files) {
    const phrases::Attention attention = files.AttentionNeeded();
    const phrases::TreeFileCheck& check = attention.tree;
    std::vector<std::string> lines;
    const std::string tree = phrases::kTreeFileName;
    if (check.form == phrases::TreeFileForm::Utf8 || check.form == phrases::TreeFileForm::Utf16)
        lines.push_back(
            tree + " is " + (check.form == phrases::TreeFileForm::Utf8 ? "UTF-8" : "UTF-16") +
            " text, not GB2312 (as Notepad saves it): srf_tool convert DIR converts it");
    if (check.strayNul)
        lines.push_back(tree + ": byte " + std::to_string(*check.strayNul + 1) + " is NUL and " +
                        std::to_string(check.bytesAfterNul) +
                        " bytes follow it; the tree ends there and they are not read");
    if (attention.tableShort)
        lines.push_back(std::string(phrases::kTableFileName) + " is incomplete: " +
                        (attention.declared
                             ? "it should hold " + std::to_string(*attention.declared) +
                                   " characters, only " + std::to_string(attention.read) +
                                   " were read"
                             : "it ends before its count of characters") +
                        "; phrases with the missing characters are left out");
    return lines;
}

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
            throw platform::Error("FileOpenError", "Cannot open file %s: not a regular file", path);
        const std::uintmax_t size = std::filesystem::file_size(native, error);
        if (!error && size > kMaxSourceBytes)
            throw platform::Error("FileOpenError", "Cannot open file %s: larger than 256 MB", path);
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
    "  export DIR [--gb2312 | --word-list]\n"
    "                              write the phrase tree to standard output\n"
    "  import DIR FILE [--dry-run] [--category TEXT] [--format NAME]\n"
    "                              merge the phrases of FILE into the tree\n"
    "  convert DIR                 convert a srf_pub.dat saved as UTF-8 or UTF-16 to GB2312\n"
    "  sync DIR [FOLDER]           synchronise the phrases through a shared folder\n"
    "  dump FILE.usr --table FILE.zc\n"
    "                              decode a compiled file, one phrase a line\n"
    "\n"
    "srf_tool COMMAND --help tells more. Exit codes: 0 done, 1 check found phrases left out,\n"
    "2 wrong usage, 3 a file could not be read or written, 4 the data directory needs\n"
    "attention (srf_pub.dat in UTF-8 or UTF-16 or with bytes after a NUL, an incomplete\n"
    "srf_pub.zc): check and compile report it, import refuses.\n";

constexpr char kCompileHelp[] =
    "Usage: srf_tool compile DIR\n"
    "Compiles DIR/srf_pub.dat with the character table DIR/srf_pub.zc into DIR/srf_pub.usr,\n"
    "exactly as the phrase editor does. The old srf_pub.usr is replaced only once the new one\n"
    "is written whole. Exit code 4 (after writing) when the data directory needs attention.\n";

const std::string kTooLong =
    "more than " + std::to_string(phrases::kMaxPhraseCharacters) + " characters";

const std::string kCheckHelp =
    "Usage: srf_tool check DIR\n"
    "Lists every phrase of DIR/srf_pub.dat that compiling leaves out of srf_pub.usr, with its\n"
    "line in srf_pub.dat and the reason: a character not in DIR/srf_pub.zc, one character\n"
    "only, an odd number of bytes, " +
    kTooLong +
    ", or nothing but blanks.\n"
    "Exit code 1 when there is any; 4 when the data directory needs attention (srf_pub.dat in\n"
    "UTF-8 or UTF-16 or with bytes after a NUL, an incomplete srf_pub.zc), with the reason.\n";

constexpr char kExportHelp[] =
    "Usage: srf_tool export DIR [--gb2312 | --word-list | --format NAME [--category TEXT]]\n"
    "                           [--output PATH]\n"
    "Writes the phrase tree of DIR/srf_pub.dat to standard output, or to PATH with --output\n"
    "(replaced only once written whole; never one of the data directory's own files). By\n"
    "default in the same indented form (a TAB before each phrase, CR LF line ends) as UTF-8\n"
    "with a byte-order mark, or with --gb2312 as GB2312 bytes. --word-list writes the phrases\n"
    "only, one a line, without categories, as UTF-8 with a byte-order mark.\n"
    "\n"
    "--format NAME writes another input method's dictionary, each phrase with its reading in\n"
    "pinyin (the readings set in the editor, DIR/srf_pub.pinyin.txt, first):\n"
    "  indented, plain   the two forms above (plain: the word list)\n"
    "  rime              Rime dictionary (.dict.yaml), categories as comments\n"
    "  msime             Microsoft IME / Mozc dictionary text (UTF-16)\n"
    "  custom-phrases    fcitx5 custom phrases (key,order=phrase)\n"
    "  qq-phrases        QQ custom phrases (key=order,phrase)\n"
    "  pinyin-text       Sogou and QQ text ('pin'yin word)\n"
    "  gboard            Gboard personal dictionary (.zip; needs --output)\n"
    "  mspy-dat          Microsoft Pinyin user-defined phrases (.dat; needs --output)\n"
    "--category TEXT (UTF-8) exports that category alone. What a format leaves out (no\n"
    "reading, too long, too many) is listed on standard error before anything is written;\n"
    "a phrase of an uncertain reading is written with its likeliest reading and listed.\n";

constexpr char kImportHelp[] =
    "Usage: srf_tool import DIR FILE [--dry-run] [--category TEXT] [--format NAME]\n"
    "Merges the phrases of FILE into DIR/srf_pub.dat as the phrase editor's import does, then\n"
    "writes srf_pub.dat and compiles srf_pub.usr (each replaced only once written whole).\n"
    "FILE is UTF-16 or UTF-8 with a byte-order mark, UTF-8, or GB2312. When its first line\n"
    "starts unindented and a later line is indented, unindented lines are categories and\n"
    "indented lines their phrases; otherwise every line is a phrase of the category named by\n"
    "--category (TEXT in UTF-8). Categories are matched by their text; new ones go after the\n"
    "last. A phrase is skipped when it already exists, is longer than 64 bytes, is empty or\n"
    "holds a character GB2312 cannot hold. The summary is printed first; with --dry-run\n"
    "nothing is written. FILE must be a regular file of at most 256 MB.\n"
    "\n"
    "Dictionaries and phrase files of other input methods are recognised by their content;\n"
    "--format NAME reads FILE as one of these:\n"
    "  indented        categories and their indented phrases (as srf_pub.dat)\n"
    "  plain           one phrase a line\n"
    "  rime            Rime dictionary (*.dict.yaml)\n"
    "  rime-userdb     Rime user dictionary snapshot (*.userdb.txt)\n"
    "  msime           Microsoft IME dictionary text, Mozc's dictionary export\n"
    "  custom-phrases  fcitx5 and Sogou custom phrases (key,order=phrase)\n"
    "  qq-phrases      QQ custom phrases (key=order,phrase)\n"
    "  pinyin-text     Sogou and QQ text exports ('pin'yin word, pin'yin word count)\n"
    "  scel            Sogou cell dictionary (.scel)\n"
    "  mspy-dat        Microsoft Pinyin user-defined phrases (.dat)\n"
    "Their words go into the category named by --category, by default a category named\n"
    "after the dictionary (its own name, else FILE's base name); a word of one character is\n"
    "skipped. Codes, weights and positions are not kept. A damaged binary file changes\n"
    "nothing and ends with exit code 3. While the data directory needs attention (see\n"
    "srf_tool check) nothing is imported and the exit code is 4.\n";

constexpr char kSyncHelp[] =
    "Usage: srf_tool sync DIR [FOLDER]\n"
    "Synchronises the phrases of DIR with the other computers (or data directories) that\n"
    "synchronise through FOLDER, a folder that a sync service carries between them\n"
    "(OneDrive, Dropbox, Syncthing, a network share), as the phrase editor does; without\n"
    "FOLDER, through the folder chosen in the editor (DIR/srf_pub.sync.ini). Writes this\n"
    "directory's own files into FOLDER, merges what every member wrote, and writes\n"
    "srf_pub.dat (with its backups), srf_pub.usr, the readings and the state\n"
    "(srf_pub.sync.state) when they change. Exit codes: 0 synchronised (with or without\n"
    "changes), 2 wrong usage or no folder, 3 synchronised but a file of FOLDER was skipped\n"
    "(damaged, half-synchronised or of a newer version: named on standard error, read again\n"
    "next time), 4 the data directory needs attention (see srf_tool check) and nothing was\n"
    "done.\n";

constexpr char kConvertHelp[] =
    "Usage: srf_tool convert DIR\n"
    "Converts DIR/srf_pub.dat from UTF-8 or UTF-16 (as Notepad saves it) to the GB2312 the\n"
    "phrase editor reads, as the editor offers to. The original is kept first as\n"
    "srf_pub.dat.unreadable (or .unreadable.1, .2, ...); characters GB2312 lacks are left out\n"
    "and listed with their lines. A srf_pub.dat in GB2312 is left as it is.\n";

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
        return Positionals(count, count);
    }
    // From least to most of them.
    const std::vector<std::string>& Positionals(std::size_t least, std::size_t most) const {
        if (m_positionals.size() < least)
            throw UsageError{"missing argument"};
        if (m_positionals.size() > most)
            throw UsageError{"unexpected argument " + m_positionals[most]};
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
    // The export's bytes to standard output, or to --output's file.
    int WriteExport(const phrases::DataDirectory& files, const Arguments& arguments,
                    std::string_view bytes);
    // The readings the user set, problems of the file listed on standard error.
    pinyin::UserReadings ReadUserReadings(const phrases::DataDirectory& files);
    static const phrases::TTreeNode* FindCategory(const phrases::TTreeNodes& tree,
                                                  const std::string& utf8);
    int Import(const Arguments& arguments);
    int Convert(const Arguments& arguments);
    int Sync(const Arguments& arguments);
    // Prints the lines of Attention to err; true when there was any.
    bool ReportAttention(const std::vector<std::string>& lines);
    int Dump(const Arguments& arguments);

    std::string Path(const std::string& argument) const {
        return m_platform.pathFromArgument ? m_platform.pathFromArgument(argument) : argument;
    }
    std::string Console(const std::string& message) const {
        return m_platform.messageToConsole ? m_platform.messageToConsole(message) : message;
    }
    // An error's message for the console. Without a platform's conversion the message is the
    // program's GB2312 around a path in the system's own bytes: only the GB2312 is converted.
    std::string ErrorText(const std::exception& error) const {
        if (m_platform.messageToConsole)
            return Console(error.what());
        const std::string_view what = error.what();
        const auto* own = dynamic_cast<const platform::Error*>(&error);
        if (!own || !own->NamedPath())
            return Gb2312ToUtf8(what);
        const auto& named = *own->NamedPath();
        return Gb2312ToUtf8(what.substr(0, named.at)) +
               std::string(what.substr(named.at, named.length)) +
               Gb2312ToUtf8(what.substr(named.at + named.length));
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
    case PhraseStatus::Empty:
        return "nothing but blanks";
    case PhraseStatus::OddLength:
        return "an odd number of bytes (a single-byte character)";
    case PhraseStatus::SingleCharacter:
        return "one character only";
    case PhraseStatus::TooLong:
        return kTooLong;
    case PhraseStatus::MissingCharacter:
        break;
    case PhraseStatus::Compiled:
        return "compiled";
    }
    static const char kHex[] = "0123456789ABCDEF";
    const std::string code = {kHex[verdict.missingLead >> 4], kHex[verdict.missingLead & 15],
                              kHex[verdict.missingTrail >> 4], kHex[verdict.missingTrail & 15]};
    const char32_t character =
        phrases::DoubleByteCharacter(verdict.missingLead, verdict.missingTrail);
    const std::string shown = character ? phrases::CharacterToUtf8(character) + " " : "";
    return "character " + shown + "(" + code + ") at " + std::to_string(verdict.missingAt + 1) +
           " not in " + phrases::kTableFileName;
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
        {"check", kCheckHelp.c_str(), {}, {}, &Tool::Check},
        {"export",
         kExportHelp,
         {"--gb2312", "--word-list"},
         {"--format", "--output", "--category"},
         &Tool::Export},
        {"import", kImportHelp, {"--dry-run"}, {"--category", "--format"}, &Tool::Import},
        {"convert", kConvertHelp, {}, {}, &Tool::Convert},
        {"sync", kSyncHelp, {}, {}, &Tool::Sync},
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
            m_err << ErrorText(error) << platform::SystemCodeNote(error) << "\n";
            return kExitError;
        }
    }
    m_err << "srf_tool: unknown command " << command << "\n" << kGeneralHelp;
    return kExitUsage;
}

int Tool::Compile(const Arguments& arguments) {
    phrases::DataDirectory files(Directory(arguments.Positionals(1)[0]));
    const phrases::CompileReport report = files.CompileTreeFile();
    m_out << phrases::kCompiledFileName << ": " << report.compiled << " phrases compiled, "
          << report.leftOut << " left out\n";
    return ReportAttention(Attention(files)) ? kExitAttention : kExitOk;
}

int Tool::Check(const Arguments& arguments) {
    const std::string directory = Directory(arguments.Positionals(1)[0]);
    PhraseData data(directory);
    const std::vector<std::string> attention = Attention(data.files);
    for (const std::string& line : attention)
        m_out << line << "\n";
    // Read as GB2312, a file in another encoding gives nothing but garbage to list.
    if (data.files.AttentionNeeded().tree.NeedsConversion())
        return kExitAttention;
    phrases::CompileReport report;
    phrases::CompilePhrases(data.files.Tree(), data.files.Table(), &report);
    for (const phrases::LeftOutPhrase& phrase : report.leftOutPhrases) {
        // One line per node: the file's line number is the absolute index + 1.
        m_out << phrases::kTreeFileName << ":" << phrase.index + 1 << ": "
              << Gb2312ToUtf8(data.files.Tree().NodeAt(phrase.index)->Text()) << ": "
              << Reason(phrase.verdict) << "\n";
    }
    m_out << report.leftOut << " of " << report.phrases << " phrases left out\n";
    if (!attention.empty())
        return kExitAttention;
    return report.leftOut ? kExitLeftOut : kExitOk;
}

int Tool::Export(const Arguments& arguments) {
    phrases::DataDirectory files(Directory(arguments.Positionals(1)[0]));
    phrases::TreeObserver unseen;
    // A file in another encoding is not read: an export of it would be empty.
    if (files.LoadTree(unseen).NeedsConversion()) {
        ReportAttention(Attention(files));
        return kExitAttention;
    }
    const std::string format = arguments.Value("--format");
    if ((arguments.Has("--gb2312") || arguments.Has("--word-list")) && arguments.Has("--format"))
        throw UsageError{"--format excludes --gb2312 and --word-list"};
    if (arguments.Has("--gb2312") && arguments.Has("--word-list"))
        throw UsageError{"--gb2312 and --word-list exclude each other"};
    if (!arguments.Has("--format") || format == "indented" || format == "plain") {
        const auto encoding = arguments.Has("--word-list") || format == "plain"
                                  ? phrases::ExportEncoding::WordList
                              : arguments.Has("--gb2312") ? phrases::ExportEncoding::Gb2312
                                                          : phrases::ExportEncoding::Utf8;
        return WriteExport(files, arguments, phrases::ExportTree(files.Tree(), encoding));
    }
    const pinyin::ExportFormatInfo* info = pinyin::FindExportFormat(format);
    if (!info)
        throw UsageError{"unknown format " + format};
    const bool binary = info->format == phrases::SourceFormat::Gboard ||
                        info->format == phrases::SourceFormat::MicrosoftPinyin;
    if (binary && !arguments.Has("--output"))
        throw UsageError{"the " + format + " format is a binary file: name it with --output PATH"};

    pinyin::ExportOptions options;
    pinyin::UserReadings readings = ReadUserReadings(files);
    options.readings = &readings;
    options.timestamp = static_cast<std::uint32_t>(std::time(nullptr));
    if (arguments.Has("--category")) {
        options.category = FindCategory(files.Tree(), arguments.Value("--category"));
        if (!options.category)
            throw UsageError{"no category " + arguments.Value("--category")};
    }
    const pinyin::DictionaryExportPlan plan =
        pinyin::PlanDictionaryExport(files.Tree(), info->format, options);
    for (const pinyin::ExportNote& note : plan.notes)
        m_err << Gb2312ToUtf8(note.Text()) << "\n";
    const pinyin::ExportFile file = pinyin::WriteDictionary(plan, options);
    if (arguments.Has("--output"))
        m_err << plan.entries.size() << " phrases written, " << plan.leftOut << " left out\n";
    return WriteExport(files, arguments, file.bytes);
}

int Tool::WriteExport(const phrases::DataDirectory& files, const Arguments& arguments,
                      std::string_view bytes) {
    if (!arguments.Has("--output")) {
        m_out << bytes;
        return kExitOk;
    }
    const std::string output = Path(arguments.Value("--output"));
    // As the editor's export: never over the data directory's own files.
    if (files.IsOwnFile(output))
        throw platform::Error("FileCreateError",
                              "Cannot create file %s: one of the data directory's own files",
                              output);
    platform::ReplaceFileSafely(output, bytes);
    return kExitOk;
}

pinyin::UserReadings Tool::ReadUserReadings(const phrases::DataDirectory& files) {
    if (!platform::StampOf(files.ReadingsPath()).exists)
        return {};
    std::vector<pinyin::ReadingsFileProblem> problems;
    pinyin::UserReadings readings =
        pinyin::UserReadings::Parse(platform::ReadWholeFile(files.ReadingsPath()), &problems);
    for (const pinyin::ReadingsFileProblem& problem : problems)
        m_err << phrases::kReadingsFileName << ": " << Gb2312ToUtf8(problem.Text()) << "\n";
    return readings;
}

const phrases::TTreeNode* Tool::FindCategory(const phrases::TTreeNodes& tree,
                                             const std::string& utf8) {
    const std::string text = phrases::ConvertToGb2312(utf8, phrases::TextEncoding::Utf8).bytes;
    for (const phrases::TTreeNode* root = tree.FirstRoot(); root; root = root->NextSibling())
        if (root->Text() == text)
            return root;
    return nullptr;
}

int Tool::Import(const Arguments& arguments) {
    const auto& positionals = arguments.Positionals(2);
    const std::string directory = Directory(positionals[0]);
    const std::string file = Path(positionals[1]);

    std::optional<phrases::SourceFormat> forced;
    if (arguments.Has("--format")) {
        forced = phrases::FormatByName(arguments.Value("--format"));
        if (!forced)
            throw UsageError{"unknown format " + arguments.Value("--format")};
    }
    PhraseData data(directory);
    if (ReportAttention(Attention(data.files))) {
        m_err << "nothing imported: " << phrases::kTreeFileName << " is not written while the data "
              << "directory needs attention\n";
        return kExitAttention;
    }
    const phrases::ImportSource source = phrases::ReadImportSource(ReadSource(file), file, forced);

    std::string category;
    if (arguments.Has("--category")) {
        const auto converted =
            phrases::ConvertToGb2312(arguments.Value("--category"), phrases::TextEncoding::Utf8);
        if (!converted.unheld.empty() || phrases::TrimText(converted.bytes).empty())
            throw UsageError{"the category must be a text that GB2312 can hold"};
        category = converted.bytes;
    }
    if (category.empty() && phrases::IsDictionary(source.format)) {
        const auto name = phrases::ConvertToGb2312(positionals[1], phrases::TextEncoding::Utf8);
        category = phrases::DictionaryCategoryName(source, name.bytes);
        if (category.empty())
            throw UsageError{
                "the dictionary has no name GB2312 can hold: name its category with "
                "--category"};
    }
    if (category.empty() && source.format == phrases::SourceFormat::PlainLines)
        throw UsageError{"the file holds plain lines: name their category with --category"};

    phrases::ImportPlan plan =
        phrases::PlanSourceImport(data.files.Tree(), source, data.files.Table(), category);
    m_out << Gb2312ToUtf8(phrases::FormatSourceSummary(source, plan)) << "\n";
    // Every line not taken (but the many that exist already, and a dictionary's many single
    // characters) and every phrase not compiled.
    for (const phrases::ImportLine& line : plan.lines) {
        const std::string reason = phrases::ImportLineReason(line);
        if (reason.empty() || line.outcome == phrases::ImportOutcome::Existing ||
            line.outcome == phrases::ImportOutcome::SingleCharacter)
            continue;
        std::string shown = line.unheld ? line.shown : Gb2312ToUtf8(line.text);
        if (line.unheld)
            shown += " [" + phrases::CharacterToUtf8(line.unheld) + "]";
        m_out << Console(positionals[1]) << ":" << line.line << ": " << shown << ": "
              << Gb2312ToUtf8(reason) << "\n";
    }
    if (arguments.Has("--dry-run") || !plan.HasChanges())
        return kExitOk;

    // Saved as the editor saves: the file it replaces becomes srf_pub.dat.bak (and the day's dated
    // copy), so that an import of the wrong file can be taken back.
    phrases::ApplyImport(data.files.Tree(), plan);
    data.files.Save();
    data.files.Compile();
    m_out << phrases::kTreeFileName << " and " << phrases::kCompiledFileName << " written\n";
    return kExitOk;
}

int Tool::Convert(const Arguments& arguments) {
    phrases::DataDirectory files(Directory(arguments.Positionals(1)[0]));
    phrases::TreeObserver unseen;
    if (!files.LoadTree(unseen).NeedsConversion()) {
        m_out << phrases::kTreeFileName << " is GB2312 already: nothing to convert\n";
        return kExitOk;
    }
    const platform::Path kept = phrases::FreeUnreadablePath(files.Directory());
    const phrases::ConvertedTreeFile converted = files.ConvertTree();
    for (const phrases::ConvertedTreeFile::Dropped& dropped : converted.dropped) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(dropped.character));
        m_out << phrases::kTreeFileName << ":" << dropped.line << ": " << dropped.lineUtf8 << ": "
              << phrases::CharacterToUtf8(dropped.character) << " (" << code
              << ") left out: GB2312 lacks it\n";
    }
    m_out << phrases::kTreeFileName << " converted to GB2312; the original is kept as "
          << Console(kept.Text()) << "\n";
    return kExitOk;
}

int Tool::Sync(const Arguments& arguments) {
    const std::vector<std::string>& positionals = arguments.Positionals(1, 2);
    phrases::DataDirectory files(Directory(positionals[0]));
    phrases::TreeObserver unseen;
    files.LoadTree(unseen);
    files.LoadTable();
    if (ReportAttention(Attention(files)))
        return kExitAttention;
    synchro::DirectorySync sync(files);
    const std::string folder = positionals.size() == 2 ? positionals[1] : sync.Folder();
    if (folder.empty())
        throw UsageError{"no folder: name one, or choose it in the editor's 同步…"};
    synchro::FolderFiles folderFiles(folder);
    const synchro::SyncReport report =
        sync.Synchronise(synchro::HereNow(files), folderFiles, unseen);
    for (const synchro::MemberChanges& changes : report.outcome.changes)
        if (!changes.self && (changes.added || changes.deleted || changes.changed))
            m_out << "from " << changes.computer << ": " << changes.added << " added, "
                  << changes.deleted << " deleted, " << changes.changed << " changed\n";
    for (const synchro::Conflict& conflict : report.outcome.conflicts)
        m_out << "conflict: kept " << Gb2312ToUtf8(conflict.keptText) << " ("
              << conflict.winnerComputer << ") over " << Gb2312ToUtf8(conflict.text) << " ("
              << conflict.loserComputer << ")\n";
    for (const synchro::SkippedText& text : report.outcome.skippedTexts)
        m_err << "not synchronised: " << Gb2312ToUtf8(text.text) << " (" << text.computer << ")\n";
    for (const synchro::SkippedFile& file : report.outcome.skippedFiles)
        m_err << "skipped " << file.name << ": " << file.detail << "\n";
    if (report.treeChanged)
        files.Compile();
    m_out << (report.treeChanged ? "srf_pub.dat and srf_pub.usr written\n" : "no change here\n");
    return report.outcome.skippedFiles.empty() ? kExitOk : kExitError;
}

bool Tool::ReportAttention(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        m_err << line << "\n";
    return !lines.empty();
}

int Tool::Dump(const Arguments& arguments) {
    const std::string path = Path(arguments.Positionals(1)[0]);
    if (!arguments.Has("--table"))
        throw UsageError{"missing --table FILE.zc"};
    phrases::CharacterTable table;
    table.LoadFromBytes(ReadSource(Path(arguments.Value("--table"))));
    phrases::ReadCompiledFile(ReadSource(path), table, path, [&](const std::string& phrase) {
        m_out << Gb2312ToUtf8(phrase) << "\n";
    });
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
