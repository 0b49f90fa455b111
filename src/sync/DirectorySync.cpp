// The synchronisation of one data directory; see DirectorySync.h.
#include "sync/DirectorySync.h"

#include <chrono>
#include <filesystem>
#include <random>

#include "phrases/TextEncoding.h"
#include "phrases/TreeFile.h"
#include "pinyin/UserReadings.h"
#include "platform/ComputerName.h"
#include "platform/Error.h"
#include "platform/FileStamp.h"
#include "platform/FileSystem.h"

namespace synchro {

namespace {

constexpr std::uintmax_t kMaxFolderFileBytes = std::uintmax_t{256} << 20;
constexpr char kFolderKey[] = "folder=";

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::optional<std::string> ReadIfThere(const platform::Path& path) {
    if (!platform::StampOf(path).exists)
        return std::nullopt;
    return platform::ReadWholeFile(path);
}

// The readings as the phrases of kReadingsCategory, appended to the tree for the time of a
// synchronisation; the category is always there, so that an empty one is no deletion.
void AppendReadings(phrases::TTreeNodes& tree, const pinyin::UserReadings& readings) {
    phrases::TTreeNode* category = tree.InsertLastChild(nullptr, kReadingsCategory);
    readings.ForEach([&](std::string_view phrase, const std::vector<pinyin::Syllable>& reading) {
        tree.InsertLastChild(category, std::string(phrase) + '\t' + pinyin::ReadingText(reading));
    });
}

// Takes kReadingsCategory out of the tree and gives its lines as a readings file's bytes.
std::string TakeReadings(phrases::TTreeNodes& tree) {
    std::string lines;
    for (phrases::TTreeNode* root = tree.FirstRoot(); root;) {
        phrases::TTreeNode* next = root->NextSibling();
        if (root->Text() == kReadingsCategory) {
            for (const phrases::TTreeNode* line = root->FirstChild(); line;
                 line = line->NextSibling())
                lines += std::string(line->Text()) + "\r\n";
            tree.DeleteNode(root);
        }
        root = next;
    }
    // The lines are GB2312; the file's own form is UTF-8. A phrase given twice (set on two
    // computers at once) keeps its later line, in the order every computer holds.
    return pinyin::UserReadings::Parse(phrases::Gb2312ToUtf8(lines)).Format();
}

SyncReport Refused(SyncStatus status) {
    SyncReport report;
    report.status = status;
    return report;
}

}  // namespace

std::vector<std::string> FolderFiles::ListNames() {
    return platform::ListFileNamesUtf8(PathOf(""));
}

std::optional<std::string> FolderFiles::Read(const std::string& name) {
    const platform::Path path = PathOf(name);
    const platform::FileStamp stamp = platform::StampOf(path);
    if (!stamp.exists || stamp.size > kMaxFolderFileBytes)
        return std::nullopt;
    try {
        return platform::ReadWholeFile(path);
    } catch (const platform::Error&) {
        return std::nullopt;  // held by the sync service now: read again at the next sync
    }
}

void FolderFiles::Write(const std::string& name, std::string_view bytes) {
    platform::ReplaceFileSafely(PathOf(name), bytes);
}

// The folder's path with its separator, and a name in it.
platform::Path FolderFiles::PathOf(const std::string& name) const {
    std::string path = m_folder;
    if (!path.empty() && path.back() != '/' && path.back() != kSeparator)
        path += kSeparator;
    return platform::Path::FromUtf8(path + name);
}

std::string DirectorySync::Folder() const {
    const std::optional<std::string> setting = ReadIfThere(m_files.SyncSettingPath());
    if (!setting)
        return {};
    std::string_view text = *setting;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(at, end - at);
        if (line.starts_with(kFolderKey))
            return std::string(line.substr(std::string_view(kFolderKey).size()));
        at = end + 1;
    }
    return {};
}

void DirectorySync::SetFolder(const std::string& folderUtf8) {
    if (folderUtf8.empty()) {
        platform::RemoveFile(m_files.SyncSettingPath());
        return;
    }
    platform::ReplaceFileSafely(m_files.SyncSettingPath(),
                                std::string(kFolderKey) + folderUtf8 + "\r\n");
}

SyncEngine& DirectorySync::Engine() {
    if (!m_engine)
        m_engine.emplace(ReadIfThere(m_files.SyncStatePath()).value_or(std::string()));
    return *m_engine;
}

std::vector<MemberInfo> DirectorySync::Members() { return Engine().Members(); }

SyncReport DirectorySync::Synchronise(const Here& here, phrases::TreeObserver& observer) {
    const std::string folder = Folder();
    if (folder.empty())
        return Refused(SyncStatus::Off);
    FolderFiles files(folder);
    return Synchronise(here, files, observer);
}

SyncReport DirectorySync::Synchronise(const Here& here, SyncFolder& folder,
                                      phrases::TreeObserver& observer) {
    // A partly read tree would go out as the deletion of everything it lacks.
    if (!m_files.DataLoaded())
        return Refused(SyncStatus::NotLoaded);
    if (m_files.AttentionNeeded().Any())
        return Refused(SyncStatus::NeedsAttention);

    const std::optional<std::string> readingsFile = ReadIfThere(m_files.ReadingsPath());
    const pinyin::UserReadings readings =
        pinyin::UserReadings::Parse(readingsFile.value_or(std::string()));
    phrases::TTreeNodes& tree = m_files.Tree();
    AppendReadings(tree, readings);
    SyncReport report;
    try {
        report.outcome = Engine().Synchronise(tree, here, folder);
    } catch (...) {
        TakeReadings(tree);
        throw;
    }
    TakeReadings(tree);

    // The state first: a stop before the tree is written then leaves a tree the state knows.
    platform::ReplaceFileSafely(m_files.SyncStatePath(), Engine().SaveState());
    if (!report.outcome.treeFile)
        return report;
    phrases::TTreeNodes mergedTree;
    phrases::ParseTree(mergedTree, report.outcome.treeFile->View());
    const std::string merged = TakeReadings(mergedTree);
    const std::string mergedFile = phrases::FormatTree(mergedTree);
    if (mergedFile != phrases::FormatTree(tree)) {
        phrases::ReplaceTree(tree, mergedFile, observer);
        m_files.Save();
        report.treeChanged = true;
    }
    if (merged != readingsFile.value_or(std::string()) && !(merged.empty() && !readingsFile)) {
        platform::ReplaceFileKeepingBackup(m_files.ReadingsPath(), merged,
                                           m_files.ReadingsPath() + ".bak");
        report.readingsChanged = true;
    }
    return report;
}

Here HereNow(const phrases::DataDirectory& files) {
    Here here;
    here.computer = platform::ComputerName();
    // Written the same way every time: a copy of the directory elsewhere is then told by it.
    std::error_code error;
    const auto absolute = std::filesystem::absolute(files.Directory().Native(), error);
    here.directory =
        error ? files.Directory().Utf8() : platform::Path::FromNative(absolute.native()).Utf8();
    here.nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
    std::random_device random;
    here.random = static_cast<std::uint64_t>(random()) << 32 | random();
    return here;
}

}  // namespace synchro
