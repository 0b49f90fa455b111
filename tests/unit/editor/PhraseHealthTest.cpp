// Phrase health: the compile's report tied to the tree's nodes, the counts and the reasons.
#include "editor/rules/PhraseHealth.h"

#include <gtest/gtest.h>

#include "EditorTexts.h"

namespace editor {
namespace {

using phrases::PhraseStatus;
using phrases::PhraseVerdict;
using phrases::TTreeNode;

// A table of 你 and 好.
phrases::CharacterTable Table() {
    phrases::CharacterTable table;
    table.LoadFromBytes(std::string("\0\0\0\0\2\0\0\0\0\0\xC4\xE3\xBA\xC3", 14));
    return table;
}

TEST(PhraseHealth, KnowsWhichNodesWereLeftOutAndWhichChanged) {
    const std::string ni = "\xC4\xE3", hao = "\xBA\xC3", zao = "\xD4\xE7";
    phrases::TTreeNodes tree;
    TTreeNode* category = tree.InsertLastChild(nullptr, "c");
    TTreeNode* good = tree.InsertLastChild(category, ni + hao);
    TTreeNode* missing = tree.InsertLastChild(category, ni + zao);
    TTreeNode* single = tree.InsertLastChild(category, ni);
    const phrases::CharacterTable table = Table();

    PhraseHealth health;
    phrases::CompileReport report;
    phrases::CompilePhrases(tree, table, &report);
    auto changed = health.Update(tree, report);
    EXPECT_EQ(changed.size(), 2u);
    EXPECT_EQ(health.LeftOut(good), nullptr);
    EXPECT_EQ(health.LeftOut(category), nullptr);
    ASSERT_NE(health.LeftOut(missing), nullptr);
    EXPECT_EQ(health.LeftOut(missing)->status, PhraseStatus::MissingCharacter);
    EXPECT_EQ(health.LeftOut(single)->status, PhraseStatus::SingleCharacter);
    EXPECT_EQ(CountsText(health.Counts()),
              std::string(texts::kCountCategories) + "1  " + texts::kCountPhrases + "3  " +
                  texts::kCountCompiled + "1  " + texts::kCountLeftOut + "2");

    // Mending one phrase changes that one only.
    tree.SetNodeText(missing, hao + ni);
    phrases::CompilePhrases(tree, table, &report);
    changed = health.Update(tree, report);
    EXPECT_EQ(changed, std::vector<const TTreeNode*>{missing});
    EXPECT_EQ(health.LeftOut(missing), nullptr);
}

TEST(LeftOutReason, NamesTheCauseAndTheFirstMissingCharacter) {
    auto verdict = [](PhraseStatus status, unsigned char lead = 0, unsigned char trail = 0) {
        PhraseVerdict verdict;
        verdict.status = status;
        verdict.missingLead = lead;
        verdict.missingTrail = trail;
        return verdict;
    };
    const std::string start = texts::kReasonMissingStart, end = texts::kReasonMissingEnd;
    EXPECT_EQ(LeftOutReason(verdict(PhraseStatus::MissingCharacter, 0xD4, 0xE7)),
              start + "\xD4\xE7" + end);
    EXPECT_EQ(LeftOutReason(verdict(PhraseStatus::MissingCharacter, 'a', 0xD4)),
              start + "a\\xD4" + end + texts::kReasonHalfWidth);
    EXPECT_EQ(LeftOutReason(verdict(PhraseStatus::OddLength)), texts::kReasonOddLength);
    EXPECT_EQ(LeftOutReason(verdict(PhraseStatus::SingleCharacter)), texts::kReasonSingleCharacter);
    // "未编入: 超过50个字"
    EXPECT_EQ(LeftOutReason(verdict(PhraseStatus::TooLong)),
              "\xCE\xB4\xB1\xE0\xC8\xEB: \xB3\xAC\xB9\xFD"
              "50\xB8\xF6\xD7\xD6");
    EXPECT_EQ(LeftOutReason(verdict(PhraseStatus::Empty)), texts::kReasonEmpty);
    EXPECT_EQ(LeftOutReason(verdict(PhraseStatus::Compiled)), "");
}

}  // namespace
}  // namespace editor
