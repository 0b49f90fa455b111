// Fuzzes the reading of the phrase tree's file from arbitrary bytes: whatever it keeps must write
// back and read again as the same tree, and indices must agree with the depth-first walk.
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "platform/Error.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    phrases::TTreeNodes tree;
    try {
        phrases::ParseTree(tree, bytes);
    } catch (const platform::Error&) {
        // The lines before the faulty one stay; they are checked like a whole file.
    }

    // Written out and read back, the kept nodes give the same file.
    const std::string file = phrases::FormatTree(tree);
    phrases::TTreeNodes again;
    phrases::ParseTree(again, file);
    Check(again.NodeCount() == tree.NodeCount());
    Check(phrases::FormatTree(again) == file);

    // NodeAt forwards and backwards, and AbsoluteIndex, agree with the walk.
    std::vector<const phrases::TTreeNode*> order;
    tree.ForEachNode([&](const phrases::TTreeNode& node, int level) {
        Check(node.Level() == level);
        order.push_back(&node);
    });
    Check(static_cast<int>(order.size()) == tree.NodeCount());
    for (int i = 0; i < tree.NodeCount(); ++i)
        Check(tree.NodeAt(i) == order[static_cast<std::size_t>(i)]);
    for (int i = tree.NodeCount() - 1; i >= 0; --i) {
        Check(tree.NodeAt(i) == order[static_cast<std::size_t>(i)]);
        Check(tree.AbsoluteIndex(order[static_cast<std::size_t>(i)]) == i);
    }

    // Deleting a node the input picks keeps every other node in order.
    if (!order.empty()) {
        const int victim = static_cast<int>(size % order.size());
        phrases::TTreeNode* node = tree.NodeAt(victim);
        int removed = 0;
        for (const phrases::TTreeNode* at = node; at; at = phrases::TTreeNodes::NextNode(at)) {
            if (at != node && at->Level() <= node->Level())
                break;
            ++removed;
        }
        tree.DeleteNode(node);
        Check(tree.NodeCount() == static_cast<int>(order.size()) - removed);
        for (int i = 0; i < tree.NodeCount(); ++i) {
            const std::size_t expected = static_cast<std::size_t>(i < victim ? i : i + removed);
            Check(tree.NodeAt(i) == order[expected]);
        }
    }
    return 0;
}
