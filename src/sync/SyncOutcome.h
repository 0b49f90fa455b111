// What a synchronisation tells its caller: the changes it brought, the conflicts it decided, the
// files and texts it skipped, and the members it knows. Texts of phrases are GB2312 bytes, as the
// tree holds them; computer names are UTF-8, as each computer gave its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "phrases/PhraseRules.h"
#include "platform/LargeBlock.h"

namespace synchro {

enum class ConflictKind {
    Text,      // two new texts for one node: the later kept, the other one lost
    Place,     // moved to two categories: the later move kept
    EditLost,  // changed on one computer, deleted later on another (or merged there with a node
               // of its former text): the deletion kept
    Revived,   // deleted on one computer, changed later (or given a new phrase) on another: kept
};

// Two changes of one phrase or category that were made without knowledge of each other. The later
// one (by the stamps of a hybrid logical clock, the same on every computer) was kept. To put the
// loser back, the editor inserts text as a new phrase into the category named category.
struct Conflict {
    ConflictKind kind = ConflictKind::Text;
    std::string text;            // the losing text (for the other kinds, the node's text)
    std::string category;        // the text of the category the loser had it in; empty: top level
    std::string keptText;        // the node's text now
    std::string keptCategory;    // the category it is in now; empty: top level
    std::string loserComputer;   // who made the losing change
    std::string winnerComputer;  // who made the kept one
    std::uint64_t loserId = 0;   // the members' ids, for telling two computers of one name apart
    std::uint64_t winnerId = 0;
};

// Why a file of the sync folder was not taken this time. It is read again at the next sync.
enum class FileFault {
    Unreadable,   // the folder would not give its bytes
    Damaged,      // cut short, or its checksum or count does not match: a half-synchronised copy
    NewerFormat,  // written by a newer version of this program
    Invalid,      // whole, but its content breaks the format's rules
    Waiting,      // a log whose earlier part (its writer's snapshot) is not readable yet
    Unwritable,   // one of this member's own files could not be written (see detail)
    State,        // the state file was damaged: this member started over as a new member
};

struct SkippedFile {
    std::string name;  // as the folder listed it
    FileFault fault = FileFault::Damaged;
    std::string detail;  // English, for a log
};

// A text that cannot be stored: from another member (not stored) or from this computer's own tree
// (kept here, not sent to the others).
struct SkippedText {
    std::string text;  // as it came, GB2312 (another member's text, converted as far as it goes)
    std::string computer;  // who wrote it
    phrases::TextFault fault = phrases::TextFault::None;
    bool local = false;
};

// The changes one member's files brought into this tree, or those found in this computer's tree.
struct MemberChanges {
    std::uint64_t id = 0;
    std::string computer;
    bool self = false;
    int added = 0;
    int deleted = 0;
    int changed = 0;  // renamed or moved
};

struct MemberInfo {
    std::uint64_t id = 0;
    std::string computer;
    std::int64_t lastWriteMs = 0;  // when it last wrote to the folder, by its own clock; 0: never
    bool self = false;
    bool retired = false;  // silent for so long that it no longer holds back the clean-up
};

struct SyncOutcome {
    // The new srf_pub.dat bytes when they differ from the tree given; none when it stays. In a
    // large block: a million phrases are 13 MB.
    std::optional<platform::FileBytes> treeFile;
    // The new state file bytes. Write them before treeFile (see Synchronise).
    std::string state;
    std::vector<MemberChanges> changes;
    std::vector<Conflict> conflicts;
    std::vector<SkippedFile> skippedFiles;
    std::vector<SkippedText> skippedTexts;
    std::vector<MemberInfo> members;
    // The tree given was the one from before the last merge, edited: the merged tree had not
    // been written (a crash between the two writes). Its additions and renames were joined with
    // the merged tree; its deletions and moves were not taken, as they could not be told from
    // the undoing of the merge.
    bool staleTree = false;
};

}  // namespace synchro
