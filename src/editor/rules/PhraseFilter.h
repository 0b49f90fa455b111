// The filter of the phrase editor: which nodes the tree shows while the filter box holds a text.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "editor/rules/EditorObserver.h"
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

// The filter box's text applied to the tree, with what the status bar counts, and the nodes that
// commands insert meanwhile: a node a command added stays in sight, so the window closes the
// filter rather than hide it.
class FilterState : public TreeObserver {
public:
    // What to show for the box's text: nullopt for everything (an empty text).
    std::optional<FilterResult> Apply(const phrases::TTreeNodes& tree, std::string_view text);
    bool Active() const { return m_active; }
    const FilterCounts& Counts() const { return m_counts; }
    // The filter applied last hides a node inserted since the one before.
    bool HidesInserted() const { return m_hidesInserted; }

    void TreeReloaded() override { m_inserted.clear(); }
    void NodeInserted(phrases::TTreeNode* node) override;
    void NodeDeleting(phrases::TTreeNode* node) override;

private:
    bool m_active = false;
    FilterCounts m_counts;
    std::vector<const phrases::TTreeNode*> m_inserted;
    bool m_hidesInserted = false;
};

}  // namespace editor
