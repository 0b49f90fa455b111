// Several phrases chosen besides the tree's selection: with Ctrl+click (one more or one less),
// Shift+click or Shift+Up and Shift+Down (a run within a category, from the phrase the choice
// counts from) and Ctrl+A (every shown phrase of a category). The commands then act on them all;
// any other step ends the choice.
#pragma once

#include <cstddef>
#include <unordered_set>
#include <vector>

#include "phrases/TreeNodes.h"

namespace editor {

class PhraseChoice {
public:
    // The chosen phrases in the order they were chosen.
    const std::vector<phrases::TTreeNode*>& Nodes() const { return m_nodes; }
    std::size_t Size() const { return m_nodes.size(); }
    bool Contains(const phrases::TTreeNode* node) const { return m_set.count(node) != 0; }

    // Ctrl+click on a phrase: chosen when it was not, no longer when it was. A choice starts with
    // the selected phrase. The phrase is where a run counts from afterwards.
    void Toggle(phrases::TTreeNode* phrase, phrases::TTreeNode* selected);
    // Shift+click on a phrase: the run of the category's shown phrases (in order) from the phrase
    // the choice counts from (the one last toggled or where a run began, else the selected one)
    // to this one.
    void Extend(phrases::TTreeNode* phrase, phrases::TTreeNode* selected,
                const std::vector<phrases::TTreeNode*>& shownPhrasesOfCategory);
    // Shift+Up (step -1) or Shift+Down (+1) on the selected phrase: the selection moves to the
    // shown phrase above or below it in its category, and the run from where the choice counts
    // from to that phrase is chosen, as a Shift+click on it would. The phrase the selection goes
    // to; null, and nothing changes, at the category's first or last phrase or when the selection
    // is no shown phrase.
    phrases::TTreeNode* Step(phrases::TTreeNode* selected, int step,
                             const std::vector<phrases::TTreeNode*>& shownPhrasesOfCategory);
    // Ctrl+A: these phrases.
    void ChooseAll(std::vector<phrases::TTreeNode*> phrases);
    // True when there was something to end.
    bool Clear();

private:
    void Set(std::vector<phrases::TTreeNode*> nodes);

    std::vector<phrases::TTreeNode*> m_nodes;
    std::unordered_set<const phrases::TTreeNode*> m_set;
    phrases::TTreeNode* m_anchor = nullptr;
};

}  // namespace editor
