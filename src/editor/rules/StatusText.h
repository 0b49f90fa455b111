// What the phrase editor's status bar says: the counts of the last compile on the left; on the
// right why the selected phrase was left out, how many phrases are chosen, what the filter shows,
// or that the character table is incomplete.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "editor/rules/PhraseFilter.h"
#include "editor/rules/PhraseHealth.h"
#include "pinyin/Reading.h"

namespace editor {

struct StatusState {
    const PhraseHealth* health = nullptr;
    const phrases::TTreeNode* selected = nullptr;
    std::size_t chosen = 0;              // phrases chosen besides the selection
    std::optional<FilterCounts> filter;  // while filtered
    std::string shortTable;              // the note of an incomplete table (ShortTableNote)
    // What the last synchronisation brought (SyncNote), until the next step of the user.
    std::string syncNote;
    // The selected phrase's reading, and whether the user set it.
    std::optional<pinyin::Reading> reading;
    bool readingSet = false;
};

struct StatusText {
    std::string counts;  // GB2312
    std::string right;   // GB2312
    bool operator==(const StatusText&) const = default;
};

// Blank while nothing is compiled (the data failed to load). A left-out phrase's reason wins over
// the filter's count; several chosen phrases win over both; the table's note goes with a reason
// that names a character missing from it; a synchronisation's note comes before the table's and
// stands alone when nothing else is said; else a selected phrase's reading, marked when it is
// uncertain.
StatusText MakeStatusText(const StatusState& state);

}  // namespace editor
