// Fuzzes every reader of the files of synchronisation: a member's log or snapshot in the sync
// folder and the state file. Whatever the bytes, nothing crashes; a state that is taken is written
// back as one that is taken again; a folder file is taken or skipped as a whole, the same way by
// two members, and the tree that comes of it reads back as written.
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "shared/MemoryFolder.h"
#include "sync/Hash.h"
#include "sync/SyncFile.h"

#include "sync/Synchronise.h"

using fuzz::Check;

namespace {

using synchro::testing::MemoryFolder;

std::string TreeOf(const synchro::SyncOutcome& outcome) {
    return outcome.treeFile ? std::string(outcome.treeFile->View()) : std::string();
}

// The input with its last eight bytes made the checksum of the rest: what a writer would have
// written, so that the readers past the checksum are reached.
std::string WithChecksum(std::string_view input) {
    std::string bytes(input);
    if (bytes.size() >= 8) {
        const std::uint64_t checksum =
            synchro::Hash64(std::string_view(bytes).substr(0, bytes.size() - 8));
        for (std::size_t k = 0; k < 8; ++k)
            bytes[bytes.size() - 8 + k] = static_cast<char>(checksum >> (8 * k));
    }
    return bytes;
}

void ReadAll(std::string_view bytes);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::Bytes(data, size);
    ReadAll(input);
    ReadAll(WithChecksum(input));
    return 0;
}

namespace {

void ReadAll(std::string_view bytes) {
    // The reader itself: a header and records, or a FileError.
    try {
        const synchro::ParsedFile file = synchro::ParseFile(bytes);
        std::vector<std::uint32_t> refs;
        for (std::uint32_t k = 0; k < file.members.size(); ++k)
            refs.push_back(k);
        synchro::ForEachRecord(
            bytes, file, refs, [](const synchro::Record&) {},
            [](const synchro::Record&, phrases::TextFault) {});
    } catch (const synchro::FileError&) {
    }

    // As the state file: taken whole or dropped; what is taken writes back as a state taken again.
    const synchro::SyncEngine engine(bytes);
    const std::string saved = engine.SaveState();
    const synchro::SyncEngine again(saved);
    Check(again.SaveState() == saved);
    synchro::ListMembers(bytes);

    // As a member's log and a sync service's copy of a snapshot, read by two new members.
    const synchro::Here here{"FUZZ", "C:\\fuzz", 1'700'000'000'000, 7};
    std::string trees[2];
    for (std::string& tree : trees) {
        MemoryFolder folder;
        folder.files["srfsync-0123456789abcdef.log"] = std::string(bytes);
        folder.files["srfsync-0123456789abcdef (PC's conflicted copy 2024-05-01).snap"] =
            std::string(bytes);
        phrases::TTreeNodes empty;
        const synchro::SyncOutcome outcome = synchro::Synchronise(empty, "", here, folder);
        tree = TreeOf(outcome);
        phrases::TTreeNodes read;
        phrases::ParseTree(read, tree);
        Check(phrases::FormatTree(read) == tree);
        Check(synchro::SyncEngine(outcome.state).SaveState().size() > 0);
    }
    Check(trees[0] == trees[1]);
}

}  // namespace
