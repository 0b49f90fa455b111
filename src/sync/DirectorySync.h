// The synchronisation of one data directory, as the editor and srf_tool both run it: the folder the
// user chose (kept in srf_pub.sync.ini, UTF-8; absent means off), the engine's state (kept in
// srf_pub.sync.state), one synchronisation with the order of its writes, and the user's readings
// (srf_pub.pinyin.txt), which travel with the phrases.
//
// The readings go through the engine as the phrases of one more category, named
// kReadingsCategory, that stands in the tree only for the time of a synchronisation: a line
// "phrase<TAB>reading" each. So they merge, stick when deleted and decide their conflicts as
// phrases do; a reading whose line is longer than a phrase may be stays on its own computer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "phrases/DataDirectory.h"
#include "phrases/TreeObserver.h"
#include "platform/Path.h"
#include "sync/Synchronise.h"

namespace synchro {

inline constexpr char kReadingsCategory[] = "\xA1\xBEsrf_pub.pinyin.txt\xA1\xBF";  // 【…】

// The folder of the sync service as the engine sees it: its files by their UTF-8 names, each
// read whole (at most 256 MB) and written by safe replacement.
class FolderFiles : public SyncFolder {
public:
    explicit FolderFiles(std::string folderUtf8) : m_folder(std::move(folderUtf8)) {}
    std::vector<std::string> ListNames() override;
    std::optional<std::string> Read(const std::string& name) override;
    void Write(const std::string& name, std::string_view bytes) override;

private:
    platform::Path PathOf(const std::string& name) const;
    std::string m_folder;
};

enum class SyncStatus {
    Done,
    Off,            // no folder chosen
    NotLoaded,      // srf_pub.dat or srf_pub.zc failed to load: a partial tree must not go out
    NeedsAttention  // the data directory needs attention (see phrases::Attention)
};

struct SyncReport {
    SyncStatus status = SyncStatus::Done;
    SyncOutcome outcome;  // when Done (its treeFile and state already written)
    bool treeChanged =
        false;  // srf_pub.dat was written anew: srf_pub.usr is the caller's to compile
    bool readingsChanged = false;
};

class DirectorySync {
public:
    explicit DirectorySync(phrases::DataDirectory& files) : m_files(files) {}

    // The folder chosen, UTF-8; empty when synchronisation is off.
    std::string Folder() const;
    // Chooses the folder (empty: off), written at once.
    void SetFolder(const std::string& folderUtf8);

    // One synchronisation through folder: refused while the data directory failed to load or
    // needs attention. Writes the state first, then (when the merge changed them) srf_pub.dat by
    // a save with its backups and the readings file; the observer hears of the new tree. The
    // caller compiles srf_pub.usr when the tree changed.
    SyncReport Synchronise(const Here& here, SyncFolder& folder, phrases::TreeObserver& observer);
    // The same through the folder chosen.
    SyncReport Synchronise(const Here& here, phrases::TreeObserver& observer);

    // The members known from the state, for the settings.
    std::vector<MemberInfo> Members();

private:
    SyncEngine& Engine();

    phrases::DataDirectory& m_files;
    std::optional<SyncEngine> m_engine;  // read from the state file at first use
};

// Where and when a synchronisation of the data directory runs: this computer's name, the
// directory's full path, the wall clock and fresh random bits.
Here HereNow(const phrases::DataDirectory& files);

}  // namespace synchro
