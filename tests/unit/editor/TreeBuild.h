// Test helpers: a tree built from the form Dump writes ("a[b c[d]] e"), and a node by its text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "phrases/TreeNodes.h"

namespace editor::testing {

inline void Build(phrases::TTreeNodes& tree, std::string_view dump) {
    std::vector<phrases::TTreeNode*> parents{nullptr};
    phrases::TTreeNode* last = nullptr;
    std::string text;
    const auto flush = [&] {
        if (!text.empty())
            last = tree.InsertLastChild(parents.back(), text);
        text.clear();
    };
    for (const char c : dump) {
        if (c == ' ' || c == '[' || c == ']')
            flush();
        if (c == '[')
            parents.push_back(last);
        else if (c == ']')
            parents.pop_back();
        else if (c != ' ')
            text += c;
    }
    flush();
}

// The first node in tree order with this text; null when none.
inline phrases::TTreeNode* Find(const phrases::TTreeNodes& tree, std::string_view text) {
    for (phrases::TTreeNode* node = tree.FirstRoot(); node;
         node = phrases::TTreeNodes::NextNode(node))
        if (node->Text() == text)
            return node;
    return nullptr;
}

}  // namespace editor::testing
