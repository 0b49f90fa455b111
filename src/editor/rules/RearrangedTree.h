// The tree file of the tree with the children of some nodes rearranged: the way a command that
// changes many nodes at once makes its change in one pass (TreeEditor::ReplaceAll) where making
// it node by node would cost a walk along the siblings for every node.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "phrases/TreeNodes.h"

namespace editor {

// Above this many changes a command that changes many nodes (an import, a sort, a batch edit, a
// move or delete of several) replaces the tree file whole, one pass over the tree where the
// changes one by one would each walk along their category; up to it the changes are made one by
// one, so that the window shows each in place.
inline constexpr std::size_t kMaxChangesOneByOne = 2000;

// One child of a rearranged list: a node of the tree with everything beneath it, or (node null)
// a new node with no children.
struct ListedChild {
    const phrases::TTreeNode* node = nullptr;
    std::string text;  // for a new node
};

// The new children of a parent (null: the roots), in their new order.
using ChildLists = std::unordered_map<const phrases::TTreeNode*, std::vector<ListedChild>>;

// The file of the tree with the children of every parent in lists replaced by its list; nodes in
// no list keep their children. A node left out of every list is left out with its descendants;
// a node listed must not also be one of its own descendants. No recursion: any depth is fine.
std::string FormatRearranged(const phrases::TTreeNodes& tree, const ChildLists& lists);

}  // namespace editor
