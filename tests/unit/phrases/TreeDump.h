// Test helper: a tree written as "a[b c[d]] e", children in brackets after their parent.
#pragma once

#include <string>

#include "phrases/TreeNodes.h"

namespace phrases::testing {

inline std::string DumpSiblings(const TTreeNode* node) {
    std::string out;
    for (; node; node = node->NextSibling()) {
        if (!out.empty())
            out += ' ';
        out += node->Text();
        if (node->HasChildren())
            out += '[' + DumpSiblings(node->FirstChild()) + ']';
    }
    return out;
}

inline std::string Dump(const TTreeNodes& tree) { return DumpSiblings(tree.FirstRoot()); }

}  // namespace phrases::testing
