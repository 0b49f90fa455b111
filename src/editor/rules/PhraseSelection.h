// Several phrases at a time: the set chosen with Ctrl+click, Shift+click or Ctrl+A, deleted or
// moved to a category as one undo step.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "editor/rules/EditHistory.h"
#include "editor/rules/RearrangedTree.h"
#include "phrases/TreeNodes.h"

namespace editor {

// Ctrl+A: every phrase of the category the node belongs to, in order.
std::vector<phrases::TTreeNode*> PhrasesOfCategory(phrases::TTreeNode* node);

// The set as the commands take it: in tree order, each node once, without categories (they are
// neither deleted nor moved) and without a node beneath another of the set (it goes with that
// one). One pass over the tree.
std::vector<phrases::TTreeNode*> InTreeOrder(const phrases::TTreeNodes& tree,
                                             const std::vector<phrases::TTreeNode*>& set);

// "确实要删除选中的 N 条语料吗?"
std::string DeleteSetQuestion(std::size_t count);

// Deletes the phrases of a set made by InTreeOrder. The changes stay pending in edits until the
// caller commits them as one undo step, which puts every phrase back at its old place. Above
// maxOneByOne phrases the tree file is replaced whole instead, after which every node is new.
void DeletePhrases(TreeEditor& edits, const std::vector<phrases::TTreeNode*>& phrases,
                   std::size_t maxOneByOne = kMaxChangesOneByOne);

// Moves the phrases of a set made by InTreeOrder, in their order, to the start of the category
// of target, each with everything beneath it; pending in edits as above. Returns the moved
// phrases in their new places, for the window to select; empty when the tree file was replaced
// whole or nothing had to move.
std::vector<phrases::TTreeNode*> MovePhrasesToCategory(
    TreeEditor& edits, const std::vector<phrases::TTreeNode*>& phrases, phrases::TTreeNode* target,
    std::size_t maxOneByOne = kMaxChangesOneByOne);

}  // namespace editor
