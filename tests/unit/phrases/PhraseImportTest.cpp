#include "phrases/PhraseImport.h"

#include <gtest/gtest.h>

#include <string>

#include "TransferTexts.h"
#include "phrases/PhraseExport.h"
#include "phrases/TableBytes.h"
#include "phrases/TreeDump.h"
#include "phrases/TreeFile.h"

namespace phrases {
namespace {

using testing::Dump;

TTreeNodes& Fill(TTreeNodes& tree, std::string_view file) {
    ParseTree(tree, file);
    return tree;
}

// Pairs of letters stand for characters: "ab" and "cd" are in the table, nothing else is.
CharacterTable SmallTable() {
    CharacterTable table;
    table.LoadFromBytes(testing::TableBytes({"ab", "cd"}));
    return table;
}

ImportPlan Plan(const TTreeNodes& tree, const std::string& file, std::string_view category = {}) {
    const Gb2312Text text = DecodeToGb2312(file);
    return PlanImport(tree, text, SmallTable(), DetectImportFormat(text.bytes), category);
}

TEST(PhraseImportTest, TellsTheIndentedFormFromPlainLines) {
    const struct {
        std::string file;
        ImportFormat expected;
    } cases[] = {
        {"cat\r\n\tphrase\r\n", ImportFormat::Indented},
        {"\r\n  \r\ncat\r\n  phrase", ImportFormat::Indented},  // blank lines do not count
        {"one\r\ntwo\r\n", ImportFormat::PlainLines},
        {"\tone\r\ntwo\r\n\tthree", ImportFormat::PlainLines},  // starts indented
        {"", ImportFormat::PlainLines},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectImportFormat(c.file), c.expected) << c.file;
}

TEST(PhraseImportTest, MergesByCategoryTextNewOnesLastPhrasesAtTheEnd) {
    TTreeNodes tree;
    Fill(tree, "A\r\n\tx\r\n\ty\r\nB\r\n\tz\r\n");
    const ImportPlan plan = Plan(tree, "B\r\n\tw\r\n\tz\r\nC\r\n\tv\r\n\tx\r\nB\r\n\tu\r\n");
    EXPECT_EQ(plan.summary.added, 3);
    EXPECT_EQ(plan.summary.newCategories, 1);
    EXPECT_EQ(plan.summary.existing, 2);

    const std::vector<TTreeNode*> inserted = ApplyImport(tree, plan);
    EXPECT_EQ(Dump(tree), "A[x y] B[z w u] C[v]");
    std::string order;
    for (const TTreeNode* node : inserted)
        order += node->Text();
    EXPECT_EQ(order, "wCvu");

    // Deleting the new nodes in reverse order is the undo.
    for (auto node = inserted.rbegin(); node != inserted.rend(); ++node)
        tree.DeleteNode(*node);
    EXPECT_EQ(Dump(tree), "A[x y] B[z]");
}

TEST(PhraseImportTest, CountsEveryReasonToSkipALikeTheEditorsNew) {
    TTreeNodes tree;
    Fill(tree, "A\r\n\tabcd\r\n");
    const std::string longest(64, 'a');
    const std::string file = "  new  \r\n\r\n" + longest + "\r\n" + longest + "b\r\nabcd\r\nA\r\n" +
                             "dup\r\ndup\r\nx😀y\r\n";
    const ImportPlan plan = Plan(tree, file, "A");
    const ImportSummary& s = plan.summary;
    EXPECT_EQ(s.added, 3);     // "new" trimmed, the 64 bytes, the first "dup"
    EXPECT_EQ(s.existing, 3);  // a phrase, a category's text and the second "dup"
    EXPECT_EQ(s.tooLong, 1);
    EXPECT_EQ(s.empty, 1);
    EXPECT_EQ(s.notGb2312, 1);
    EXPECT_EQ(s.newCategories, 0);
    EXPECT_EQ(plan.lines[0].text, "new");
    EXPECT_EQ(plan.lines[8].unheld, U'\U0001F600');
    ApplyImport(tree, plan);
    EXPECT_EQ(Dump(tree), "A[abcd new " + longest + " dup]");
}

TEST(PhraseImportTest, CountsAddedPhrasesTheCompileLeavesOut) {
    TTreeNodes tree;
    const ImportPlan plan = Plan(tree, "abcd\r\nabef\r\nab\r\n", "A");
    EXPECT_EQ(plan.summary.added, 3);
    EXPECT_EQ(plan.summary.leftOutOfCompile, 2);
    EXPECT_EQ(ImportLineReason(plan.lines[0]), "");
    EXPECT_EQ(plan.lines[1].verdict.status, PhraseStatus::MissingCharacter);
    EXPECT_EQ(ImportLineReason(plan.lines[1]), texts::kReasonLeftOut);
    EXPECT_EQ(plan.lines[2].verdict.status, PhraseStatus::SingleCharacter);
}

TEST(PhraseImportTest, PlainLinesGoToTheNamedCategoryMadeWhenMissing) {
    TTreeNodes tree;
    Fill(tree, "A\r\n\tx\r\nB\r\n");
    ImportPlan plan = Plan(tree, "p\r\nq", "B");
    EXPECT_EQ(plan.summary.newCategories, 0);
    ApplyImport(tree, plan);
    plan = Plan(tree, "r", "  C ");
    EXPECT_EQ(plan.summary.newCategories, 1);
    ApplyImport(tree, plan);
    EXPECT_EQ(Dump(tree), "A[x] B[p q] C[r]");
}

TEST(PhraseImportTest, IndentedFileIsForgivingAboutBlankLinesAndDepth) {
    TTreeNodes tree;
    const ImportPlan plan = Plan(tree, "A\r\n\tp\r\n\r\n\t\tq\r\n \r\nB\r\n");
    EXPECT_EQ(plan.summary.empty, 2);
    ApplyImport(tree, plan);
    EXPECT_EQ(Dump(tree), "A[p q] B");
}

TEST(PhraseImportTest, ACategoryThatCannotBeStoredTakesItsPhrasesWithIt) {
    TTreeNodes tree;
    const ImportPlan plan = Plan(tree, "X😀\r\n\tp\r\n\tq\r\nY\r\n\tr\r\n");
    EXPECT_EQ(plan.summary.notGb2312, 3);
    EXPECT_EQ(plan.summary.added, 1);
    ApplyImport(tree, plan);
    EXPECT_EQ(Dump(tree), "Y[r]");
}

TEST(PhraseImportTest, ExportThenImportIntoAnEmptyTreeGivesTheSameFile) {
    TTreeNodes tree;
    // 常用 [你好 谢谢] 空 [] 地址 [北京]
    Fill(tree,
         "\xB3\xA3\xD3\xC3\r\n\t\xC4\xE3\xBA\xC3\r\n\t\xD0\xBB\xD0\xBB\r\n\xBF\xD5\r\n"
         "\xB5\xD8\xD6\xB7\r\n\t\xB1\xB1\xBE\xA9\r\n");
    for (const ExportEncoding encoding : {ExportEncoding::Utf8, ExportEncoding::Gb2312}) {
        const std::string exported = ExportTree(tree, encoding);
        TTreeNodes copy;
        const ImportPlan plan = Plan(copy, exported);
        EXPECT_EQ(plan.format, ImportFormat::Indented);
        ApplyImport(copy, plan);
        EXPECT_EQ(FormatTree(copy), FormatTree(tree));
    }
    EXPECT_EQ(ExportTree(tree, ExportEncoding::Utf8).substr(0, 11), "\xEF\xBB\xBF常用\r\n");
    EXPECT_EQ(ExportTree(tree, ExportEncoding::Gb2312), FormatTree(tree));
}

TEST(PhraseImportTest, SummaryReadsInChinese) {
    ImportSummary summary;
    summary.added = 5;
    summary.newCategories = 1;
    summary.existing = 2;
    summary.tooLong = 3;
    summary.empty = 4;
    summary.notGb2312 = 6;
    summary.leftOutOfCompile = 7;
    EXPECT_EQ(Gb2312ToUtf8(FormatImportSummary(summary)),
              "将增加语料 5 条，新增分类 1 个。\n"
              "跳过：已存在 2 条，超过64字节 3 条，空内容 4 条，含GB2312没有的字 6 条。\n"
              "增加的语料中有 7 条不会编入 srf_pub.usr（字表中没有其中的字，或只有一个字）。");
}

}  // namespace
}  // namespace phrases
