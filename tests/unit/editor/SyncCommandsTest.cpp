// The editor's synchronisation commands over a stand-in of the data directory: what they say,
// the fresh history after a merge, a failure kept out of boxes, a conflict's text put back.
#include <gtest/gtest.h>

#include "EditorTexts.h"
#include "ScriptedDialogs.h"
#include "editor/commands/EditorCommands.h"
#include "editor/rules/SyncLines.h"
#include "phrases/TreeDump.h"
#include "platform/Error.h"

namespace editor {
namespace {

using phrases::testing::Dump;

class SyncingFiles : public PhraseFiles {
public:
    std::string folder;
    // What the next synchronisation reports.
    bool treeChanged = false;
    std::vector<synchro::MemberChanges> changes;
    std::vector<synchro::Conflict> conflicts;
    bool fail = false;
    int saves = 0;

    phrases::TreeFileCheck LoadTree() override { return {}; }
    bool DataLoaded() const override { return true; }
    void SaveAndCompile() override { ++saves; }
    void Compile() override {}
    std::string SyncFolder() const override { return folder; }
    void SetSyncFolder(const std::string& chosen) override { folder = chosen; }
    synchro::SyncReport Synchronise() override {
        if (fail)
            throw platform::Error("FileOpenError", "Cannot open file X:\\\\share");
        synchro::SyncReport report;
        report.treeChanged = treeChanged;
        report.outcome.changes = changes;
        report.outcome.conflicts = conflicts;
        return report;
    }
};

class SyncCommandsTest : public ::testing::Test {
protected:
    SyncCommandsTest() {
        category = tree.InsertLastChild(nullptr, "k");
        tree.InsertLastChild(category, "x");
    }
    void NewPhrase(const char* text) {
        dialogs.typed.push_back(text);
        commands.New(category);
    }

    phrases::TTreeNodes tree;
    phrases::TTreeNode* category = nullptr;
    testing::ScriptedDialogs dialogs;
    SyncingFiles files;
    TreeObserver observer;
    phrases::CharacterTable table;
    EditorCommands commands{tree, dialogs, files, observer, dialogs, table};
};

TEST_F(SyncCommandsTest, SyncNowSaysWhyItCannotAndAMergeStartsAFreshHistory) {
    commands.SyncNow();
    EXPECT_EQ(dialogs.shown.back().text, texts::kSyncOff);

    files.folder = "/srv/sync";
    NewPhrase("y");  // saves, then synchronises without a word
    EXPECT_TRUE(commands.CanUndo());
    EXPECT_EQ(commands.SyncNote(), texts::kSyncNothing);

    files.treeChanged = true;
    files.changes.push_back({.id = 2, .computer = "OFFICE", .added = 2});
    commands.SyncNow();
    EXPECT_FALSE(commands.CanUndo());  // no undo could send the merge's phrases away again
    EXPECT_EQ(commands.SyncNote(), std::string(texts::kSyncNoteStart) + texts::kSyncFrom +
                                       "OFFICE" + texts::kSyncAdded + "2" + texts::kSyncDeleted +
                                       "0");

    // A folder out of reach: said in the status bar, no box, and the save itself stands.
    files.fail = true;
    const std::size_t boxes = dialogs.shown.size();
    NewPhrase("z");
    EXPECT_EQ(dialogs.shown.size(), boxes);
    EXPECT_TRUE(commands.SyncNote().starts_with(texts::kSyncFailed));
    EXPECT_EQ(files.saves, 2);
}

TEST_F(SyncCommandsTest, AConflictsLosingTextGoesBackAsANewPhraseOfItsCategory) {
    files.folder = "/srv/sync";
    synchro::Conflict conflict;
    conflict.text = "old";
    conflict.category = "k";
    conflict.keptText = "new";
    conflict.keptCategory = "k";
    files.conflicts = {conflict};
    commands.SyncNow();
    files.conflicts.clear();  // the next synchronisations find none
    using Action = SyncBoxAnswer::Action;
    dialogs.syncAnswers = {{Action::PutBack, {}, 0}, {Action::Close, {}, -1}};
    commands.SyncSettings(nullptr);
    EXPECT_EQ(Dump(tree), "k[old x]");
    EXPECT_EQ(dialogs.syncViews.front().conflicts,
              std::vector<std::string>{ConflictLine(conflict)});
    EXPECT_TRUE(dialogs.syncViews.back().conflicts.empty());
    EXPECT_TRUE(commands.CanUndo());
}

}  // namespace
}  // namespace editor
