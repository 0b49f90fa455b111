// The filter: what stays visible and what the status bar counts.
#include "editor/rules/PhraseFilter.h"

#include <gtest/gtest.h>

#include "TreeBuild.h"
#include "editor/rules/PhraseFinder.h"

namespace editor {
namespace {

std::string Shown(const phrases::TTreeNodes& tree, std::string_view sought,
                  FilterCounts* counts = nullptr) {
    const FilterResult result = FilterTree(tree, sought);
    std::string out;
    for (const phrases::TTreeNode* node : result.shown)
        out.append(out.empty() ? "" : " ").append(node->Text());
    if (counts)
        *counts = result.counts;
    return out;
}

TEST(PhraseFilterTest, ShowsMatchesWithTheirCategoriesAndAMatchingCategoryWhole) {
    phrases::TTreeNodes tree;
    testing::Build(tree, "Dom[hx ab[hy q]] Work[wa hz] Mail[m1 m2]");
    const struct {
        const char* sought;
        const char* shown;
    } cases[] = {
        {"H", "Dom hx ab hy Work hz"},  // ASCII letters in any case; ab shows for its child hy
        {"ai", "Mail m1 m2"},           // the category's own text: all its phrases
        {"q", "Dom ab q"},
        {"none", ""},
        {"", "Dom hx ab hy q Work wa hz Mail m1 m2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shown(tree, c.sought), c.shown) << c.sought;
}

TEST(PhraseFilterTest, CountsShownCategoriesAndPhrasesAgainstAllPhrases) {
    phrases::TTreeNodes tree;
    testing::Build(tree, "A[x1 y] B[x2] C[z]");
    FilterCounts counts;
    Shown(tree, "x", &counts);
    EXPECT_EQ(counts.categories, 2);
    EXPECT_EQ(counts.phrases, 2);
    EXPECT_EQ(counts.totalPhrases, 4);
}

TEST(PhraseFilterTest, AChineseTextMatchesWholeCharactersOnly) {
    phrases::TTreeNodes tree;
    // B0A1 B0A2 holds A1B0 only across the two characters: no match there.
    testing::Build(tree, "\xB0\xA1[\xB0\xA1\xB0\xA2 \xA1\xB0]");
    EXPECT_EQ(Shown(tree, "\xA1\xB0"), "\xB0\xA1 \xA1\xB0");
}

TEST(PhraseFilterTest, PinyinFindsPhrasesAndCategoriesBesideTheText) {
    phrases::TTreeNodes tree;
    // 常用[你好 银行 nh] 地名[北京 重庆]
    testing::Build(tree,
                   "\xB3\xA3\xD3\xC3[\xC4\xE3\xBA\xC3 \xD2\xF8\xD0\xD0 nh] "
                   "\xB5\xD8\xC3\xFB[\xB1\xB1\xBE\xA9 \xD6\xD8\xC7\xEC]");
    const struct {
        const char* sought;
        const char* shown;
    } cases[] = {
        {"nh", "\xB3\xA3\xD3\xC3 \xC4\xE3\xBA\xC3 nh"},  // pinyin and text alike
        {"yinhang", "\xB3\xA3\xD3\xC3 \xD2\xF8\xD0\xD0"},
        {"yin xing", "\xB3\xA3\xD3\xC3 \xD2\xF8\xD0\xD0"},
        {"cq", "\xB5\xD8\xC3\xFB \xD6\xD8\xC7\xEC"},
        {"dim", "\xB5\xD8\xC3\xFB \xB1\xB1\xBE\xA9 \xD6\xD8\xC7\xEC"},  // the category
        {"bjx", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shown(tree, c.sought), c.shown) << c.sought;
    EXPECT_EQ(FilterTree(tree, "nh", FilterRule::Text).shown.size(), 2u);
}

TEST(PhraseFilterTest, MatchesExactlyAsFind) {
    const std::vector<std::string> texts = {"aB",
                                            "xAbx",
                                            "{z",
                                            "[z",
                                            "a\xB0",
                                            "\xB0\xA1\xB0\xA2",
                                            "\xA1\xB0\xA1",
                                            "\xB0"
                                            "a\xA1\xB0",
                                            "abab"};
    phrases::TTreeNodes tree;
    phrases::TTreeNode* category = tree.InsertLastChild(nullptr, "-");
    for (const std::string& text : texts)
        tree.InsertLastChild(category, text);
    for (const char* sought : {"ab", "B", "[", "{", "\xB0", "\xA1\xB0", "\xA1", "bab", "abx"}) {
        std::string expected = "-";
        for (const std::string& text : texts)
            if (ContainsText(text, sought))
                expected += " " + text;
        EXPECT_EQ(Shown(tree, sought), expected == "-" ? "" : expected) << sought;
    }
}

TEST(PhraseFilterTest, TellsWhetherItHidesNodesACommandAdded) {
    phrases::TTreeNodes tree;
    phrases::TTreeNode* a = tree.InsertLastChild(nullptr, "a");
    phrases::TTreeNode* ab = tree.InsertLastChild(a, "ab");
    phrases::TTreeNode* cd = tree.InsertLastChild(a, "cd");
    const FilterResult result = FilterTree(tree, "b");
    EXPECT_FALSE(HidesAny(result, {}));
    EXPECT_FALSE(HidesAny(result, {ab}));
    EXPECT_TRUE(HidesAny(result, {ab, cd}));

    FilterState state;
    ASSERT_TRUE(state.Apply(tree, "b"));
    EXPECT_EQ(state.Counts().phrases, 1);
    state.NodeInserted(tree.InsertLastChild(a, "xb"));  // shown: it holds the text
    state.Apply(tree, "b");
    EXPECT_FALSE(state.HidesInserted());
    state.NodeInserted(tree.InsertLastChild(a, "xy"));  // hidden: the window closes the filter
    state.Apply(tree, "b");
    EXPECT_TRUE(state.HidesInserted());
    EXPECT_EQ(state.Apply(tree, ""), std::nullopt);
    EXPECT_FALSE(state.Active());
}

}  // namespace
}  // namespace editor
