// What the status bar says, by what wins over what.
#include "editor/rules/StatusText.h"

#include <gtest/gtest.h>

#include "EditorTexts.h"
#include "phrases/TreeNodes.h"

namespace editor {
namespace {

TEST(StatusTextTest, SaysTheMostSpecificThingOnTheRight) {
    phrases::TTreeNodes tree;
    phrases::TTreeNode* category = tree.InsertLastChild(nullptr, "c");
    phrases::TTreeNode* left = tree.InsertLastChild(category, "\xB0\xA1\xB0\xA3");
    phrases::CompileReport report;
    report.categories = report.phrases = report.leftOut = 1;
    phrases::PhraseVerdict missing;
    missing.status = phrases::PhraseStatus::MissingCharacter;
    missing.missingLead = 0xB0;
    missing.missingTrail = 0xA3;
    report.leftOutPhrases.push_back({1, missing});
    PhraseHealth health;
    const auto state = [&](const phrases::TTreeNode* selected, std::size_t chosen = 0,
                           std::optional<FilterCounts> filter = {}, std::string note = {}) {
        return StatusState{&health, selected, chosen, filter, std::move(note), {}, {}, false};
    };
    EXPECT_EQ(MakeStatusText(state(left)), StatusText{});  // nothing compiled: blank
    health.Update(tree, report);

    const std::string counts = CountsText(report);
    const std::string reason = LeftOutReason(missing);
    const std::string note = "short";
    const std::string filtered = texts::kFilterShownStart + std::string("1") +
                                 texts::kFilterShownMiddle + "1" + texts::kFilterShownEnd;
    const std::string chosen = texts::kChosenStart + std::string("2") + texts::kChosenEnd;
    const struct {
        StatusState state;
        std::string right;
    } cases[] = {
        {state(category), ""},
        {state(category, 0, {}, note), note},
        {state(left), reason},
        {state(left, 0, {}, note), reason + " (" + note + ")"},
        {state(category, 0, FilterCounts{1, 1, 1}, note), filtered},
        {state(left, 0, FilterCounts{1, 1, 1}), reason},
        {state(left, 2, FilterCounts{1, 1, 1}), chosen},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeStatusText(c.state), (StatusText{counts, c.right})) << c.right;

    // A selected phrase without anything else to say: its reading, marked when uncertain.
    StatusState withReading = state(category);
    withReading.reading = pinyin::ReadingOf("\xD2\xF8\xD0\xD0");  // 银行: a word of the table
    EXPECT_EQ(MakeStatusText(withReading).right, texts::kReadingShown + std::string("yin hang"));
    withReading.reading->uncertain = true;
    EXPECT_TRUE(MakeStatusText(withReading).right.ends_with(texts::kReadingUncertain));
    withReading.syncNote = "sync";  // a synchronisation's note before the reading
    EXPECT_EQ(MakeStatusText(withReading).right, "sync");
}

}  // namespace
}  // namespace editor
