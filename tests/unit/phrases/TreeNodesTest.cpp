#include "phrases/TreeNodes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "phrases/TreeDump.h"
#include "platform/Error.h"

namespace phrases {
namespace {

using testing::Dump;
using testing::ExpectConsistent;

void ExpectInvalidIndex(TTreeNodes& tree, int index) {
    try {
        tree.NodeAt(index);
        FAIL() << "NodeAt(" << index << ") should fail";
    } catch (const platform::Error& error) {
        EXPECT_STREQ(error.what(), "Invalid index");
    }
}

TEST(TreeNodesTest, InsertionsPlaceNodesWhereTheirNamesSay) {
    TTreeNodes tree;
    TTreeNode* b = tree.InsertLastChild(nullptr, "b");
    tree.InsertFirstChild(nullptr, "a");
    tree.InsertLastSibling(nullptr, "d");
    tree.InsertAfter(b, "c");
    EXPECT_EQ(Dump(tree), "a b c d");

    TTreeNode* y = tree.InsertFirstChild(b, "y");
    tree.InsertFirstSibling(y, "x");
    tree.InsertLastSibling(y, "z");
    tree.InsertLastChild(b, "zz");
    tree.InsertAfter(y, "y2");
    EXPECT_EQ(Dump(tree), "a b[x y y2 z zz] c d");

    tree.InsertFirstSibling(b, "first");
    tree.InsertLastSibling(y, "last");
    tree.InsertAfter(nullptr, "before");
    EXPECT_EQ(Dump(tree), "before first a b[x y y2 z zz last] c d");
    EXPECT_EQ(tree.NodeCount(), 12);
    EXPECT_EQ(y->Level(), 1);
    EXPECT_EQ(y->Parent(), b);
    EXPECT_EQ(y->PreviousSibling()->Text(), "x");
    EXPECT_EQ(b->FirstChild()->PreviousSibling(), nullptr);
    EXPECT_EQ(tree.FirstRoot()->PreviousSibling(), nullptr);
}

TEST(TreeNodesTest, NodeAtRejectsIndicesOutsideTheTree) {
    TTreeNodes tree;
    ExpectInvalidIndex(tree, 0);
    tree.InsertLastChild(tree.InsertLastChild(nullptr, "c"), "p");
    ExpectInvalidIndex(tree, -1);
    ExpectInvalidIndex(tree, 2);
    EXPECT_EQ(tree.NodeAt(1)->Text(), "p");
    try {
        tree.NodeAt(2);
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.Kind(), "ListIndexError");
    }
}

TEST(TreeNodesTest, DeleteNodeRemovesDescendantsAndKeepsOrder) {
    TTreeNodes tree;
    TTreeNode* c1 = tree.InsertLastChild(nullptr, "c1");
    TTreeNode* p1 = tree.InsertLastChild(c1, "p1");
    tree.InsertLastChild(p1, "deep");
    tree.InsertLastChild(c1, "p2");
    TTreeNode* c2 = tree.InsertLastChild(nullptr, "c2");
    TTreeNode* p3 = tree.InsertLastChild(c2, "p3");
    TTreeNode* c3 = tree.InsertLastChild(nullptr, "c3");

    tree.DeleteNode(p1);
    EXPECT_EQ(Dump(tree), "c1[p2] c2[p3] c3");
    EXPECT_EQ(tree.NodeCount(), 5);
    tree.DeleteNode(p3);  // the category stays, without children
    EXPECT_EQ(Dump(tree), "c1[p2] c2 c3");
    EXPECT_FALSE(c2->HasChildren());
    tree.DeleteNode(c3);
    tree.InsertLastSibling(nullptr, "c4");
    EXPECT_EQ(Dump(tree), "c1[p2] c2 c4");
    tree.DeleteNode(c1);
    EXPECT_EQ(Dump(tree), "c2 c4");
    EXPECT_EQ(tree.NodeCount(), 2);
    EXPECT_EQ(tree.NodeAt(1)->Text(), "c4");
}

TEST(TreeNodesTest, MoveNodeRelinksTheSameNodeWithItsSubtree) {
    // a[a1 a2[x]] b[b1]; each move from that tree.
    struct Case {
        const char* node;
        const char* parent;  // "" for the roots
        const char* after;   // "" for the front
        const char* expected;
    };
    const Case cases[] = {
        {"a1", "a", "a2", "a[a2[x] a1] b[b1]"}, {"a2", "a", "", "a[a2[x] a1] b[b1]"},
        {"a2", "b", "b1", "a[a1] b[b1 a2[x]]"}, {"a2", "b", "", "a[a1] b[a2[x] b1]"},
        {"b1", "", "a", "a[a1 a2[x]] b1 b"},    {"b", "", "", "b[b1] a[a1 a2[x]]"},
        {"a1", "a", "a1", "a[a1 a2[x]] b[b1]"},  // right after itself: stays
    };
    for (const Case& c : cases) {
        TTreeNodes tree;
        TTreeNode* a = tree.InsertLastChild(nullptr, "a");
        TTreeNode* b = tree.InsertLastChild(nullptr, "b");
        TTreeNode* a1 = tree.InsertLastChild(a, "a1");
        TTreeNode* a2 = tree.InsertLastChild(a, "a2");
        TTreeNode* x = tree.InsertLastChild(a2, "x");
        TTreeNode* b1 = tree.InsertLastChild(b, "b1");
        const auto byName = [&](std::string_view name) -> TTreeNode* {
            for (TTreeNode* node : {a, b, a1, a2, x, b1})
                if (node->Text() == name)
                    return node;
            return nullptr;
        };
        TTreeNode* node = byName(c.node);
        tree.MoveNode(node, byName(c.parent), byName(c.after));
        EXPECT_EQ(Dump(tree), c.expected) << c.node << " to " << c.parent << " after " << c.after;
        EXPECT_EQ(x->Parent(), a2);
        ExpectConsistent(tree);
    }
    TTreeNodes tree;
    TTreeNode* a = tree.InsertLastChild(nullptr, "a");
    TTreeNode* a1 = tree.InsertLastChild(a, "a1");
    EXPECT_THROW(tree.MoveNode(a, a1, nullptr), platform::Error);  // into itself
    EXPECT_EQ(Dump(tree), "a[a1]");
}

TEST(TreeNodesTest, NodeAtStaysRightWhenTheTreeChangesMidScan) {
    TTreeNodes tree;
    TTreeNode* c = tree.InsertLastChild(nullptr, "c");
    for (const char* text : {"p1", "p2", "p3"})
        tree.InsertLastChild(c, text);
    EXPECT_EQ(tree.NodeAt(2)->Text(), "p2");

    tree.InsertFirstChild(c, "p0");  // everything from index 1 moves one on
    EXPECT_EQ(tree.NodeAt(2)->Text(), "p1");
    EXPECT_EQ(tree.NodeAt(3)->Text(), "p2");

    tree.DeleteNode(tree.NodeAt(1));
    EXPECT_EQ(tree.NodeAt(3)->Text(), "p3");
    EXPECT_EQ(tree.NodeAt(2)->Text(), "p2");

    tree.SetNodeText(tree.NodeAt(2), "renamed");
    EXPECT_EQ(tree.NodeAt(2)->Text(), "renamed");
    EXPECT_EQ(tree.AbsoluteIndex(tree.NodeAt(3)), 3);

    tree.ClearTree();
    ExpectInvalidIndex(tree, 0);
    tree.InsertLastChild(nullptr, "again");
    EXPECT_EQ(tree.NodeAt(0)->Text(), "again");
}

// The reference: the same tree as nested vectors, for random edits compared step by step.
struct ModelNode {
    std::string text;
    std::vector<ModelNode> children;
};

// Every node as (its sibling list, its place in it), in pre-order.
using FlatModel = std::vector<std::pair<std::vector<ModelNode>*, int>>;

void Flatten(std::vector<ModelNode>& list, FlatModel& out) {
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        out.push_back({&list, i});
        Flatten(list[i].children, out);
    }
}

std::string DumpModel(const std::vector<ModelNode>& list) {
    std::string out;
    for (const ModelNode& node : list) {
        if (!out.empty())
            out += ' ';
        out += node.text;
        if (!node.children.empty())
            out += '[' + DumpModel(node.children) + ']';
    }
    return out;
}

TEST(TreeNodesTest, RandomEditsMatchAReferenceModel) {
    std::mt19937 random(20240601);
    TTreeNodes tree;
    std::vector<ModelNode> model;
    int serial = 0;

    for (int step = 0; step < 3000; ++step) {
        FlatModel flat;
        Flatten(model, flat);
        const int count = static_cast<int>(flat.size());
        ASSERT_EQ(tree.NodeCount(), count);
        // Index -1 stands for no node at all.
        const int index = count == 0 ? -1 : static_cast<int>(random() % (count + 1)) - 1;
        TTreeNode* node = index < 0 ? nullptr : tree.NodeAt(index);
        std::vector<ModelNode>* siblings = index < 0 ? &model : flat[index].first;
        const int at = index < 0 ? 0 : flat[index].second;
        std::vector<ModelNode>* children = index < 0 ? &model : &(*siblings)[at].children;
        const std::string text = "n" + std::to_string(serial++);

        switch (random() % 8) {
        case 0:
            tree.InsertFirstChild(node, text);
            children->insert(children->begin(), {text, {}});
            break;
        case 1:
            tree.InsertLastChild(node, text);
            children->push_back({text, {}});
            break;
        case 2:
            tree.InsertFirstSibling(node, text);
            siblings->insert(siblings->begin(), {text, {}});
            break;
        case 3:
            tree.InsertLastSibling(node, text);
            siblings->push_back({text, {}});
            break;
        case 4:
            tree.InsertAfter(node, text);
            siblings->insert(siblings->begin() + (index < 0 ? 0 : at + 1), {text, {}});
            break;
        case 5:
        case 6:
            if (node) {
                tree.DeleteNode(node);
                siblings->erase(siblings->begin() + at);
            }
            break;
        case 7:
            if (node) {
                tree.SetNodeText(node, text);
                (*siblings)[at].text = text;
            }
            break;
        }
        ASSERT_EQ(Dump(tree), DumpModel(model)) << "step " << step;

        if (step % 50 == 0 && tree.NodeCount() > 0) {
            ExpectConsistent(tree);
            const int n = tree.NodeCount();
            FlatModel now;
            Flatten(model, now);
            for (int k = 0; k < 20; ++k) {
                const int i = static_cast<int>(random() % n);
                ASSERT_EQ(tree.NodeAt(i)->Text(), (*now[i].first)[now[i].second].text);
                tree.NodeAt(0);
                ASSERT_EQ(tree.AbsoluteIndex(tree.NodeAt(i)), i);
            }
        }
    }
}

TEST(TreeNodesTest, ScanningALargeTreeIsLinear) {
    // A quadratic scan of 300,000 nodes would take minutes; a linear one takes milliseconds.
    TTreeNodes tree;
    for (int c = 0; c < 300; ++c) {
        TTreeNode* category = tree.InsertLastChild(nullptr, "category");
        for (int p = 0; p < 999; ++p)
            tree.InsertLastChild(category, "phrase");
    }
    ASSERT_EQ(tree.NodeCount(), 300000);
    long long levels = 0;
    for (int i = 0; i < tree.NodeCount(); ++i)
        levels += tree.NodeAt(i)->Level();
    EXPECT_EQ(levels, 300 * 999);
    EXPECT_EQ(tree.AbsoluteIndex(tree.NodeAt(tree.NodeCount() - 1)), 299999);
    tree.DeleteNode(tree.FirstRoot());
    EXPECT_EQ(tree.NodeCount(), 299000);
}

TEST(TreeNodesTest, DeletingADeepChainNeedsNoRecursion) {
    TTreeNodes tree;
    TTreeNode* node = tree.InsertLastChild(nullptr, "root");
    for (int i = 0; i < 100000; ++i)
        node = tree.InsertLastChild(node, "x");
    EXPECT_EQ(node->Level(), 100000);
    tree.DeleteNode(tree.FirstRoot());
    EXPECT_EQ(tree.NodeCount(), 0);
    EXPECT_EQ(tree.FirstRoot(), nullptr);
}

}  // namespace
}  // namespace phrases
