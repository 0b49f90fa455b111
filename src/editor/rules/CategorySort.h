// 排序: the phrases of a category in the order of their GB2312 bytes, which for the common
// characters is pinyin order. This is the order of srf_pub.usr.
#pragma once

#include <cstddef>

#include "editor/rules/EditHistory.h"
#include "editor/rules/RearrangedTree.h"
#include "phrases/TreeNodes.h"

namespace editor {

// Sorts the children of category by their text as unsigned bytes, stable (equal texts keep their
// order), each with everything beneath it. The changes stay pending in edits until the caller
// commits them as one undo step: up to maxMovesOneByOne they are moves, above it one replacement
// of the tree file, after which every node is new (pointers held before are void). Returns
// false, changing nothing, when they are in order already.
bool SortCategory(TreeEditor& edits, phrases::TTreeNode* category,
                  std::size_t maxMovesOneByOne = kMaxChangesOneByOne);

}  // namespace editor
