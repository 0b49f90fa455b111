// 排序: order by GB2312 bytes, stable, one undo step, node by node or whole alike.
#include "editor/rules/CategorySort.h"

#include <gtest/gtest.h>

#include "TreeBuild.h"
#include "phrases/TreeDump.h"

namespace editor {
namespace {

using phrases::testing::Dump;

class CountingObserver : public TreeObserver {
public:
    int reloads = 0;
    void TreeReloaded() override { ++reloads; }
};

TEST(CategorySortTest, SortsByUnsignedBytesStablyWithDescendantsAndUndoesAsOneStep) {
    // \xB0\xA1 (a GB2312 character) sorts after ASCII; the two "b" keep their order (b[1] first).
    const char* kBefore = "Z A[\xB0\xA1 b[1] a b[2] B]";
    const char* kSorted = "Z A[B a b[1] b[2] \xB0\xA1]";
    for (const std::size_t maxMoves : {kMaxChangesOneByOne, std::size_t{1}}) {
        SCOPED_TRACE(maxMoves);
        phrases::TTreeNodes tree;
        testing::Build(tree, kBefore);
        CountingObserver observer;
        TreeEditor edits(tree, observer);
        EditHistory history;
        ASSERT_TRUE(SortCategory(edits, testing::Find(tree, "A"), maxMoves));
        EXPECT_EQ(Dump(tree), kSorted);
        EXPECT_EQ(observer.reloads, maxMoves == 1 ? 1 : 0);
        history.Commit(edits);
        history.Undo(edits);
        EXPECT_EQ(Dump(tree), kBefore);
        EXPECT_FALSE(history.CanUndo());
        history.Redo(edits);
        EXPECT_EQ(Dump(tree), kSorted);
    }
}

TEST(CategorySortTest, ASortedCategoryIsNoChange) {
    phrases::TTreeNodes tree;
    testing::Build(tree, "A[a b b c] E");
    CountingObserver observer;
    TreeEditor edits(tree, observer);
    EXPECT_FALSE(SortCategory(edits, testing::Find(tree, "A")));
    EXPECT_FALSE(SortCategory(edits, testing::Find(tree, "E")));
    EXPECT_FALSE(edits.HasPending());
}

}  // namespace
}  // namespace editor
