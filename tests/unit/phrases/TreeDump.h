// Test helpers: a tree written as "a[b c[d]] e", children in brackets after their parent; a check
// of every link.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The nodes of the tree in pre-order, found by following the sibling links alone.
inline void Collect(const TTreeNode* node, std::vector<const TTreeNode*>& out) {
    for (; node; node = node->NextSibling()) {
        out.push_back(node);
        Collect(node->FirstChild(), out);
    }
}

// Checks the node-to-node steps against the sibling links; linear in the tree's size.
inline void ExpectLinksConsistent(const TTreeNodes& tree) {
    std::vector<const TTreeNode*> order;
    Collect(tree.FirstRoot(), order);
    ASSERT_EQ(tree.NodeCount(), static_cast<int>(order.size()));
    for (int i = 0; i < static_cast<int>(order.size()); ++i) {
        const TTreeNode* node = order[i];
        const bool last = i + 1 == static_cast<int>(order.size());
        EXPECT_EQ(TTreeNodes::NextNode(node), last ? nullptr : order[i + 1]);
        EXPECT_EQ(TTreeNodes::PreviousNode(node), i > 0 ? order[i - 1] : nullptr);
        EXPECT_EQ(node->Level(), node->Parent() ? node->Parent()->Level() + 1 : 0);
        if (node->HasChildren()) {
            const TTreeNode* last = node->FirstChild();
            while (last->NextSibling())
                last = last->NextSibling();
            EXPECT_EQ(node->LastChild(), last);
        }
    }
}

// Checks every way of moving through the tree against the sibling links.
inline void ExpectConsistent(TTreeNodes& tree) {
    ExpectLinksConsistent(tree);
    std::vector<const TTreeNode*> order;
    Collect(tree.FirstRoot(), order);
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        ASSERT_EQ(tree.NodeAt(i), order[i]) << "forward " << i;
    for (int i = static_cast<int>(order.size()) - 1; i >= 0; --i)
        ASSERT_EQ(tree.NodeAt(i), order[i]) << "backward " << i;
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        ASSERT_EQ(tree.AbsoluteIndex(order[i]), i);
}

}  // namespace phrases::testing
