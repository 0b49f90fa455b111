// Test helpers of synchronisation: a sync folder in memory, and a computer holding its data
// directory's two files (srf_pub.dat and the state) that synchronises through such a folder.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/TreeBuild.h"
#include "phrases/TreeDump.h"
#include "phrases/TreeFile.h"
#include "shared/MemoryFolder.h"
#include "sync/Synchronise.h"

namespace synchro::testing {

struct Computer {
    std::string name;
    std::string directory;
    std::string state;  // the state file
    std::string tree;   // srf_pub.dat
    std::int64_t skewMs = 0;
    std::uint64_t random = 1;
    SyncOutcome last;
    std::vector<Conflict> conflicts;  // of every sync so far

    Computer(std::string computer, std::string_view dump, std::uint64_t seed = 1)
        : name(std::move(computer)), directory("C:\\Users\\" + name + "\\srf"), random(seed) {
        Edit(dump);
    }

    void Sync(SyncFolder& folder, std::int64_t nowMs) {
        phrases::TTreeNodes current;
        phrases::ParseTree(current, tree);
        const Here here{name, directory, nowMs + skewMs, random++};
        last = Synchronise(current, state, here, folder);
        conflicts.insert(conflicts.end(), last.conflicts.begin(), last.conflicts.end());
        state = last.state;

        if (last.treeFile)
            tree = std::string(last.treeFile->View());
    }

    // The tree as "a[b c[d]] e", children in brackets after their parent.
    std::string Dump() const {
        phrases::TTreeNodes current;
        phrases::ParseTree(current, tree);
        return phrases::testing::Dump(current);
    }
    void Edit(std::string_view dump) {
        phrases::TTreeNodes edited;
        editor::testing::Build(edited, dump);
        tree = phrases::FormatTree(edited);
    }
};

}  // namespace synchro::testing
