// The phrase editor's files; see EditorFiles.h.
#include "editor/EditorFiles.h"

#include <exception>

#include "EditorTexts.h"
#include "editor/EditHistory.h"
#include "editor/LoadNotices.h"
#include "phrases/DataFileCheck.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/TreeFile.h"
#include "platform/Error.h"
#include "platform/FileStamp.h"
#include "platform/FileSystem.h"
#include "platform/Retry.h"

namespace editor {

void EditorFiles::FormShow() {
    // A tree file that fails to load does not stop the table: with the table there, 恢复备份 is
    // the way back at once. The tree's error is the one reported, and nothing is compiled.
    std::exception_ptr treeError;
    try {
        LoadPhraseTree();
    } catch (...) {
        treeError = std::current_exception();
    }
    try {
        LoadCharacterTable();
    } catch (...) {
        if (!treeError)
            throw;
    }
    if (treeError)
        std::rethrow_exception(treeError);
    CompilePhraseFile(false);
}

void EditorFiles::LoadPhraseTree() {
    m_treeLoaded = false;
    // Until the load succeeds the file on disk is one the editor could not read.
    m_diskFileUnread = true;
    m_treeUnsaved = false;
    m_health.Clear();
    std::string bytes;
    try {
        // Read first: when the file cannot be opened the tree stays as it was.
        bytes = platform::ReadWholeFile(TreePath());
    } catch (...) {
        if (!platform::StampOf(TreePath()).exists)
            m_watch.RememberMissing();
        TreeReloaded();
        throw;
    }
    m_watch.Remember(bytes);
    phrases::TreeFileCheck check = phrases::CheckTreeFile(bytes);
    if (check.NeedsConversion()) {
        // Read as GB2312 it would show garbage and compile nothing; declined, it is a file that
        // failed to load and nothing is written over it.
        if (!ConvertOnRequest(bytes, check.form)) {
            phrases::ReplaceTree(m_tree, {}, *this);
            return;
        }
        check = phrases::CheckTreeFile(bytes);
    }
    phrases::ReplaceTree(m_tree, bytes, *this);
    m_treeLoaded = true;
    // Bytes after a NUL are not part of the tree: the whole file is kept apart before the first
    // save replaces it, as a file that failed to load is.
    m_diskFileUnread = check.strayNul.has_value();
    if (check.strayNul)
        m_dialogs.Ask(StrayNulNotice(*check.strayNul, check.bytesAfterNul), texts::kNoticeCaption,
                      BoxKind::Notice);
}

bool EditorFiles::ConvertOnRequest(std::string& bytes, phrases::TreeFileForm form) {
    const char* question =
        form == phrases::TreeFileForm::Utf16 ? texts::kUtf16Question : texts::kUtf8Question;
    if (m_dialogs.Ask(question, texts::kConfirmCaption, BoxKind::Question) != Answer::Ok)
        return false;
    const phrases::ConvertedTreeFile converted = phrases::ConvertTreeFile(bytes);
    platform::ReplaceFileSafely(FreeUnreadablePath(), bytes);
    platform::ReplaceFileSafely(TreePath(), converted.bytes);
    bytes = converted.bytes;
    m_watch.Remember(bytes);
    if (!converted.dropped.empty())
        m_dialogs.Ask(ConversionNotice(converted), texts::kNoticeCaption, BoxKind::Notice);
    return true;
}

void EditorFiles::LoadCharacterTable() {
    m_table.Load(TablePath());
    m_tableLoaded = true;
}

void EditorFiles::ReloadPhraseTree() {
    LoadPhraseTree();
    if (m_tableLoaded)
        CompilePhraseFile(false);
}

void EditorFiles::SaveAndCompile() {
    // Until srf_pub.dat is written the tree holds a change the file lacks.
    m_treeUnsaved = true;
    // One generation of backup, replaced as safely as the file itself. A tree file that cannot be
    // read for it (another program holds it) cannot be replaced either, so the save fails as such.
    if (platform::StampOf(TreePath()).exists) {
        std::string previous;
        // A scanner or indexer may hold the file for a moment, as the replacement allows for.
        int systemCode = 0;
        const auto read = [&] {
            try {
                previous = platform::ReadWholeFile(TreePath());
                return true;
            } catch (const platform::Error& error) {
                systemCode = error.SystemCode();
                return false;
            }
        };
        if (!platform::RetryWhileBusy(read, [] { return true; }))
            throw platform::Error("FileCreateError", "Cannot create file %s", TreePath(),
                                  systemCode);
        // A file the editor could not read is kept apart, once, where no later save rotates it
        // away; the backup then stays the good file it was.
        if (m_diskFileUnread) {
            platform::ReplaceFileSafely(FreeUnreadablePath(), previous);
            m_diskFileUnread = false;  // kept: a retry after a failed write keeps it no second time
        } else {
            platform::ReplaceFileSafely(BackupPath(), previous);
            KeepDatedBackup(previous);
        }
    }
    const std::string bytes = phrases::FormatTree(m_tree);
    platform::ReplaceFileSafely(TreePath(), bytes);
    m_diskFileUnread = false;
    m_treeUnsaved = false;
    m_watch.Remember(bytes);
    CompilePhraseFile(false);
}

void EditorFiles::KeepDatedBackup(const std::string& previous) {
    const BackupDate today = m_today();
    if (m_datedBackupDay == today)
        return;
    const DatedBackupPlan plan =
        PlanDatedBackup(platform::ListFileNames(m_directory, kDatedBackupPrefix), today);
    if (plan.write)
        platform::ReplaceFileSafely(m_directory + *plan.write, previous);
    m_datedBackupDay = today;
    // A copy that cannot be deleted now (another program holds it) goes with a later day's save.
    for (const std::string& name : plan.remove)
        platform::RemoveFile(m_directory + name);
}

std::vector<BackupEntry> EditorFiles::ListBackups() const {
    std::vector<BackupEntry> entries;
    std::vector<std::string> names = platform::ListFileNames(m_directory, kDatedBackupPrefix);
    for (const std::string& name : names) {
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

std::optional<std::string> EditorFiles::ReadBackupNamed(const std::string& name) {
    if (name != kLatestBackupName && !DateOfBackupName(name))
        return std::nullopt;
    if (!platform::StampOf(m_directory + name).exists)
        return std::nullopt;
    return platform::ReadWholeFile(m_directory + name);
}

platform::Path EditorFiles::FreeUnreadablePath() const {
    return phrases::FreeUnreadablePath(m_directory);
}

void EditorFiles::CompilePhraseFile(bool announce) {
    phrases::CompileReport report;
    const std::string compiled = phrases::CompilePhrases(m_tree, m_table, &report);
    m_observer.PhrasesChecked(m_health.Update(m_tree, report));
    platform::ReplaceFileSafely(CompiledPath(), compiled);
    if (announce)
        m_dialogs.Ask(texts::kSaved, texts::kNoticeCaption, BoxKind::Notice);
}

void EditorFiles::TreeReloaded() {
    m_health.Clear();
    m_observer.TreeReloaded();
}

void EditorFiles::NodeDeleting(phrases::TTreeNode* node) {
    m_health.Forget(node);
    m_observer.NodeDeleting(node);
}

std::optional<std::string> EditorFiles::ReadBackup() {
    if (!platform::StampOf(BackupPath()).exists)
        return std::nullopt;
    return platform::ReadWholeFile(BackupPath());
}

bool EditorFiles::HasBackup() const { return platform::StampOf(BackupPath()).exists; }

bool EditorFiles::IsOwnFile(const std::string& path) const {
    for (const platform::Path& own : {TreePath(), BackupPath(), TablePath(), CompiledPath()})
        if (platform::IsSameFile(path, own))
            return true;
    // A dated backup's name in the data directory, whether or not it exists: the rotation would
    // delete a file written there some day. The same for the kept unreadable files, which hold
    // bytes the user may still need.
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return (DateOfBackupName(lower) || phrases::IsUnreadableFileName(lower)) &&
           platform::IsSameFile(path, m_directory + name);
}

}  // namespace editor
