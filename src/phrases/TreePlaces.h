// Places in the phrase tree: a node's position among its siblings at every level, which outlives
// the node itself (an undone delete makes a new node at the old place), and the walks that find a
// node by position.
#pragma once

#include <vector>

#include "phrases/TreeNodes.h"

namespace phrases {

// From the roots down: the node's index among its siblings at each level.
using TreePlace = std::vector<int>;

TreePlace PlaceOf(const TTreeNode* node);
// The node at the place; null when the tree has no such place.
TTreeNode* NodeAtPlace(const TTreeNodes& tree, const TreePlace& place);
// The child at position index of parent (null: the roots); null when there are fewer.
TTreeNode* ChildAt(const TTreeNodes& tree, const TTreeNode* parent, int index);
int ChildCount(const TTreeNodes& tree, const TTreeNode* parent);
// The node's position among its siblings.
int IndexOf(const TTreeNode* node);
// The category a node belongs to: the root above it, or the node itself when it is a root.
template <class Node>
Node* CategoryOf(Node* node) {
    while (node->Parent())
        node = node->Parent();
    return node;
}

}  // namespace phrases
