// The phrase tree in the 32-bit program, which is large-address aware: on 64-bit Windows its memory
// reaches above 2 GB, and the nodes' links and texts must keep such addresses whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "platform/FileSystem.h"
#include "shared/TestDirectory.h"

namespace phrases {
namespace {

constexpr std::uintptr_t k2Gb = std::uintptr_t{1} << 31;

bool High(const void* address) { return reinterpret_cast<std::uintptr_t>(address) >= k2Gb; }

// Holds all the free address space below 2 GB, in pieces from 64 MB down to the system's
// granularity of 64 KB, so that every new block of pages, the heap's too, comes from above it.
// Only reserved: it costs no memory.
class LowAddressesTaken {
public:
    LowAddressesTaken() {
        for (std::size_t size = std::size_t{64} << 20; size >= 64 * 1024; size /= 2) {
            while (void* piece = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) {
                if (High(piece)) {
                    VirtualFree(piece, 0, MEM_RELEASE);
                    break;
                }
                m_pieces.push_back(piece);
            }
        }
    }
    ~LowAddressesTaken() {
        for (void* piece : m_pieces)
            VirtualFree(piece, 0, MEM_RELEASE);
    }

private:
    std::vector<void*> m_pieces;
};

TEST(HighAddressTree, ATreeAbove2GbLoadsWalksAndSavesAsBelow) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "the 64-bit program's addresses take 48 bits as they are";
    // 200 categories of 500 phrases: 2.4 MB, read in two halves at once.
    std::string file;
    for (int category = 0; category < 200; ++category) {
        file += "category " + std::to_string(category) + "\r\n";
        for (int phrase = 0; phrase < 500; ++phrase)
            file += "\tphrase " + std::to_string(phrase) + "\r\n";
    }
    const testsupport::TestDirectory directory("high-address-tree");
    platform::ReplaceFileSafely(directory.Path("srf_pub.dat"), file);

    const LowAddressesTaken taken;
    TTreeNodes tree;
    LoadTree(tree, directory.Path("srf_pub.dat"));
    ASSERT_EQ(tree.NodeCount(), 200 * 501);
    const TTreeNode* last = tree.NodeAt(tree.NodeCount() - 1);
    ASSERT_TRUE(High(last)) << "no node above 2 GB: is the program large-address aware?";
    ASSERT_TRUE(High(last->Text().data()));
    EXPECT_EQ(last->Text(), "phrase 499");

    // Every link, the previous sibling and the last child (kept in the high bits) among them.
    int roots = 0;
    for (const TTreeNode* root = tree.FirstRoot(); root; root = root->NextSibling(), ++roots) {
        const TTreeNode* child = root->FirstChild();
        const TTreeNode* lastChild = nullptr;
        for (; child; child = child->NextSibling()) {
            EXPECT_EQ(child->Parent(), root);
            EXPECT_EQ(child->PreviousSibling(), lastChild);
            lastChild = child;
        }
        EXPECT_EQ(root->LastChild(), lastChild);
    }
    EXPECT_EQ(roots, 200);
    EXPECT_EQ(tree.AbsoluteIndex(last), tree.NodeCount() - 1);

    tree.SetNodeText(tree.InsertAfter(tree.FirstRoot(), "new"), "renamed");
    SaveTree(tree, directory.Path("srf_pub.dat"));
    const std::string categoryZero = file.substr(0, file.find("category 1\r\n"));
    EXPECT_EQ(platform::ReadWholeFile(directory.Path("srf_pub.dat")),
              categoryZero + "renamed\r\n" + file.substr(categoryZero.size()));
}

}  // namespace
}  // namespace phrases
