// The filter of the phrase editor: which nodes the tree shows while the filter box holds a text.
#pragma once

#include <string_view>
#include <vector>

#include "phrases/TreeNodes.h"

namespace editor {

// What the status bar says while a filter is on.
struct FilterCounts {
    int categories = 0;    // categories shown
    int phrases = 0;       // phrases shown
    int totalPhrases = 0;  // phrases in the tree
};

struct FilterResult {
    // The nodes to show, in tree order: every node comes after its parent.
    std::vector<const phrases::TTreeNode*> shown;
    FilterCounts counts;
};

// Which texts match: the text contained as Find finds it, or also by pinyin.
enum class FilterRule { Text, TextOrPinyin };

// The nodes shown for sought, matched as Find matches (ContainsText: ASCII letters in any case, at
// character boundaries) or, with FilterRule::TextOrPinyin, when sought is pinyin that a run of
// the text's characters can be read as (pinyin::PinyinQuery: "nihao", "nh", "nih" all find
// 你好). A node is shown when its text holds sought, when one of its ancestors
// does, or when one of its descendants does: a matching phrase shows with its category, and a
// category whose own name matches shows with all its phrases, as one typing a category's name
// expects to see that category. An empty sought shows everything. One pass over the tree.
FilterResult FilterTree(const phrases::TTreeNodes& tree, std::string_view sought,
                        FilterRule rule = FilterRule::TextOrPinyin);

// True when the result leaves out one of the nodes (a few, such as those a command just added).
bool HidesAny(const FilterResult& result, const std::vector<const phrases::TTreeNode*>& nodes);

}  // namespace editor
