// Find in the phrase tree: matching at character boundaries, order, wrapping.
#include "editor/rules/PhraseFinder.h"

#include <gtest/gtest.h>

#include <vector>

namespace editor {
namespace {

using phrases::TTreeNode;

TEST(ContainsText, MatchesWholeCharactersAndAsciiInAnyCase) {
    struct Case {
        std::string text, sought;
        bool found;
    };
    const std::string ni = "\xC4\xE3", hao = "\xBA\xC3", zao = "\xD4\xE7";  // 你 好 早
    const std::vector<Case> cases = {
        {ni + hao, hao, true},
        {ni + hao, ni + hao, true},
        {ni + hao, "\xE3\xBA", false},  // the second half of 你 and the first of 好
        {"x" + ni + hao, hao, true},    // after a single-byte character
        {"Hello", "ELL", true},
        {"Hello", "", false},
        {zao, ni, false},
        {ni, ni + hao, false},
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(ContainsText(testCase.text, testCase.sought), testCase.found)
            << testCase.text << " / " << testCase.sought;
}

class FindNextTest : public ::testing::Test {
protected:
    FindNextTest() {
        // k1[p1 x2] k2[] k3[x3 p4]
        TTreeNode* k1 = tree.InsertLastChild(nullptr, "k1");
        for (const char* text : {"p1", "x2"})
            nodes.push_back(tree.InsertLastChild(k1, text));
        tree.InsertLastChild(nullptr, "k2");
        TTreeNode* k3 = tree.InsertLastChild(nullptr, "k3");
        for (const char* text : {"x3", "p4"})
            nodes.push_back(tree.InsertLastChild(k3, text));
    }
    std::string Next(const TTreeNode* from, const char* sought) {
        const TTreeNode* found = FindNext(tree, from, sought);
        return found ? std::string(found->Text()) : "none";
    }
    phrases::TTreeNodes tree;
    std::vector<TTreeNode*> nodes;  // p1 x2 x3 p4
};

TEST_F(FindNextTest, GoesOnInTreeOrderAndWrapsAtTheEnd) {
    EXPECT_EQ(Next(nullptr, "x"), "x2");
    EXPECT_EQ(Next(nodes[1], "x"), "x3");  // into the next category
    EXPECT_EQ(Next(nodes[2], "x"), "x2");  // wraps
    EXPECT_EQ(Next(nodes[0], "k"), "k2");  // categories match too
    EXPECT_EQ(Next(nodes[3], "k"), "k1");
    EXPECT_EQ(Next(nodes[3], "p4"), "p4");  // the only match is where the search starts
    EXPECT_EQ(Next(nodes[0], "zz"), "none");
    EXPECT_EQ(Next(nodes[0], ""), "none");
}

TEST(FindNext, AnEmptyTreeHasNoMatch) {
    phrases::TTreeNodes tree;
    EXPECT_EQ(FindNext(tree, nullptr, "a"), nullptr);
}

}  // namespace
}  // namespace editor
