// Phrase health: which phrases the last compile left out of srf_pub.usr and why, as the compile
// step reported it, with the texts the status bar shows.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "phrases/PhraseCompiler.h"
#include "phrases/TreeNodes.h"

namespace editor {

class PhraseHealth {
public:
    // Takes the compile step's report on the tree as it stands. Returns the nodes whose state
    // (compiled or left out) differs from before, so that the window redraws only those.
    std::vector<const phrases::TTreeNode*> Update(const phrases::TTreeNodes& tree,
                                                  const phrases::CompileReport& report);
    // A node about to go with everything beneath it, however deep; their pointers may be used
    // again for new nodes.
    void Forget(const phrases::TTreeNode* node);
    // The whole tree is about to be replaced: nothing is known until the next compile.
    void Clear();

    // The verdict on a left-out phrase; null for a compiled phrase, a category or a node the
    // last compile did not see.
    const phrases::PhraseVerdict* LeftOut(const phrases::TTreeNode* node) const;
    const phrases::CompileReport& Counts() const { return m_counts; }
    bool Known() const { return m_known; }

private:
    std::unordered_map<const phrases::TTreeNode*, phrases::PhraseVerdict> m_leftOut;
    phrases::CompileReport m_counts;  // without its list, which m_leftOut holds
    bool m_known = false;
};

// "分类: 3  语料: 10  已编入: 9  未编入: 1" (GB2312).
std::string CountsText(const phrases::CompileReport& counts);
// Why the compile left the phrase out, naming the first character not in the table (GB2312).
std::string LeftOutReason(const phrases::PhraseVerdict& verdict);

}  // namespace editor
