// What a screen reader hears of a phrase besides its text: chosen, and why it was left out.
#include "editor/rules/PhraseDescription.h"

#include <gtest/gtest.h>

#include "EditorTexts.h"

namespace editor {
namespace {

TEST(PhraseDescription, SaysWhatOnlyThePictureAndTheHighlightShow) {
    const std::string ni = "\xC4\xE3", hao = "\xBA\xC3", zao = "\xD4\xE7";
    phrases::TTreeNodes tree;
    phrases::TTreeNode* category = tree.InsertLastChild(nullptr, "c");
    phrases::TTreeNode* good = tree.InsertLastChild(category, ni + hao);
    phrases::TTreeNode* missing = tree.InsertLastChild(category, ni + zao);
    phrases::CharacterTable table;  // 你 and 好
    table.LoadFromBytes(std::string("\0\0\0\0\2\0\0\0\0\0\xC4\xE3\xBA\xC3", 14));
    PhraseHealth health;
    phrases::CompileReport report;
    phrases::CompilePhrases(tree, table, &report);
    health.Update(tree, report);

    const std::string reason = std::string(texts::kReasonMissingStart) + zao +
                               texts::kReasonMissingEnd;  // 未编入: 字“早”不在字表中
    struct Case {
        const phrases::TTreeNode* node;
        bool chosen;
        std::string description;
    };
    for (const Case& c :
         {Case{good, false, ""}, Case{category, false, ""},
          Case{good, true, texts::kDescriptionChosen}, Case{missing, false, reason},
          Case{missing, true, std::string(texts::kDescriptionChosen) + "; " + reason}}) {
        EXPECT_EQ(PhraseDescription(health, c.node, c.chosen), c.description)
            << c.node->Text() << " " << c.chosen;
    }
}

}  // namespace
}  // namespace editor
