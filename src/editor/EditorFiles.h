// The phrase editor's files in the data directory: srf_pub.dat (the tree), srf_pub.dat.bak (the
// version before the last save) and its dated copies (see DatedBackups.h), srf_pub.zc (the
// character table, read only) and srf_pub.usr (the compiled phrases), and the health of the
// phrases as the last compile found it. It hears of every change to the tree first, keeps the
// health in step, and passes the change on to the window, which only reads the health. Portable.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/DatedBackups.h"
#include "editor/DiskChangeWatch.h"
#include "editor/EditorCommands.h"
#include "editor/PhraseHealth.h"
#include "phrases/CharacterTable.h"
#include "phrases/DataFileCheck.h"
#include "phrases/DataFileNames.h"
#include "phrases/TreeNodes.h"
#include "platform/Path.h"

namespace editor {

class EditorFiles : public PhraseFiles, public TreeObserver {
public:
    // dataDirectory ends with its separator; the file names are appended to it.
    EditorFiles(platform::Path dataDirectory, phrases::TTreeNodes& tree, UserDialogs& dialogs,
                TreeObserver& observer)
        : m_directory(std::move(dataDirectory)),
          m_tree(tree),
          m_dialogs(dialogs),
          m_observer(observer),
          m_watch(TreePath()) {}

    platform::Path TreePath() const { return m_directory + phrases::kTreeFileName; }
    platform::Path BackupPath() const { return m_directory + phrases::kBackupFileName; }
    platform::Path TablePath() const { return m_directory + phrases::kTableFileName; }
    platform::Path CompiledPath() const { return m_directory + phrases::kCompiledFileName; }
    // The first of srf_pub.dat.unreadable, srf_pub.dat.unreadable.1, .2, ... that does not exist.
    platform::Path FreeUnreadablePath() const;

    // The show handler's work: LoadPhraseTree, LoadCharacterTable, then a silent compile. The
    // table is loaded also when the tree fails (its error is then the one thrown, and nothing is
    // compiled); the data counts as loaded only when both loads succeeded.
    void FormShow();
    // Loads the tree; the observer hears of it also when the file is malformed, since the lines
    // before the faulty one stay in the tree.
    void LoadPhraseTree();
    void LoadCharacterTable();

    bool DataLoaded() const override { return m_treeLoaded && m_tableLoaded; }
    bool TreeUnsaved() const override { return m_treeUnsaved; }
    bool KeepsFileApart() const override { return m_diskFileUnread; }
    bool TableLoaded() const override { return m_tableLoaded; }
    // Keeps the file it replaces as srf_pub.dat.bak, writes srf_pub.dat whole and compiles. A
    // file that failed to load is kept as srf_pub.dat.unreadable instead (.unreadable.1, .2, ...
    // when that name is taken), and the backup is left as it was.
    void SaveAndCompile() override;
    // Compiles srf_pub.usr and takes the compile's report into Health().
    void CompilePhraseFile(bool announce) override;
    bool ChangedOnDisk() override { return m_watch.Changed(); }
    void ReloadPhraseTree() override;
    void AcceptDiskState() override { m_watch.Accept(); }
    std::optional<std::string> ReadBackup() override;
    bool HasBackup() const override;
    void TreeRestored() override { m_treeLoaded = true; }
    bool IsOwnFile(const std::string& path) const override;

    // The clock that dates the backups; the machine's local date unless a test sets another.
    void SetClock(std::function<BackupDate()> today) { m_today = std::move(today); }
    // srf_pub.dat.bak and the dated copies that exist, for 恢复备份 to list (see SortBackups).
    std::vector<BackupEntry> ListBackups() const override;
    // The bytes of a backup the list named; nullopt for a name that is no backup's or a file
    // that is gone.
    std::optional<std::string> ReadBackupNamed(const std::string& name) override;

    const phrases::CharacterTable& Table() const { return m_table; }
    const PhraseHealth& Health() const { return m_health; }

    // The changes to the tree, passed on to the observer given above after the health has
    // dropped what they make stale: a reload all of it, a deletion the nodes beneath as well.
    void TreeReloaded() override;
    void NodeInserted(phrases::TTreeNode* node) override { m_observer.NodeInserted(node); }
    void NodeTextChanged(phrases::TTreeNode* node) override { m_observer.NodeTextChanged(node); }
    void NodeDeleting(phrases::TTreeNode* node) override;
    void PhrasesChecked(const std::vector<const phrases::TTreeNode*>& changed) override {
        m_observer.PhrasesChecked(changed);
    }

private:
    // Asks whether to convert a phrase file in UTF-8 or UTF-16 (form) to GB2312; on OK keeps the
    // original apart as a file that failed to load, writes the converted file, lists what GB2312
    // could not hold and gives the new bytes. False when the user declines.
    bool ConvertOnRequest(std::string& bytes, phrases::TreeFileForm form);
    // On the first save of a day: srf_pub.dat as it stood (previous) kept as the day's copy, and
    // the copies beyond the kept number deleted.
    void KeepDatedBackup(const std::string& previous);

    platform::Path m_directory;
    phrases::TTreeNodes& m_tree;
    UserDialogs& m_dialogs;
    TreeObserver& m_observer;
    phrases::CharacterTable m_table;
    DiskChangeWatch m_watch;
    PhraseHealth m_health;
    bool m_treeLoaded = false;
    bool m_tableLoaded = false;
    bool m_treeUnsaved = false;  // the tree holds a change that srf_pub.dat lacks
    // srf_pub.dat as it stands on disk failed to load (or was never loaded): no save may rotate
    // it away as a backup.
    bool m_diskFileUnread = true;
    std::function<BackupDate()> m_today = Today;
    std::optional<BackupDate> m_datedBackupDay;  // the day whose copy is known to exist
};

}  // namespace editor
