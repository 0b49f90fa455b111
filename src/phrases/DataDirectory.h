// A data directory and its files, as the phrase editor and srf_tool both use them: srf_pub.dat (the
// tree), srf_pub.zc (the character table), srf_pub.usr (the compiled phrases), and the backups of
// srf_pub.dat: srf_pub.dat.bak (the version before the last save), the dated copies (see
// DatedBackups.h) and srf_pub.dat.unreadable (a file that could not be read, kept apart). It owns
// the tree and the table it reads, saves with every backup rule, compiles, and notices when another
// program writes srf_pub.dat.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "phrases/CharacterTable.h"
#include "phrases/DataFileCheck.h"
#include "phrases/DataFileNames.h"
#include "phrases/DatedBackups.h"
#include "phrases/DiskChangeWatch.h"
#include "phrases/PhraseCompiler.h"
#include "phrases/TreeNodes.h"
#include "phrases/TreeObserver.h"
#include "platform/Path.h"

namespace phrases {

// What about the files needs the user's attention (see DataFileCheck.h): the tree file as last
// read, and the table.
struct Attention {
    TreeFileCheck tree;
    bool tableShort = false;
    std::optional<int> declared;  // the table's own count; none when its bytes end before it
    int read = 0;                 // the characters read

    bool Any() const { return tree.NeedsConversion() || tree.strayNul || tableShort; }
};

class DataDirectory {
public:
    // directory ends with its separator; the file names are appended to it.
    explicit DataDirectory(platform::Path directory);

    const platform::Path& Directory() const { return m_directory; }
    platform::Path TreePath() const { return m_directory + kTreeFileName; }
    platform::Path BackupPath() const { return m_directory + kBackupFileName; }
    platform::Path TablePath() const { return m_directory + kTableFileName; }
    platform::Path CompiledPath() const { return m_directory + kCompiledFileName; }
    platform::Path ReadingsPath() const { return m_directory + kReadingsFileName; }
    platform::Path SyncSettingPath() const { return m_directory + kSyncSettingFileName; }
    platform::Path SyncStatePath() const { return m_directory + kSyncStateFileName; }

    TTreeNodes& Tree() { return m_tree; }
    const TTreeNodes& Tree() const { return m_tree; }
    const CharacterTable& Table() const { return m_table; }

    // Reads srf_pub.dat into the tree and tells the observer, also when the file is malformed (the
    // lines before the faulty one stay in the tree). Returns what the file's bytes showed: a file
    // in another encoding is not read (the tree is emptied) and counts as not loaded until it is
    // converted. Throws "Cannot open file %s" (the tree stays as it was) or the reader's "Invalid
    // level" error.
    TreeFileCheck LoadTree(TreeObserver& observer);
    // Reads srf_pub.zc; throws "Cannot open file %s" and keeps the table as it was.
    void LoadTable();
    // srf_pub.dat in UTF-8 or UTF-16 as GB2312: the original kept apart first, as a file that
    // failed to load is, then the converted file written. Load the tree again afterwards.
    ConvertedTreeFile ConvertTree();

    bool TreeLoaded() const { return m_treeLoaded; }
    bool TableLoaded() const { return m_tableLoaded; }
    // Both loaded: only then may anything be written over srf_pub.dat.
    bool DataLoaded() const { return m_treeLoaded && m_tableLoaded; }
    // The tree was replaced whole by good bytes (a backup): it counts as loaded from now on.
    void TreeRestored() { m_treeLoaded = true; }
    // True when the next save keeps srf_pub.dat apart as srf_pub.dat.unreadable rather than as
    // the backup: it failed to load, or holds bytes that are not part of the tree.
    bool KeepsFileApart() const { return m_diskFileUnread; }
    // True while the tree holds a change that srf_pub.dat lacks: a save failed since it was made.
    bool TreeUnsaved() const { return m_treeUnsaved; }
    Attention AttentionNeeded() const;

    // Writes the tree to srf_pub.dat. The file it replaces becomes srf_pub.dat.bak, by a second
    // name rather than a copy; a file that failed to load, or one with bytes after a NUL, is kept
    // as srf_pub.dat.unreadable instead (.unreadable.1, .2, ... when that name is taken) and the
    // backup stays as it was. The first save of a day that made a backup keeps it as the day's
    // dated copy too (the copies beyond the last ten days go). At every moment a whole srf_pub.dat
    // exists; a failure leaves the old file and the old backup.
    void Save();
    // Compiles the tree into srf_pub.usr and reports what it left out.
    CompileReport Compile();
    // The same straight from srf_pub.dat's bytes, without a tree (what srf_tool compile does, for
    // speed): reads the table too. The errors come as LoadTree and LoadTable would throw them,
    // the tree file's own first.
    CompileReport CompileTreeFile();

    // True when another program has written srf_pub.dat since it was last read or written here.
    bool ChangedOnDisk() { return m_watch.Changed(); }
    // Takes srf_pub.dat as it now stands as known: the next save writes over it.
    void AcceptDiskState() { m_watch.Accept(); }

    bool HasBackup() const;
    // srf_pub.dat.bak and the dated copies that exist, srf_pub.dat.bak first.
    std::vector<BackupEntry> ListBackups() const;
    // The bytes of a backup the list named; nullopt for a name that is no backup's or a file that
    // is gone.
    std::optional<std::string> ReadBackupNamed(const std::string& name) const;
    // True when path names one of the files above, whichever way it reaches it, or the name of a
    // dated copy or a kept unreadable file in the directory: an export must not write over them.
    bool IsOwnFile(const std::string& path) const;

    // The clock that dates the backups; the machine's local date unless a test sets another.
    void SetClock(std::function<BackupDate()> today) { m_today = std::move(today); }

private:
    // The backup just made, kept as the day's dated copy too, from the backup, which is never
    // written in place: a second name for it takes no room.
    void KeepDayCopy();

    platform::Path m_directory;
    TTreeNodes m_tree;
    CharacterTable m_table;
    DiskChangeWatch m_watch;
    TreeFileCheck m_check;
    bool m_treeLoaded = false;
    bool m_tableLoaded = false;
    bool m_treeUnsaved = false;
    // srf_pub.dat as it stands on disk failed to load (or was never loaded): no save may rotate
    // it away as a backup.
    bool m_diskFileUnread = true;
    std::function<BackupDate()> m_today = Today;
    std::optional<BackupDate> m_datedBackupDay;  // the day whose copy is known to exist
};

}  // namespace phrases
