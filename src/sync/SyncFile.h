// The files of synchronisation: each member's log and snapshot in the sync folder, and the state
// file in the data directory. One binary form for all three: a header, the members, the node
// records, and a trailer with the record count and a checksum of everything before it, so that a
// copy cut short or damaged by the sync service is recognised and left for the next sync.
//
// Texts are stored as the GB2312 bytes the tree holds, so they come back byte for byte whatever
// code page a computer uses; computer names are UTF-8. Every reader here takes any bytes: a file
// that breaks a rule throws FileError and changes nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sync/Replica.h"
#include "sync/SyncOutcome.h"

namespace synchro {

inline constexpr std::uint8_t kFormat = 1;

enum class FileKind : std::uint8_t { Log = 1, Snapshot = 2, State = 3 };

// A file's member table entry. In a snapshot or state each member also carries what it declared
// it has seen; in every file, known is what the writer has incorporated of that member.
struct FileMember {
    std::uint64_t id = 0;
    std::string computer;
    std::int64_t lastWriteMs = 0;
    Clock known = 0;
    Clock versionRead = 0;        // state only
    Clock base = 0;               // state only
    std::vector<Clock> declared;  // snapshot and state: by member index of this table
};

// What only the state file holds.
struct StateExtras {
    std::string computer;  // where this data directory lived at the last sync
    std::string directory;
    Clock clock = 0;                   // the member's hybrid logical clock
    std::uint32_t counter = 0;         // the last node counter it used under its current id
    std::uint64_t producedDigest = 0;  // the tree the last sync gave
    std::uint64_t givenDigest = 0;     // the tree the caller gave to it
    bool joined = false;               // has read the folder once
    bool published = false;            // its log in the folder holds what it has
    Clock content = 0;                 // its own content clock: its last change
    Clock snapshotBase = 0;            // the content clock of its last snapshot
    std::vector<Clock> floor;          // by member index
    std::vector<std::pair<std::string, std::uint64_t>> copiesRead;  // name, checksum
    // The nodes the last merge changed in the shown tree, with their texts before it.
    std::vector<std::pair<NodeId, std::string>> merged;
};

struct FileHeader {
    FileKind kind = FileKind::Log;
    std::uint32_t writer = 0;  // index into members
    Clock version = 0;         // the writer's clock when it wrote the file
    Clock content = 0;         // its clock at its last change of content
    Clock base = 0;            // a log: the content clock of the snapshot it follows; 0: none
    std::int64_t wallMs = 0;
};

struct ParsedFile {
    FileHeader header;
    std::vector<FileMember> members;
    // A log and the state: the nodes its writer removed since its snapshot (file member refs).
    std::vector<NodeId> collected;
    StateExtras state;
    std::uint64_t checksum = 0;
    std::uint32_t count = 0;
    std::size_t recordsAt = 0;  // offset of the first record
    std::size_t recordsEnd = 0;
};

struct FileError {
    FileFault fault;
    std::string detail;
};

// Reads the header, the members and the trailer; checks the checksum. Throws FileError.
ParsedFile ParseFile(std::string_view bytes);

// Calls visit for each record in order, its member references mapped by refs (file index to the
// caller's member index). Checks every record's form (ids, keys, references, the order of a
// merge) and, for folder files, its text with phrases::CheckStoredText: a record whose text
// fails goes to badText instead of visit. Throws FileError for any other fault, possibly after
// some calls: run it once without effect to validate, then again to apply.
void ForEachRecord(std::string_view bytes, const ParsedFile& file,
                   const std::vector<std::uint32_t>& refs,
                   const std::function<void(const Record&)>& visit,
                   const std::function<void(const Record&, phrases::TextFault)>& badText);

// The bytes of a file. members are the replica's, written whole (file index = member index);
// nodes are the records to hold, in that order; collected goes into a log or the state.
std::string WriteFile(const FileHeader& header, const Replica& replica,
                      const std::vector<std::uint32_t>& nodes, const StateExtras* state,
                      const std::vector<NodeId>& collected = {});

}  // namespace synchro
