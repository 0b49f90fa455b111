// Several phrases at a time: the set in tree order, delete and move as one undo step.
#include "editor/rules/PhraseSelection.h"

#include <gtest/gtest.h>

#include "TreeBuild.h"
#include "phrases/TreeDump.h"

namespace editor {
namespace {

using phrases::TTreeNode;
using phrases::testing::Dump;

constexpr const char* kInitial = "A[a1 a2[d] a3] B[b1 b2] C";

class PhraseSelectionTest : public ::testing::TestWithParam<std::size_t> {
protected:
    PhraseSelectionTest() { testing::Build(tree, kInitial); }
    std::vector<TTreeNode*> Set(std::initializer_list<const char*> texts) {
        std::vector<TTreeNode*> set;
        for (const char* text : texts)
            set.push_back(testing::Find(tree, text));
        return InTreeOrder(tree, set);
    }
    void ExpectOneUndoStep(const std::string& after) {
        EXPECT_EQ(Dump(tree), after);
        history.Commit(edits);
        history.Undo(edits);
        EXPECT_EQ(Dump(tree), kInitial);
        EXPECT_FALSE(history.CanUndo());
        history.Redo(edits);
        EXPECT_EQ(Dump(tree), after);
    }

    phrases::TTreeNodes tree;
    TreeObserver observer;
    TreeEditor edits{tree, observer};
    EditHistory history;
};

TEST_F(PhraseSelectionTest, TheSetIsInTreeOrderWithoutCategoriesOrNodesBeneathAnother) {
    std::string order;
    for (const TTreeNode* node : Set({"b1", "d", "B", "a2", "a1", "a1"}))
        order.append(node->Text()) += ' ';
    EXPECT_EQ(order, "a1 a2 b1 ");
    EXPECT_EQ(PhrasesOfCategory(testing::Find(tree, "d")).size(), 3u);
    EXPECT_TRUE(PhrasesOfCategory(testing::Find(tree, "C")).empty());
}

TEST_P(PhraseSelectionTest, DeleteTakesTheSetAndUndoPutsEachBackInPlace) {
    DeletePhrases(edits, Set({"b2", "a1", "a3"}), GetParam());
    ExpectOneUndoStep("A[a2[d]] B[b1] C");
}

TEST_P(PhraseSelectionTest, MoveTakesTheSetInItsOrderToTheStartOfTheTargetsCategory) {
    const auto moved = MovePhrasesToCategory(edits, Set({"a3", "b2", "a1"}),
                                             testing::Find(tree, "b1"), GetParam());
    if (GetParam() > 1) {
        ASSERT_EQ(moved.size(), 3u);
        EXPECT_EQ(moved[0]->Text(), "a1");
        EXPECT_EQ(moved[2]->Parent()->Text(), "B");
    }
    ExpectOneUndoStep("A[a2[d]] B[a1 a3 b2 b1] C");
}

TEST_P(PhraseSelectionTest, MoveToAnEmptyCategoryAndAMoveThatLeavesAllInPlace) {
    MovePhrasesToCategory(edits, Set({"a2", "b1"}), testing::Find(tree, "C"), GetParam());
    EXPECT_EQ(Dump(tree), "A[a1 a3] B[b2] C[a2[d] b1]");
    history.Commit(edits);
    EXPECT_TRUE(MovePhrasesToCategory(edits, Set({"a2", "b1"}), testing::Find(tree, "C")).empty());
    EXPECT_FALSE(edits.HasPending());
}

// Node by node, and the whole tree file replaced at once.
INSTANTIATE_TEST_SUITE_P(OneByOneOrWhole, PhraseSelectionTest,
                         ::testing::Values(kMaxChangesOneByOne, 1));

}  // namespace
}  // namespace editor
