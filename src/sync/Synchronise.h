// Synchronising the user's phrases between computers through a folder that a sync service the
// user already runs (OneDrive, Dropbox, Syncthing, a network share) carries between them. Each
// data directory is a member: it writes only its own files into the folder, and merges what every
// member wrote. There is no server; the folder is not trusted.
//
// How it works: every node has an id and three registers (text, place, life), each keeping its
// last write by a hybrid-logical-clock stamp, so that every member decides every conflict the same
// way. A member's log in the folder holds the nodes it wrote since its last snapshot; a snapshot
// holds its whole state, and is written when the log has grown. Local changes are found by
// comparing the user's tree with the tree the last sync gave (see TreeDiff.h), so the editor
// records nothing. The state file (in the data directory) keeps the merged registers between
// syncs.
//
// Files in the folder: srfsync-<member id in hex>.log and .snap. Copies of them that a sync service
// made in a conflict (OneDrive's name-COMPUTER.log, Dropbox's "name (COMPUTER's conflicted copy
// DATE).log", Syncthing's name.sync-conflict-DATE-TIME-DEVICE.log) are read as further sources,
// never written or deleted. Nothing read from the folder becomes a file name.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phrases/TreeNodes.h"
#include "sync/SyncOutcome.h"

namespace synchro {

// The folder as the engine sees it; the caller's is made of the platform's file calls, a test's
// lives in memory.
class SyncFolder {
public:
    virtual ~SyncFolder() = default;
    // Every file name in the folder (the engine picks out its own), as UTF-8, names beyond ASCII
    // included: a sync service's conflicted copy carries a computer's name.
    virtual std::vector<std::string> ListNames() = 0;

    // The file's bytes; none when it cannot be read now (gone meanwhile, locked, too large).
    virtual std::optional<std::string> Read(const std::string& name) = 0;
    // Replaces the file whole and safely (platform::ReplaceFileSafely); throws platform::Error
    // when it cannot, leaving the old file.
    virtual void Write(const std::string& name, std::string_view bytes) = 0;
};

// Where and when the engine runs.
struct Here {
    std::string computer;      // this computer's name, UTF-8
    std::string directory;     // the data directory's full path as the system reports it, UTF-8
    std::int64_t nowMs = 0;    // the wall clock: milliseconds since 1970 (UTC)
    std::uint64_t random = 0;  // fresh random bits, for the id of a new member
};

// A member older than this (by the time of its last write against the newest one's) is retired:
// it no longer holds back the removal of deleted nodes' markers.
inline constexpr std::int64_t kRetireMs = std::int64_t{180} * 24 * 60 * 60 * 1000;
// A member with nothing new to tell writes its log again after this long all the same, so that
// the others see it still synchronises; otherwise it writes only when it has news.
inline constexpr std::int64_t kHeartbeatMs = std::int64_t{24} * 60 * 60 * 1000;
// A deleted node's marker is kept at least this long after the deletion, also once every member
// known has seen it: a member not heard of yet (a data directory copied, a computer that read the
// folder but has not written) may still hold the node, and only the marker tells its older
// changes from later ones.
inline constexpr std::int64_t kKeepDeletedMs = std::int64_t{30} * 24 * 60 * 60 * 1000;

// See SyncEngine::SetSnapshotNodes.
inline constexpr std::size_t kSnapshotNodes = 4096;

class Engine;

// The engine with its state, for a caller that keeps it between syncs (the merge then costs the
// changes, not the reading of the state).
class SyncEngine {
public:
    // From the state file's bytes; empty when this directory never synchronised. A damaged state
    // is dropped: the directory then joins again as a new member (the next outcome says so).
    explicit SyncEngine(std::string_view state);
    ~SyncEngine();
    SyncEngine(SyncEngine&&) noexcept;
    SyncEngine& operator=(SyncEngine&&) noexcept;

    // One synchronisation. current is srf_pub.dat as loaded; never call it while the data
    // directory failed to load (its partial tree would count as the user's deletions). Reads the
    // folder, merges, writes this member's files into it, and returns the new tree; outcome.state
    // stays empty: encoding the whole state is left to SaveState, as it costs more than the merge
    // of a few changes into a large tree.
    //
    // The caller then writes SaveState() first and outcome.treeFile (when present) second. A
    // crash between the two leaves the old tree with the new state; the state remembers the
    // digest of the tree it was given, so the next sync takes that tree as unchanged and gives
    // the new one again, instead of reading it as the user's undoing of the merge. A crash before
    // the state is written leaves the old state: the changes are found again (with new stamps)
    // and the member's own log, already in the folder, merges with them.
    //
    // So synchronise when the program starts, before the user edits: after a crash between the
    // two writes the tree on disk is then the one the state knows. Edits made first to such a
    // tree are recognised when they leave the merge's results out and its earlier texts in
    // (outcome.staleTree); that tree is then joined like a first sync's (its additions and
    // renames kept as additions, its deletions and moves not taken), never read as the undoing
    // of the merge.
    SyncOutcome Synchronise(const phrases::TTreeNodes& current, const Here& here,
                            SyncFolder& folder);

    // How many nodes written since the last snapshot (or removed for good) make this member
    // write its snapshot anew (kSnapshotNodes, or a 32nd of the tree when more). Tests set a
    // few, to reach snapshots with small trees.
    void SetSnapshotNodes(std::size_t nodes);

    // The state file's bytes as they stand.
    std::string SaveState() const;
    // The members known, for a settings dialog.
    std::vector<MemberInfo> Members() const;

private:
    std::unique_ptr<Engine> m_engine;
};

// One synchronisation from the state file's bytes (empty: the first), the new state in
// outcome.state; see SyncEngine. Write outcome.state first, then outcome.treeFile.
SyncOutcome Synchronise(const phrases::TTreeNodes& current, std::string_view state,
                        const Here& here, SyncFolder& folder);

// The members a state file knows, without synchronising; empty for an empty or damaged state.
std::vector<MemberInfo> ListMembers(std::string_view state);

// The name of a member's log or snapshot in the folder; whether a listed name is one of those or
// a sync service's copy of one (the member id it names, as a hint: the content decides).
std::string LogName(std::uint64_t member);
std::string SnapshotName(std::uint64_t member);
enum class NameKind { Other, Log, Snapshot, LogCopy, SnapshotCopy };
NameKind ClassifyName(std::string_view name, std::uint64_t& member);

}  // namespace synchro
