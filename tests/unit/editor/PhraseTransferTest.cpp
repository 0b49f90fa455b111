// The editor's Export and Import: the merge made through the editor's changes (one undo step,
// node by node or the tree file whole), and the checks, questions and files around them.
#include "editor/commands/PhraseTransfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "DictionaryImportTexts.h"
#include "DictionaryTexts.h"
#include "EditorTexts.h"
#include "ScriptedDialogs.h"
#include "TransferTexts.h"
#include "editor/rules/EditHistory.h"
#include "phrases/TableBytes.h"
#include "phrases/TreeDump.h"
#include "phrases/TreeFile.h"
#include "platform/Error.h"

namespace editor {
namespace {

namespace fs = std::filesystem;
using phrases::TTreeNode;
using phrases::TTreeNodes;
using phrases::testing::Dump;
using testing::ScriptedDialogs;
using testing::Shown;

// Pairs of letters stand for characters: "ab" and "cd" are in the table, nothing else is.
phrases::CharacterTable SmallTable() {
    phrases::CharacterTable table;
    table.LoadFromBytes(phrases::testing::TableBytes({"ab", "cd"}));
    return table;
}

phrases::ImportPlan Plan(const TTreeNodes& tree, const std::string& file,
                         std::string_view category = {}) {
    const phrases::Gb2312Text text = phrases::DecodeToGb2312(file);
    return phrases::PlanImport(tree, text, SmallTable(), phrases::DetectImportFormat(text.bytes),
                               category);
}

class CountingObserver : public TreeObserver {
public:
    int inserted = 0;
    int reloads = 0;
    void NodeInserted(TTreeNode*) override { ++inserted; }
    void TreeReloaded() override { ++reloads; }
};

TEST(MergeImportTest, NodeByNodeOrWholeTheTreeEndsTheSameAndUndoesAsOneStep) {
    const struct {
        std::size_t maxOneByOne;
        int insertedEvents;
        int reloads;
    } cases[] = {{kMaxChangesOneByOne, 4, 0}, {3, 0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxOneByOne);
        TTreeNodes tree;
        phrases::ParseTree(tree, "A\r\n\tx\r\n\ty\r\nB\r\n\tz\r\n");
        CountingObserver observer;
        TreeEditor edits(tree, observer);
        EditHistory history;
        const phrases::ImportPlan plan =
            Plan(tree, "B\r\n\tw\r\n\tz\r\nC\r\n\tv\r\n\tx\r\nB\r\n\tu\r\n");
        ASSERT_EQ(plan.inserts.size(), 4u);

        const TTreeNode* first = MergeImport(edits, plan, c.maxOneByOne);
        EXPECT_EQ(Dump(tree), "A[x y] B[z w u] C[v]");
        EXPECT_EQ(observer.inserted, c.insertedEvents);
        EXPECT_EQ(observer.reloads, c.reloads);
        if (c.reloads == 0) {
            EXPECT_EQ(first, tree.FirstRoot()->NextSibling()->FirstChild()->NextSibling());  // w
        }

        history.Commit(edits);
        history.Undo(edits);
        EXPECT_EQ(Dump(tree), "A[x y] B[z]");
        EXPECT_FALSE(history.CanUndo());
        history.Redo(edits);
        EXPECT_EQ(Dump(tree), "A[x y] B[z w u] C[v]");
    }
}

TEST(MergeImportTest, APlanWithoutInsertsChangesNothing) {
    TTreeNodes tree;
    phrases::ParseTree(tree, "A\r\n\tx\r\n");
    CountingObserver observer;
    TreeEditor edits(tree, observer);
    EXPECT_EQ(MergeImport(edits, Plan(tree, "A\r\n\tx\r\n")), nullptr);
    EXPECT_FALSE(edits.HasPending());
}

class CountingFiles : public PhraseFiles {
public:
    bool loaded = true;
    int saves = 0;
    std::string ownFile;
    bool DataLoaded() const override { return loaded; }
    bool IsOwnFile(const std::string& path) const override { return path == ownFile; }
    void SaveAndCompile() override { ++saves; }
    void Compile() override {}
    phrases::TreeFileCheck LoadTree() override { return {}; }
};

class PhraseTransferTest : public ::testing::Test {
protected:
    PhraseTransferTest() {
        fs::create_directories(directory);
        phrases::ParseTree(tree, "A\r\n\tabcd\r\nB\r\n\tcdab\r\n");
    }
    ~PhraseTransferTest() override { fs::remove_all(directory); }

    std::string Put(const std::string& name, const std::string& bytes) {
        std::ofstream(directory / name, std::ios::binary) << bytes;
        return (directory / name).string();
    }
    std::string Read(const std::string& name) {
        std::ifstream file(directory / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    TTreeNode* Node(const std::string& text) {
        for (TTreeNode* node = tree.FirstRoot(); node; node = TTreeNodes::NextNode(node))
            if (node->Text() == text)
                return node;
        return nullptr;
    }
    static Shown Notice(const std::string& text) {
        return {text, texts::kNoticeCaption, BoxKind::Notice};
    }
    static Shown Question(const std::string& summary) {
        return {summary + "\n" + phrases::texts::kImportQuestion, texts::kNoticeCaption,
                BoxKind::Question};
    }

    fs::path directory = fs::temp_directory_path() /
                         (std::string("srf_transfer_") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TTreeNodes tree;
    ScriptedDialogs dialogs;
    CountingFiles files;
    CountingObserver observer;
    phrases::CharacterTable table = SmallTable();
    EditorCommands commands{tree, dialogs, files, observer, dialogs, table};
};

TEST_F(PhraseTransferTest, ImportAsksWithTheSummaryThenMergesSavesOnceAndUndoesWhole) {
    dialogs.importPath = Put("in.txt",
                             "\xEF\xBB\xBF"
                             "B\r\n\tabab\r\n\tcdab\r\nC\r\n\tcdcd\r\n");
    commands.Import(nullptr);
    phrases::ImportSummary summary;
    summary.added = 2;
    summary.newCategories = 1;
    summary.existing = 1;
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Question(phrases::FormatImportSummary(summary))});
    EXPECT_EQ(Dump(tree), "A[abcd] B[cdab abab] C[cdcd]");
    EXPECT_EQ(files.saves, 1);
    EXPECT_EQ(commands.TakeSelection(), Node("abab"));
    EXPECT_EQ(commands.TakeSelection(), nullptr);

    commands.Undo();
    EXPECT_EQ(Dump(tree), "A[abcd] B[cdab]");
    EXPECT_EQ(files.saves, 2);
    EXPECT_FALSE(commands.CanUndo());
}

TEST_F(PhraseTransferTest, CancelAtTheSummaryChangesNothing) {
    dialogs.importPath = Put("in.txt", "B\r\n\tabab\r\n");
    dialogs.answers = {Answer::Cancel};
    commands.Import(nullptr);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Dump(tree), "A[abcd] B[cdab]");
    EXPECT_EQ(files.saves, 0);
    EXPECT_FALSE(commands.CanUndo());
}

TEST_F(PhraseTransferTest, PlainLinesGoToTheSelectedNodesCategoryAndNeedOne) {
    dialogs.importPath = Put("in.txt", "abab\r\ncdcd  \r\n");
    commands.Import(nullptr);
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(phrases::texts::kPlainLinesNeedCategory)});
    EXPECT_EQ(files.saves, 0);

    dialogs.shown.clear();
    commands.Import(Node("abcd"));  // a phrase: its category takes them
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Dump(tree), "A[abcd abab cdcd] B[cdab]");
}

TEST_F(PhraseTransferTest, NothingNewIsANoticeWithTheSummary) {
    dialogs.importPath = Put("in.txt", "A\r\n\tabcd\r\n\t\r\n");
    commands.Import(nullptr);
    phrases::ImportSummary summary;
    summary.existing = 1;
    summary.empty = 1;
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(phrases::FormatImportSummary(summary) +
                                                       "\n" + phrases::texts::kNothingToImport)});
    EXPECT_EQ(files.saves, 0);
}

TEST_F(PhraseTransferTest, BothRefuseBeforeTheFileDialogWhileTheDataFilesFailedToLoad) {
    files.loaded = false;
    dialogs.importPath = Put("in.txt", "A\r\n\tabab\r\n");
    dialogs.exportTarget =
        ExportTarget{(directory / "out.txt").string(), phrases::ExportEncoding::Utf8, std::nullopt};
    commands.Import(nullptr);
    commands.Export(nullptr);
    EXPECT_EQ(dialogs.shown,
              (std::vector<Shown>{Notice(texts::kDataNotLoaded), Notice(texts::kDataNotLoaded)}));
    EXPECT_EQ(dialogs.fileDialogs, 0);
    EXPECT_FALSE(fs::exists(directory / "out.txt"));
}

TEST_F(PhraseTransferTest, ExportWritesTheChosenEncodingAndAsksBeforeReplacingAFile) {
    commands.Export(nullptr);  // Cancel in the dialog
    EXPECT_TRUE(fs::is_empty(directory));
    const std::string path = (directory / "out.txt").string();
    for (const auto encoding : {phrases::ExportEncoding::Utf8, phrases::ExportEncoding::Gb2312}) {
        dialogs.exportTarget = ExportTarget{path, encoding, std::nullopt};
        commands.Export(nullptr);
        EXPECT_EQ(Read("out.txt"), phrases::ExportTree(tree, encoding));
    }
    EXPECT_EQ(Read("out.txt"), "A\r\n\tabcd\r\nB\r\n\tcdab\r\n");
    const Shown replace{path + texts::kReplaceQuestion, texts::kConfirmCaption, BoxKind::Question};
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{replace});

    dialogs.answers = {Answer::Cancel};
    dialogs.exportTarget = ExportTarget{path, phrases::ExportEncoding::Utf8, std::nullopt};
    commands.Export(nullptr);
    EXPECT_EQ(Read("out.txt"), "A\r\n\tabcd\r\nB\r\n\tcdab\r\n");
}

TEST_F(PhraseTransferTest, ExportToADictionaryWithoutCategoriesAsksForOneOrAll) {
    TTreeNode* hanzi = tree.InsertLastChild(nullptr, "C");
    TTreeNode* hello = tree.InsertLastChild(hanzi, "\xC4\xE3\xBA\xC3");  // 你好
    const std::string path = (directory / "out.txt").string();
    dialogs.exportTarget =
        ExportTarget{path, phrases::ExportEncoding::Utf8, phrases::SourceFormat::PinyinText};
    const auto words = [&] { return phrases::ReadImportSource(Read("out.txt"), path).text.bytes; };
    dialogs.answers = {Answer::Yes};  // the selected phrase's category alone
    commands.Export(hello);
    EXPECT_EQ(words(), "\xC4\xE3\xBA\xC3\n");
    EXPECT_EQ(dialogs.shown.size(), 1u);

    // Every category: the phrases the target cannot take are listed first; Cancel writes nothing.
    dialogs.answers = {Answer::Ok, Answer::No, Answer::Cancel};
    commands.Export(hanzi);
    EXPECT_EQ(words(), "\xC4\xE3\xBA\xC3\n");
    EXPECT_NE(dialogs.shown.back().text.find("abcd"), std::string::npos);
}

TEST_F(PhraseTransferTest, ExportRefusesTheEditorsOwnFilesAndWritesNothing) {
    files.ownFile = (directory / "srf_pub.dat").string();
    dialogs.exportTarget = ExportTarget{files.ownFile, phrases::ExportEncoding::Utf8, std::nullopt};
    commands.Export(nullptr);
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kExportToOwnFile)});
    EXPECT_TRUE(fs::is_empty(directory));
}

TEST_F(PhraseTransferTest, ADictionaryGoesToANewCategoryOfItsNameOrToTheSelectedOne) {
    dialogs.importPath = Put("x.dict.yaml", "---\nname: R\n...\nabab\tab ab\ncdcd\tcd cd\na\tx\n");
    dialogs.answers = {Answer::Yes, Answer::Ok};
    commands.Import(Node("abcd"));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, BoxKind::Choice);
    std::string question = texts::kNewCategoryQuestion;
    for (const char* value : {"R", "R", "A"})
        question.replace(question.find("%s"), 2, value);
    EXPECT_EQ(dialogs.shown[0].text, question);
    EXPECT_TRUE(dialogs.shown[1].text.starts_with(
        platform::Format(phrases::texts::kSummaryFormat, phrases::texts::kFormatRime)));
    EXPECT_NE(dialogs.shown[1].text.find(platform::Format(texts::kImportTarget, "R")),
              std::string::npos);
    EXPECT_EQ(Dump(tree), "A[abcd] B[cdab] R[abab cdcd]");

    commands.Undo();
    dialogs.answers = {Answer::No, Answer::Ok};
    commands.Import(Node("abcd"));
    EXPECT_EQ(Dump(tree), "A[abcd abab cdcd] B[cdab]");

    commands.Undo();
    dialogs.shown.clear();
    dialogs.answers = {Answer::Cancel};  // Cancel at the question
    commands.Import(Node("abcd"));
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Dump(tree), "A[abcd] B[cdab]");
}

class ScriptedProgress : public ImportProgress {
public:
    int begun = 0, steps = 0, ended = 0;
    int cancelAt = -1;  // the step that answers Cancel
    void Begin() override { ++begun; }
    bool Step(std::size_t, std::size_t) override { return steps++ != cancelAt; }
    void End() override { ++ended; }
};

TEST_F(PhraseTransferTest, ALargeImportShowsItsProgressAndCancelChangesNothing) {
    ScriptedProgress progress;
    commands.SetImportProgress(&progress);
    std::string file;
    for (std::size_t k = 0; k <= kProgressLines; ++k)
        file += "abab\r\n";
    dialogs.importPath = Put("in.txt", file);
    progress.cancelAt = 1;
    commands.Import(Node("abcd"));
    EXPECT_EQ(progress.begun, 1);
    EXPECT_EQ(progress.ended, 1);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Dump(tree), "A[abcd] B[cdab]");

    progress.cancelAt = -1;
    commands.Import(Node("abcd"));
    EXPECT_EQ(progress.ended, 2);
    EXPECT_GT(progress.steps, 5);
    EXPECT_EQ(Dump(tree), "A[abcd abab] B[cdab]");

    // A small one shows none.
    dialogs.importPath = Put("small.txt", "cdcd\r\n");
    commands.Import(Node("abcd"));
    EXPECT_EQ(progress.begun, 2);
}

TEST_F(PhraseTransferTest, AFileThatCannotBeReadIsTheFileLayersError) {
    dialogs.importPath = (directory / "missing.txt").string();
    EXPECT_THROW(commands.Import(nullptr), std::exception);
    EXPECT_EQ(files.saves, 0);
}

}  // namespace
}  // namespace editor
