// What a screen reader hears of a node of the phrase tree besides its text and its place: what
// the tree shows of it only by a picture or a colour.
#pragma once

#include <string>

#include "editor/rules/PhraseHealth.h"
#include "phrases/TreeNodes.h"

namespace editor {

// The node's accessible description (GB2312): "已选中" for a phrase chosen among several, and for
// a phrase the compile left out why (as the status bar says it), joined by "; "; empty for
// anything else.
std::string PhraseDescription(const PhraseHealth& health, const phrases::TTreeNode* node,
                              bool chosen);

}  // namespace editor
