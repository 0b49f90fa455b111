// 批量编辑: the difference between a category and its edited text, its refusals, and one undo step.
#include "editor/rules/BatchEdit.h"

#include <gtest/gtest.h>

#include "EditorTexts.h"
#include "TreeBuild.h"
#include "phrases/TreeDump.h"

namespace editor {
namespace {

using phrases::testing::Dump;

constexpr const char* kInitial = "A[x[c] y z] B[w]";

class BatchEditTest : public ::testing::TestWithParam<std::size_t> {
protected:
    BatchEditTest() { testing::Build(tree, kInitial); }
    BatchPlan Plan(std::vector<EditedLine> lines) {
        return PlanBatchEdit(tree, testing::Find(tree, "A"), lines);
    }

    phrases::TTreeNodes tree;
    TreeObserver observer;
    TreeEditor edits{tree, observer};
    EditHistory history;
};

TEST_P(BatchEditTest, KeepsAddsRemovesInTheTextsOrderAndRefusesWhatNewRefuses) {
    const BatchPlan plan = Plan({{"z"},
                                 {" x "},
                                 {""},
                                 {"new"},
                                 {"w"},
                                 {"new"},
                                 {"A"},
                                 {std::string(65, 'q')},
                                 {"?", U'\U0001F600'},
                                 {"z"}});
    const BatchSummary& s = plan.summary;
    EXPECT_EQ((std::vector<int>{s.kept, s.added, s.removed, s.tooLong, s.duplicate, s.notGb2312}),
              (std::vector<int>{2, 1, 1, 1, 4, 1}));
    EXPECT_TRUE(s.reordered);
    ASSERT_EQ(plan.removed.size(), 1u);
    EXPECT_EQ(plan.removed[0]->Text(), "y");

    ApplyBatchEdit(edits, plan, GetParam());
    EXPECT_EQ(Dump(tree), "A[z x[c] new] B[w]");
    history.Commit(edits);
    history.Undo(edits);
    EXPECT_EQ(Dump(tree), kInitial);
    EXPECT_FALSE(history.CanUndo());
}

TEST_P(BatchEditTest, TheCategorysOwnTextIsNoChangeWhateverItsPhrasesHold) {
    phrases::TTreeNode* a = testing::Find(tree, "A");
    for (const std::string& text :
         {std::string(" x"), std::string(70, 'q'), std::string(), std::string("y")})
        tree.InsertLastChild(a, text);
    const BatchPlan plan = Plan(SplitEditedText(CategoryText(testing::Find(tree, "A"))));
    EXPECT_FALSE(plan.HasChanges());
    EXPECT_EQ(plan.summary.Refused(), 0);
    ApplyBatchEdit(edits, plan, GetParam());
    EXPECT_FALSE(edits.HasPending());
}

TEST_P(BatchEditTest, OnlyAReorderIsAChange) {
    const BatchPlan plan = Plan(SplitEditedText("z\r\ny\nx"));
    EXPECT_TRUE(plan.HasChanges());
    ApplyBatchEdit(edits, plan, GetParam());
    EXPECT_EQ(Dump(tree), "A[z y x[c]] B[w]");
}

INSTANTIATE_TEST_SUITE_P(OneByOneOrWhole, BatchEditTest, ::testing::Values(kMaxChangesOneByOne, 1));

TEST_F(BatchEditTest, SummaryNamesTheRefusedLines) {
    const std::string summary = FormatBatchSummary(Plan({{"x"}, {"w"}, {"v"}, {"w"}}));
    EXPECT_NE(summary.find(std::string(texts::kBatchDuplicate) + "2" + texts::kBatchLinesStart +
                           "2, 4" + texts::kBatchLinesEnd),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find(std::string(texts::kBatchAdded) + "1"), std::string::npos);
}

}  // namespace
}  // namespace editor
