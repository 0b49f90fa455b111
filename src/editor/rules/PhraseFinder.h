// Find in the phrase tree: the next node, category or phrase, whose text holds the sought text.
#pragma once

#include <string_view>

#include "phrases/TreeNodes.h"

namespace editor {

// True when text holds sought at a character boundary: a GB2312 character (lead byte 0x80 or
// above) is never matched by its second half and the next character's first. ASCII letters match
// whatever their case. An empty sought text matches nothing.
bool ContainsText(std::string_view text, std::string_view sought);

// The first node after `from` in tree order whose text holds sought, going on from the first node
// after the last; `from` itself comes last. With from null the search starts at the first node.
// Null when no node matches.
phrases::TTreeNode* FindNext(const phrases::TTreeNodes& tree, const phrases::TTreeNode* from,
                             std::string_view sought);

}  // namespace editor
