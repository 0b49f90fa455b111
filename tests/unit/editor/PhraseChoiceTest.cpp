// Several phrases chosen with Ctrl+click, Shift+click, Shift+Up and Shift+Down, and Ctrl+A.
#include "editor/rules/PhraseChoice.h"

#include <gtest/gtest.h>

#include "phrases/TreeNodes.h"

namespace editor {
namespace {

using phrases::TTreeNode;

class PhraseChoiceTest : public ::testing::Test {
protected:
    PhraseChoiceTest() {
        category = tree.InsertLastChild(nullptr, "c");
        for (const char* text : {"p0", "p1", "p2", "p3", "p4"})
            p.push_back(tree.InsertLastChild(category, text));
    }
    std::vector<TTreeNode*> P(std::initializer_list<int> indices) {
        std::vector<TTreeNode*> nodes;
        for (int index : indices)
            nodes.push_back(p[static_cast<std::size_t>(index)]);
        return nodes;
    }

    phrases::TTreeNodes tree;
    TTreeNode* category = nullptr;
    std::vector<TTreeNode*> p;
    PhraseChoice choice;
};

TEST_F(PhraseChoiceTest, CtrlClickStartsFromTheSelectionAndTogglesAPhrase) {
    choice.Toggle(p[3], p[1]);
    EXPECT_EQ(choice.Nodes(), P({1, 3}));
    choice.Toggle(p[1], p[3]);
    EXPECT_EQ(choice.Nodes(), P({3}));
    choice.Clear();
    choice.Toggle(p[2], category);  // a selected category does not join
    EXPECT_EQ(choice.Nodes(), P({2}));
}

TEST_F(PhraseChoiceTest, ShiftClickChoosesTheRunFromWhereTheChoiceCounts) {
    choice.Extend(p[3], p[1], p);  // from the selected phrase
    EXPECT_EQ(choice.Nodes(), P({1, 2, 3}));
    choice.Extend(p[0], p[3], p);  // still from where the run began
    EXPECT_EQ(choice.Nodes(), P({0, 1}));
    choice.Toggle(p[4], p[0]);  // a Ctrl+click moves the point runs count from
    choice.Extend(p[2], p[4], p);
    EXPECT_EQ(choice.Nodes(), P({2, 3, 4}));
    // While filtered only the shown phrases are in a run.
    choice.Clear();
    choice.Extend(p[4], p[0], P({0, 2, 4}));
    EXPECT_EQ(choice.Nodes(), P({0, 2, 4}));
    EXPECT_TRUE(choice.Contains(p[2]));
    EXPECT_FALSE(choice.Contains(p[1]));
    EXPECT_TRUE(choice.Clear());
    EXPECT_FALSE(choice.Clear());
}

TEST_F(PhraseChoiceTest, ShiftUpAndDownStepTheSelectionAndChooseTheRunFromWhereItBegan) {
    EXPECT_EQ(choice.Step(p[1], +1, p), p[2]);
    EXPECT_EQ(choice.Nodes(), P({1, 2}));
    EXPECT_EQ(choice.Step(p[2], +1, p), p[3]);
    EXPECT_EQ(choice.Nodes(), P({1, 2, 3}));
    EXPECT_EQ(choice.Step(p[3], -1, p), p[2]);  // back: the run shrinks towards where it began
    EXPECT_EQ(choice.Step(p[2], -1, p), p[1]);
    EXPECT_EQ(choice.Step(p[1], -1, p), p[0]);  // past it: the run grows the other way
    EXPECT_EQ(choice.Nodes(), P({0, 1}));
    EXPECT_EQ(choice.Step(p[0], -1, p), nullptr);  // the category's first phrase: no further
    EXPECT_EQ(choice.Nodes(), P({0, 1}));
    EXPECT_EQ(choice.Step(category, +1, p), nullptr);  // a category is no phrase to step from
    // While filtered a step goes to the next shown phrase.
    choice.Clear();
    EXPECT_EQ(choice.Step(p[0], +1, P({0, 2, 4})), p[2]);
    EXPECT_EQ(choice.Step(p[2], +1, P({0, 2, 4})), p[4]);
    EXPECT_EQ(choice.Nodes(), P({0, 2, 4}));
    EXPECT_EQ(choice.Step(p[4], +1, P({0, 2, 4})), nullptr);
}

}  // namespace
}  // namespace editor
