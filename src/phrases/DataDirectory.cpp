// A data directory and its files; see DataDirectory.h.
#include "phrases/DataDirectory.h"

#include <exception>

#include "phrases/PhraseCompiler.h"
#include "phrases/TreeFile.h"
#include "platform/Error.h"
#include "platform/FileStamp.h"
#include "platform/FileSystem.h"

namespace phrases {

DataDirectory::DataDirectory(platform::Path directory)
    : m_directory(std::move(directory)), m_watch(TreePath()) {}

TreeFileCheck DataDirectory::LoadTree(TreeObserver& observer) {
    m_treeLoaded = false;
    // Until the load succeeds the file on disk is one that could not be read.
    m_diskFileUnread = true;
    m_treeUnsaved = false;
    m_check = {};
    platform::FileBytes bytes;
    try {
        // Read first: when the file cannot be opened the tree stays as it was.
        bytes = platform::ReadFileBytes(TreePath());
    } catch (...) {
        if (!platform::StampOf(TreePath()).exists)
            m_watch.RememberMissing();
        observer.TreeReloaded();
        throw;
    }
    m_watch.Remember(bytes.View());
    m_check = CheckTreeFile(bytes.View());
    if (m_check.NeedsConversion()) {
        // Read as GB2312 it would show garbage and compile nothing: not read at all.
        ReplaceTree(m_tree, {}, observer);
        return m_check;
    }
    try {
        LoadTreeBytes(m_tree, std::move(bytes));
    } catch (...) {
        observer.TreeReloaded();
        throw;
    }
    observer.TreeReloaded();
    m_treeLoaded = true;
    // Bytes after a NUL are not part of the tree: the whole file is kept apart before the first
    // save replaces it.
    m_diskFileUnread = m_check.strayNul.has_value();
    return m_check;
}

void DataDirectory::LoadTable() {
    m_table.Load(TablePath());
    m_tableLoaded = true;
}

ConvertedTreeFile DataDirectory::ConvertTree() {
    const std::string bytes = platform::ReadWholeFile(TreePath());
    ConvertedTreeFile converted = phrases::ConvertTreeFile(bytes);
    platform::ReplaceFileKeepingBackup(TreePath(), converted.bytes,
                                       FreeUnreadablePath(m_directory));
    return converted;
}

Attention DataDirectory::AttentionNeeded() const {
    Attention attention;
    attention.tree = m_check;
    attention.tableShort = m_tableLoaded && m_table.IsShort();
    attention.declared = m_table.DeclaredCount();
    attention.read = m_table.Size();
    return attention;
}

void DataDirectory::Save() {
    // Until srf_pub.dat is written the tree holds a change the file lacks.
    m_treeUnsaved = true;
    // The file replaced is kept by a second name, not read and copied: a file that could not be
    // read goes apart, once, where no later save rotates it away, and the backup then stays the
    // good file it was; otherwise it becomes the backup.
    const bool keepApart = m_diskFileUnread;
    const platform::Path kept = keepApart ? FreeUnreadablePath(m_directory) : BackupPath();
    const bool madeBackup = !keepApart && platform::StampOf(TreePath()).exists;
    TreeFormatter formatter(m_tree);
    ContentHash hash;
    platform::ReplaceFileKeepingBackup(
        TreePath(),
        [&](char* buffer, std::size_t capacity) {
            const std::size_t filled = formatter.Fill(buffer, capacity);
            hash.Add({buffer, filled});
            return filled;
        },
        kept);
    m_diskFileUnread = false;
    m_treeUnsaved = false;
    m_watch.RememberHash(hash.Value());
    if (madeBackup)
        KeepDayCopy();
}

void DataDirectory::KeepDayCopy() {
    const BackupDate today = m_today();
    if (m_datedBackupDay == today)
        return;
    const DatedBackupPlan plan =
        PlanDatedBackup(platform::ListFileNames(m_directory, kDatedBackupPrefix), today);
    if (plan.write)
        platform::KeepCopy(BackupPath(), m_directory + *plan.write);
    m_datedBackupDay = today;
    // A copy that cannot be deleted now (another program holds it) goes with a later day's save.
    for (const std::string& name : plan.remove)
        platform::RemoveFile(m_directory + name);
}

CompileReport DataDirectory::Compile() {
    CompileReport report;
    const std::string compiled = CompilePhrases(m_tree, m_table, &report);
    platform::ReplaceFileSafely(CompiledPath(), compiled);
    return report;
}

CompileReport DataDirectory::CompileTreeFile() {
    platform::FileBytes source = platform::ReadFileBytes(TreePath());
    m_check = CheckTreeFile(source.View());
    try {
        LoadTable();
    } catch (const platform::Error&) {
        ForEachTreeLine(source.View(), [](std::string_view, int) {});  // its own error first
        throw;
    }
    CompileReport report;
    const platform::FileBytes bytes = phrases::CompileTreeFile(std::move(source), m_table, &report);
    platform::ReplaceFileSafely(CompiledPath(), bytes.View());
    return report;
}

bool DataDirectory::HasBackup() const { return platform::StampOf(BackupPath()).exists; }

std::vector<BackupEntry> DataDirectory::ListBackups() const {
    std::vector<BackupEntry> entries;
    for (const std::string& name : platform::ListFileNames(m_directory, kDatedBackupPrefix)) {
        if (name != kLatestBackupName && !DateOfBackupName(name))
            continue;
        try {
            entries.push_back(DescribeBackup(name, platform::ReadWholeFile(m_directory + name)));
        } catch (const platform::Error&) {
            // held by another program or gone meanwhile: not offered
        }
    }
    SortBackups(entries);
    return entries;
}

std::optional<std::string> DataDirectory::ReadBackupNamed(const std::string& name) const {
    if (name != kLatestBackupName && !DateOfBackupName(name))
        return std::nullopt;
    if (!platform::StampOf(m_directory + name).exists)
        return std::nullopt;
    return platform::ReadWholeFile(m_directory + name);
}

bool DataDirectory::IsOwnFile(const std::string& path) const {
    for (const platform::Path& own :
         {TreePath(), BackupPath(), TablePath(), CompiledPath(), ReadingsPath(),
          ReadingsPath() + ".bak", SyncSettingPath(), SyncStatePath()})
        if (platform::IsSameFile(path, own))
            return true;
    // A dated backup's name in the directory, whether or not it exists: the rotation would delete
    // a file written there some day. The same for the kept unreadable files, which hold bytes the
    // user may still need.
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return (DateOfBackupName(lower) || IsUnreadableFileName(lower)) &&
           platform::IsSameFile(path, m_directory + name);
}

}  // namespace phrases
