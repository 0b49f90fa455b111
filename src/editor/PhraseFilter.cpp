// The filter of the phrase editor; see PhraseFilter.h.
#include "editor/PhraseFilter.h"

#include "editor/PhraseFinder.h"

namespace editor {

using phrases::TTreeNode;

FilterResult FilterTree(const phrases::TTreeNodes& tree, std::string_view sought) {
    FilterResult result;
    // The path from the root down to the node being visited; the first shownDepth of them are
    // shown already (a shown node's ancestors always are).
    std::vector<const TTreeNode*> path;
    std::size_t shownDepth = 0;
    int matchedLevel = -1;  // the highest level on the path whose own text holds sought; -1: none
    const auto show = [&](const TTreeNode* node, int level) {
        result.shown.push_back(node);
        ++(level == 0 ? result.counts.categories : result.counts.phrases);
    };
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        if (level > 0)
            ++result.counts.totalPhrases;
        path.resize(static_cast<std::size_t>(level));
        if (shownDepth > path.size())
            shownDepth = path.size();
        if (matchedLevel >= level)
            matchedLevel = -1;
        const bool matches = sought.empty() || ContainsText(node.Text(), sought);
        if (matches && matchedLevel < 0)
            matchedLevel = level;
        path.push_back(&node);
        if (matchedLevel >= 0) {
            // Ancestors not shown yet come first; nothing beneath them was shown before, so the
            // order stays the tree's.
            for (; shownDepth < path.size(); ++shownDepth)
                show(path[shownDepth], static_cast<int>(shownDepth));
        }
    });
    return result;
}

}  // namespace editor
