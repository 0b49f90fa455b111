// The 32-bit program is large-address aware: on 64-bit Windows its memory reaches above 2 GB, and
// the tree's links and texts must keep such addresses whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "phrases/TreeFile.h"

namespace phrases {
namespace {

bool High(const void* address) { return reinterpret_cast<std::uintptr_t>(address) >> 31 != 0; }

TEST(HighAddressTree, ATreeAbove2GbReadsAndWalksAsBelow) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "a 64-bit address fits its 48 bits as it is";
    std::string file;
    for (int category = 0; category < 200; ++category) {
        file += "category\r\n";
        for (int phrase = 0; phrase < 500; ++phrase)
            file += "\tphrase " + std::to_string(phrase) + "\r\n";
    }
    // Every free address below 2 GB reserved (no memory is used), in pieces from 64 MB down to
    // 64 KB: the file's bytes and the nodes then lie above.
    std::vector<void*> taken;
    for (std::size_t size = std::size_t{64} << 20; size >= 64 * 1024; size /= 2)
        while (void* piece = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) {
            taken.push_back(piece);
            if (High(piece))
                break;
        }
    platform::FileBytes bytes;
    bytes.Resize(file.size());
    std::memcpy(bytes.Data(), file.data(), file.size());
    TTreeNodes tree;
    LoadTreeBytes(tree, std::move(bytes));  // 2.4 MB: in two halves at once
    for (void* piece : taken)
        VirtualFree(piece, 0, MEM_RELEASE);

    // The last node is reached through the last-sibling links, kept in the words' high bits.
    const TTreeNode* last = tree.NodeAt(tree.NodeCount() - 1);
    ASSERT_TRUE(High(last) && High(last->Text().data())) << "is the program large-address aware?";
    EXPECT_EQ(last->Text(), "phrase 499");
    EXPECT_EQ(last->PreviousSibling()->Text(), "phrase 498");
    EXPECT_EQ(FormatTree(tree), file);
}

}  // namespace
}  // namespace phrases
