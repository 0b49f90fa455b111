// Local changes: the user's tree compared with the tree the registers last gave, the differences
// written into the registers as this member's changes. The editor records nothing for this; a
// tree changed by another program or by hand is compared the same way.
#pragma once

#include <cstdint>
#include <vector>

#include "phrases/TreeNodes.h"
#include "sync/Replica.h"
#include "sync/SyncOutcome.h"

namespace synchro {

struct LocalDiff {
    int added = 0;
    int deleted = 0;
    int changed = 0;
    std::vector<SkippedText> kept;  // texts that stay on this computer only
    bool stale = false;             // the tree was found to predate the last merge
};

// A node the last merge changed in the shown tree, with its text before (empty: not shown then).
struct MergeChange {
    std::uint32_t node = 0;
    std::string before;
};

// How the trees are matched. Texts are unique in both, so a node keeps its identity by its text;
// a node whose text changed in place (same parent, same position among its siblings, e.g. the
// editor's Modify) is a rename. Orders are kept where they stand: of a parent's children that
// were its children before, the longest run in their old order stays, and only the others take
// new positions, so a reorder moves the fewest nodes.
enum class DiffMode {
    Changes,  // against the last tree given: every difference is a change
    Join,     // the first sync of a member: its own nodes join the shared ones; none of these is
              // deleted or moved, and nodes of a text already shared become those shared ones
};

// Compares current with replica.LastShown() (the tree the last Materialise gave, which must be
// up to date with the registers) and writes the changes, each stamped by stamp. New nodes take
// the ids self:counter+1, counter+2, ...; counter is advanced. computer names this member in the
// texts kept here.
//
// merged lists what the last merge changed. When most of those changes are missing from current
// (and their earlier forms are there), current is the tree from before that merge, edited: the
// caller never wrote the merged tree (a crash between its two writes) and the user went on with
// the old one. Read as changes, it would undo the merge; it is joined instead (its texts of
// before the merge standing for their nodes), and the result says stale.
LocalDiff ApplyLocalChanges(Replica& replica, const phrases::TTreeNodes& current,
                            const Stamp& stamp, std::uint32_t& counter, DiffMode mode,
                            const std::string& computer,
                            const std::vector<MergeChange>& merged = {});

}  // namespace synchro
