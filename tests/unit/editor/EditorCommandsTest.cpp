// The phrase editor's command rules, driven through scripted answers of the user.
#include "editor/commands/EditorCommands.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "EditorTexts.h"
#include "ScriptedDialogs.h"
#include "editor/rules/EditHistory.h"
#include "editor/rules/PhraseSelection.h"
#include "phrases/TreeDump.h"
#include "phrases/TreeNodes.h"

namespace editor {
namespace {

using phrases::TTreeNode;
using phrases::testing::Dump;
using testing::Prompted;
using testing::ScriptedDialogs;
using testing::Shown;

const std::string kHanzi = "\xB0\xA1";  // one Chinese character, two bytes

class RecordingFiles : public PhraseFiles {
public:
    bool loaded = true;
    bool tableLoaded = true;
    bool failWrites = false;
    bool changedOnDisk = false;
    std::optional<std::string> backup;
    std::map<std::string, std::string> backups;  // by name: the dated copies as well
    std::vector<std::string> calls;

    bool DataLoaded() const override { return loaded; }
    bool TableLoaded() const override { return tableLoaded; }
    bool ChangedOnDisk() override { return changedOnDisk; }
    phrases::TreeFileCheck LoadTree() override {
        calls.push_back("reload");
        changedOnDisk = false;
        return {};
    }
    void AcceptDiskState() override {
        calls.push_back("accept");
        changedOnDisk = false;
    }
    bool HasBackup() const override { return backup.has_value(); }
    // srf_pub.dat.bak alone from backup, or every backup from backups.
    std::vector<phrases::BackupEntry> ListBackups() const override {
        std::vector<phrases::BackupEntry> entries;
        if (backups.empty() && backup)
            entries.push_back(phrases::DescribeBackup(phrases::kLatestBackupName, *backup));
        for (const auto& [name, bytes] : backups)
            entries.push_back(phrases::DescribeBackup(name, bytes));
        phrases::SortBackups(entries);
        return entries;
    }
    std::optional<std::string> ReadBackupNamed(const std::string& name) override {
        if (backups.empty())
            return name == phrases::kLatestBackupName ? backup : std::nullopt;
        return backups.at(name);
    }
    void TreeRestored() override { loaded = true; }
    void SaveAndCompile() override {
        calls.push_back("save+compile");
        if (failWrites)
            throw std::runtime_error("Cannot create file x");
    }
    void Compile() override { calls.push_back("compile"); }
    const pinyin::UserReadings& Readings() override { return readings; }
    void SetReading(std::string_view phrase,
                    const std::vector<pinyin::Syllable>& reading) override {
        if (reading.empty())
            readings.Remove(phrase);
        else
            readings.Set(phrase, reading);
    }
    pinyin::UserReadings readings;
};

class RecordingObserver : public TreeObserver {
public:
    std::vector<std::string> events;
    void NodeInserted(TTreeNode* node) override {
        events.push_back("inserted " + std::string(node->Text()));
    }
    void NodeTextChanged(TTreeNode* node) override {
        events.push_back("renamed " + std::string(node->Text()));
    }
    void NodeDeleting(TTreeNode* node) override {
        events.push_back("deleting " + std::string(node->Text()));
    }
};

Shown Notice(const char* text) { return {text, texts::kNoticeCaption, BoxKind::Notice}; }

class EditorCommandsTest : public ::testing::Test {
protected:
    EditorCommandsTest() {
        // a[a1 a2] b[] c[c1]
        a = tree.InsertLastChild(nullptr, "a");
        a1 = tree.InsertLastChild(a, "a1");
        a2 = tree.InsertLastChild(a, "a2");
        b = tree.InsertLastChild(nullptr, "b");
        c = tree.InsertLastChild(nullptr, "c");
        tree.InsertLastChild(c, "c1");
    }

    // Runs New on the selected node with one typed answer.
    void NewWith(TTreeNode* selected, std::optional<testing::Typed> answer) {
        dialogs.typed.push_back(std::move(answer));
        commands.New(selected);
    }
    void ModifyWith(TTreeNode* selected, std::optional<testing::Typed> answer) {
        dialogs.typed.push_back(std::move(answer));
        commands.Modify(selected);
    }
    bool Enabled(Command command, const TTreeNode* selected, bool filtered = false,
                 std::size_t chosen = 0) {
        return commands.IsEnabled(command, {selected, filtered, chosen});
    }
    Outcome Run(Command command, TTreeNode* selected, const std::vector<TTreeNode*>& chosen = {}) {
        return commands.Execute(command, {selected, chosen});
    }
    void ExpectUnchanged() {
        EXPECT_EQ(Dump(tree), kInitial);
        EXPECT_TRUE(files.calls.empty());
        EXPECT_TRUE(observer.events.empty());
    }

    static constexpr const char* kInitial = "a[a1 a2] b c[c1]";
    phrases::TTreeNodes tree;
    TTreeNode *a, *a1, *a2, *b, *c;
    ScriptedDialogs dialogs;
    RecordingFiles files;
    RecordingObserver observer;
    phrases::CharacterTable table;
    EditorCommands commands{tree, dialogs, files, observer, dialogs, table};
};

TEST_F(EditorCommandsTest, NewGoesFirstInTheCategoryOfTheSelection) {
    NewWith(a, "x");
    EXPECT_EQ(Dump(tree), "a[x a1 a2] b c[c1]");
    NewWith(a2, "y");  // a phrase selected: still first of its category, not beside it
    EXPECT_EQ(Dump(tree), "a[y x a1 a2] b c[c1]");
    NewWith(b, "z");  // an empty category gets its first phrase
    EXPECT_EQ(Dump(tree), "a[y x a1 a2] b[z] c[c1]");
    EXPECT_EQ(files.calls,
              (std::vector<std::string>{"save+compile", "save+compile", "save+compile"}));
    EXPECT_EQ(observer.events,
              (std::vector<std::string>{"inserted x", "inserted y", "inserted z"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorCommandsTest, NewAsksUnderTheCategoryNameWithAnEmptyValue) {
    NewWith(a1, std::nullopt);
    NewWith(c, std::nullopt);
    EXPECT_EQ(dialogs.prompted, (std::vector<Prompted>{{texts::kInputCaption, "a ", ""},
                                                       {texts::kInputCaption, "c ", ""}}));
    ExpectUnchanged();  // Cancel changes nothing
}

TEST_F(EditorCommandsTest, NewTrimsBlanksAndControlBytes) {
    NewWith(a, "  \t" + kHanzi + " x ");
    EXPECT_EQ(a->FirstChild()->Text(), kHanzi + " x");
}

// One typed text and the notice it draws from New ("" for none: stored).
struct TextCase {
    std::string typed;
    const char* notice;
};

TEST_F(EditorCommandsTest, NewChecksTheTypedText) {
    const std::vector<TextCase> cases = {
        {"   ", texts::kIncorrectInput},
        {"\t\r\n", texts::kIncorrectInput},
        {std::string(64, 'q'), ""},
        {std::string(65, 'q'), texts::kTooLong},
        {[] {
             std::string s;
             for (int i = 0; i < 32; ++i)
                 s += kHanzi;
             return s;
         }(),
         ""},
        {[] {
             std::string s;
             for (int i = 0; i < 33; ++i)
                 s += kHanzi;
             return s;
         }(),
         texts::kTooLong},
        {"c1", texts::kAlreadyExists},     // a phrase of another category
        {"b", texts::kAlreadyExists},      // a category's name
        {" a2 ", texts::kAlreadyExists},   // trimmed before the test
        {"A2", ""},                        // letter case counts
        {"x\ry", texts::kIncorrectInput},  // would break the line-per-node file
        {"x\ny", texts::kIncorrectInput},
        {std::string("x\0y", 3), texts::kIncorrectInput},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.typed);
        dialogs.shown.clear();
        const int before = tree.NodeCount();
        NewWith(a1, testCase.typed);
        if (*testCase.notice) {
            EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(testCase.notice)});
            EXPECT_EQ(tree.NodeCount(), before);
        } else {
            EXPECT_TRUE(dialogs.shown.empty());
            EXPECT_EQ(a->FirstChild()->Text(), TrimText(testCase.typed));
        }
    }
}

TEST_F(EditorCommandsTest, StoredTextsAreComparedAsTheyStand) {
    tree.SetNodeText(a1, " padded ");
    NewWith(a, "padded");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(a->FirstChild()->Text(), "padded");
}

TEST_F(EditorCommandsTest, EveryCommandNeedsItsSelection) {
    dialogs.typed.clear();
    commands.New(nullptr);
    commands.Modify(nullptr);
    commands.Delete(nullptr);
    EXPECT_EQ(dialogs.shown,
              (std::vector<Shown>{Notice(texts::kSelectCategory), Notice(texts::kSelectToModify),
                                  Notice(texts::kSelectToDelete)}));
    EXPECT_TRUE(dialogs.prompted.empty());
    ExpectUnchanged();
}

TEST_F(EditorCommandsTest, ModifyRenamesPhrasesAndCategories) {
    ModifyWith(a2, "x");
    ModifyWith(c, "cc");
    EXPECT_EQ(Dump(tree), "a[a1 x] b cc[c1]");
    EXPECT_EQ(dialogs.prompted,
              (std::vector<Prompted>{{texts::kInputCaption, texts::kContentPrompt, "a2"},
                                     {texts::kInputCaption, texts::kContentPrompt, "c"}}));
    EXPECT_EQ(observer.events, (std::vector<std::string>{"renamed x", "renamed cc"}));
    EXPECT_EQ(files.calls.size(), 2u);
}

TEST_F(EditorCommandsTest, ModifyTrimsAndRefusesWhatNewRefuses) {
    const std::vector<TextCase> cases = {
        {"  \t", texts::kEmptyInput},
        {"", texts::kEmptyInput},
        {std::string(65, 'q'), texts::kTooLong},
        {"b", texts::kAlreadyExists},
        {"x\ny", texts::kIncorrectInput},
        {"a2", ""},     // unchanged: nothing written, nothing shown
        {" a2\t", ""},  // unchanged once trimmed
        {"A2", "stored"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.typed);
        dialogs.shown.clear();
        files.calls.clear();
        ModifyWith(a2, testCase.typed);
        if (std::string(testCase.notice) == "stored") {
            EXPECT_TRUE(dialogs.shown.empty());
            EXPECT_EQ(a2->Text(), "A2");
            EXPECT_EQ(files.calls.size(), 1u);
            continue;
        }
        EXPECT_EQ(a2->Text(), "a2");
        EXPECT_TRUE(files.calls.empty());
        if (*testCase.notice)
            EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(testCase.notice)});
        else
            EXPECT_TRUE(dialogs.shown.empty());
    }
}

TEST_F(EditorCommandsTest, ModifyLeftAsItStandsChangesNothingWhateverTheStoredText) {
    // Trailing blanks, an empty node from a blank line, a text over 64 bytes: what New would trim
    // or refuse stays as the file has it when the user only confirms it.
    for (const std::string& stored : {std::string("a1 \t"), std::string(), std::string(70, 'q')}) {
        tree.SetNodeText(a1, stored);
        ModifyWith(a1, stored);
        EXPECT_EQ(a1->Text(), stored);
    }
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(files.calls.empty());
    EXPECT_TRUE(observer.events.empty());
    EXPECT_FALSE(commands.CanUndo());
    ModifyWith(a1, std::string(70, 'q') + 'r');  // changed: checked as ever
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kTooLong)});
}

TEST_F(EditorCommandsTest, ModifyStoresTheTrimmedText) {
    ModifyWith(a1, "\t new text  ");
    EXPECT_EQ(a1->Text(), "new text");
}

TEST_F(EditorCommandsTest, ModifyCancelledChangesNothing) {
    ModifyWith(a1, std::nullopt);
    ExpectUnchanged();
}

// "😀好" and Korean reach the rules with "?" for what code page 936 cannot hold; nothing is stored.
TEST_F(EditorCommandsTest, NewModifyAndNewCategoryRefuseWhatGb2312CannotHold) {
    const struct {
        testing::Typed typed;
        const char* code;
    } cases[] = {{{"?" + kHanzi, U'\U0001F600'}, "U+1F600"}, {{"???", U'\uD55C'}, "U+D55C"}};
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.code);
        dialogs.shown.clear();
        dialogs.prompted.clear();
        // After the notice the box opens again on the typed text; Cancel there changes nothing.
        dialogs.typed = {testCase.typed, std::nullopt};
        commands.New(a);
        dialogs.typed = {testCase.typed, std::nullopt};
        commands.Modify(a1);
        dialogs.typed = {testCase.typed, std::nullopt};
        commands.NewCategory();
        const std::string text =
            std::string(texts::kUnheldStart) + testCase.code + texts::kUnheldEnd;
        const Shown notice = Notice(text.c_str());
        EXPECT_EQ(dialogs.shown, std::vector<Shown>(3, notice));
        ASSERT_EQ(dialogs.prompted.size(), 6u);
        for (const std::size_t reopened : {1u, 3u, 5u})
            EXPECT_EQ(dialogs.prompted[reopened].value, testCase.typed.text);
        ExpectUnchanged();
    }
}

TEST_F(EditorCommandsTest, DeleteAsksAndRemovesThePhrase) {
    commands.Delete(a2);
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{std::string(texts::kDeleteQuestionStart) + "a2" +
                                                      texts::kDeleteQuestionEnd,
                                                  texts::kConfirmCaption, BoxKind::Question}}));
    EXPECT_EQ(Dump(tree), "a[a1] b c[c1]");
    EXPECT_EQ(observer.events, std::vector<std::string>{"deleting a2"});
    EXPECT_EQ(files.calls, std::vector<std::string>{"save+compile"});
}

TEST_F(EditorCommandsTest, DeleteAnsweredOtherThanOkChangesNothing) {
    dialogs.answers.push_back(Answer::Cancel);
    commands.Delete(a1);
    ExpectUnchanged();
}

TEST_F(EditorCommandsTest, CategoriesCannotBeDeleted) {
    commands.Delete(a);
    commands.Delete(b);  // also when empty
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{Notice(texts::kCategoryNotDeletable),
                                                 Notice(texts::kCategoryNotDeletable)}));
    ExpectUnchanged();
}

TEST_F(EditorCommandsTest, SaveCompilesWithItsNoticeAndLeavesTheTreeFileAlone) {
    commands.Save();
    EXPECT_EQ(files.calls, std::vector<std::string>{"compile"});
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kSaved)});
}

TEST_F(EditorCommandsTest, QuitAsksTheWindowToClose) {
    EXPECT_TRUE(Run(Command::Quit, a1).quit);
    EXPECT_FALSE(Run(Command::Save, a1).quit);
}

TEST_F(EditorCommandsTest, NothingIsWrittenWhenTheFilesDidNotLoad) {
    files.loaded = false;
    for (auto command : {Command::New, Command::Modify, Command::Delete, Command::Save})
        Run(command, a1);
    EXPECT_EQ(dialogs.shown, std::vector<Shown>(4, Notice(texts::kDataNotLoaded)));
    EXPECT_TRUE(dialogs.prompted.empty());
    ExpectUnchanged();
    EXPECT_TRUE(Run(Command::Quit, a1).quit);
}

// Enabled states ------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, TheBasicCommandsStayEnabledSoTheirNoticesAppear) {
    files.loaded = files.tableLoaded = false;
    for (auto command : {Command::New, Command::Modify, Command::Delete, Command::Save,
                         Command::Quit, Command::NewCategory})
        for (TTreeNode* selected : {static_cast<TTreeNode*>(nullptr), a, a1})
            EXPECT_TRUE(Enabled(command, selected));
}

TEST_F(EditorCommandsTest, UndoAndRedoAreEnabledWithAStepToTakeBackOrMakeAgain) {
    EXPECT_FALSE(Enabled(Command::Undo, a1));
    EXPECT_FALSE(Enabled(Command::Redo, a1));
    NewWith(a, "x");
    EXPECT_TRUE(Enabled(Command::Undo, nullptr));
    EXPECT_FALSE(Enabled(Command::Redo, nullptr));
    commands.Undo();
    EXPECT_FALSE(Enabled(Command::Undo, nullptr));
    EXPECT_TRUE(Enabled(Command::Redo, nullptr));
}

TEST_F(EditorCommandsTest, TheMovesAreEnabledForAPhraseThatHasSomewhereToGo) {
    EXPECT_FALSE(Enabled(Command::MoveUp, a1));  // first of its category
    EXPECT_TRUE(Enabled(Command::MoveDown, a1));
    EXPECT_TRUE(Enabled(Command::MoveUp, a2));
    EXPECT_FALSE(Enabled(Command::MoveDown, a2));  // last of its category
    TTreeNode* c1 = c->FirstChild();               // alone in its category
    for (TTreeNode* selected : {static_cast<TTreeNode*>(nullptr), a, b, c1}) {
        EXPECT_FALSE(Enabled(Command::MoveUp, selected));
        EXPECT_FALSE(Enabled(Command::MoveDown, selected));
    }
    files.loaded = false;
    EXPECT_FALSE(Enabled(Command::MoveDown, a1));
}

TEST_F(EditorCommandsTest, TheMovesAreGreyedWhileFilteredOrWhileSeveralPhrasesAreChosen) {
    EXPECT_TRUE(Enabled(Command::MoveDown, a1));
    EXPECT_FALSE(Enabled(Command::MoveDown, a1, /*filtered=*/true));  // a hidden neighbour
    EXPECT_FALSE(Enabled(Command::MoveDown, a1, false, /*chosen=*/2));
    EXPECT_TRUE(Enabled(Command::MoveDown, a1, false, 1));
    EXPECT_TRUE(Enabled(Command::MoveTo, a1, true, 2));  // the other commands act on them
    EXPECT_TRUE(Enabled(Command::Delete, a1, true, 2));
    // And they do nothing then, also from a key that reaches them.
    commands.Execute(Command::MoveDown, {a1, {}, /*filtered=*/true});
    commands.Execute(Command::MoveDown, {a1, {a1, a2}});
    ExpectUnchanged();
}

TEST_F(EditorCommandsTest, RestoreNeedsABackupAndTheTransfersTheLoadedData) {
    EXPECT_FALSE(Enabled(Command::RestoreBackup, a1));
    files.backup = "r\r\n";
    EXPECT_TRUE(Enabled(Command::RestoreBackup, a1));
    EXPECT_TRUE(Enabled(Command::Export, nullptr));
    EXPECT_TRUE(Enabled(Command::Import, nullptr));
    files.loaded = false;  // the backup is then the way back
    EXPECT_TRUE(Enabled(Command::RestoreBackup, nullptr));
    EXPECT_FALSE(Enabled(Command::Export, nullptr));
    EXPECT_FALSE(Enabled(Command::Import, nullptr));
}

TEST_F(EditorCommandsTest, ExecuteNamesTheNodeToSelect) {
    const Outcome moved = Run(Command::MoveDown, a1);
    EXPECT_EQ(moved.select, tree.FirstRoot()->FirstChild()->NextSibling());
    EXPECT_EQ(Dump(tree), "a[a2 a1] b c[c1]");
    EXPECT_EQ(Run(Command::Save, a1).select, nullptr);
}

TEST_F(EditorCommandsTest, AChangeWhoseWritingFailsStaysInTheTreeAndTheWindow) {
    files.failWrites = true;
    dialogs.typed.push_back("x");
    EXPECT_THROW(commands.New(a), std::runtime_error);
    EXPECT_EQ(Dump(tree), "a[x a1 a2] b c[c1]");
    EXPECT_EQ(observer.events, std::vector<std::string>{"inserted x"});
}

// Undo and redo -------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, UndoAndRedoWalkBackAndForthThroughEveryKindOfChange) {
    NewWith(a1, "x");
    ModifyWith(c, "cc");
    commands.Delete(a2);
    commands.MoveDown(a->FirstChild());  // x below a1
    const std::vector<std::string> states = {kInitial, "a[x a1 a2] b c[c1]", "a[x a1 a2] b cc[c1]",
                                             "a[x a1] b cc[c1]", "a[a1 x] b cc[c1]"};
    EXPECT_EQ(Dump(tree), states[4]);
    files.calls.clear();
    for (int step = 3; step >= 0; --step) {
        ASSERT_TRUE(commands.CanUndo());
        commands.Undo();
        EXPECT_EQ(Dump(tree), states[step]);
    }
    EXPECT_FALSE(commands.CanUndo());
    for (int step = 1; step <= 4; ++step) {
        commands.Redo();
        EXPECT_EQ(Dump(tree), states[step]);
    }
    EXPECT_FALSE(commands.CanRedo());
    EXPECT_EQ(files.calls,
              std::vector<std::string>(8, "save+compile"));  // each step written at once
}

TEST_F(EditorCommandsTest, AnUndoneDeleteBringsThePhraseBackAtItsPlace) {
    for (const char* which : {"a1", "a2"}) {
        SCOPED_TRACE(which);
        TTreeNode* phrase =
            std::string(which) == "a1" ? a->FirstChild() : a->FirstChild()->NextSibling();
        commands.Delete(phrase);
        commands.Undo();
        EXPECT_EQ(Dump(tree), kInitial);
        TTreeNode* back = commands.TakeSelection();
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->Text(), which);  // the window selects the phrase that came back
    }
    tree.InsertLastChild(a->FirstChild(),
                         "deep");  // a phrase with a node beneath, as foreign files have
    commands.Delete(a->FirstChild());
    EXPECT_EQ(Dump(tree), "a[a2] b c[c1]");
    commands.Undo();
    EXPECT_EQ(Dump(tree), "a[a1[deep] a2] b c[c1]");
}

TEST_F(EditorCommandsTest, ANewChangeEndsWhatCouldBeRedoneAndEmptyHistoriesDoNothing) {
    commands.Undo();
    commands.Redo();
    EXPECT_TRUE(files.calls.empty());
    NewWith(a, "x");
    commands.Undo();
    NewWith(a, "y");
    EXPECT_FALSE(commands.CanRedo());
    commands.Redo();
    EXPECT_EQ(Dump(tree), "a[y a1 a2] b c[c1]");
}

TEST_F(EditorCommandsTest, ARefusedOrCancelledCommandLeavesNoStep) {
    NewWith(a, std::nullopt);
    NewWith(a, "b");  // already there
    commands.Delete(a);
    EXPECT_FALSE(commands.CanUndo());
}

TEST_F(EditorCommandsTest, SeveralChangesCommittedTogetherUndoAsOneStep) {
    for (const char* text : {"i1", "i2", "i3"})
        commands.Edits().InsertAt(b, ChildCount(tree, b), text);
    commands.CommitAndSave();
    EXPECT_EQ(Dump(tree), "a[a1 a2] b[i1 i2 i3] c[c1]");
    EXPECT_EQ(files.calls, std::vector<std::string>{"save+compile"});
    commands.Undo();
    EXPECT_EQ(Dump(tree), kInitial);
    commands.Redo();
    EXPECT_EQ(Dump(tree), "a[a1 a2] b[i1 i2 i3] c[c1]");
}

// Order -------------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, MovesStayWithinTheCategoryAndStopAtItsEnds) {
    struct MoveCase {
        const char* phrase;
        int delta;
        const char* expected;
    };
    const std::vector<MoveCase> cases = {
        {"a1", -1, kInitial},  // first already
        {"a2", +1, kInitial},  // last already
        {"c1", -1, kInitial},  // the only one
        {"a1", +1, "a[a2 a1] b c[c1]"}, {"a2", -1, "a[a2 a1] b c[c1]"},
    };
    for (const auto& move : cases) {
        SCOPED_TRACE(std::string(move.phrase) + (move.delta < 0 ? " up" : " down"));
        files.calls.clear();
        TTreeNode* phrase = nullptr;
        tree.ForEachNode([&](const TTreeNode& node, int) {
            if (node.Text() == move.phrase)
                phrase = const_cast<TTreeNode*>(&node);
        });
        move.delta < 0 ? commands.MoveUp(phrase) : commands.MoveDown(phrase);
        EXPECT_EQ(Dump(tree), move.expected);
        EXPECT_EQ(files.calls.size(), std::string(move.expected) == kInitial ? 0u : 1u);
        if (std::string(move.expected) != kInitial) {
            EXPECT_EQ(commands.TakeSelection()->Text(), move.phrase);  // stays selected
            commands.Undo();
            EXPECT_EQ(Dump(tree), kInitial);
        }
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorCommandsTest, MovesNeedAPhrase) {
    commands.MoveUp(nullptr);
    commands.MoveDown(a);
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{Notice(texts::kSelectToMove),
                                                 Notice(texts::kCategoryNotMovable)}));
    ExpectUnchanged();
}

TEST_F(EditorCommandsTest, ADroppedPhraseBecomesTheFirstOfTheCategoryItLandsOn) {
    struct DropCase {
        const char* target;
        const char* expected;
    };
    const std::vector<DropCase> cases = {
        {"c", "a[a1] b c[a2 c1]"},   // a category
        {"c1", "a[a1] b c[a2 c1]"},  // a phrase of another category: its category
        {"b", "a[a1] b[a2] c[c1]"},  // an empty category
        {"a", "a[a2 a1] b c[c1]"},   // its own category: to the top
        {"a1", kInitial},            // a phrase of its own category: stays
        {"a2", kInitial},            // itself
    };
    for (const auto& drop : cases) {
        SCOPED_TRACE(drop.target);
        TTreeNode* target = nullptr;
        tree.ForEachNode([&](const TTreeNode& node, int) {
            if (node.Text() == drop.target)
                target = const_cast<TTreeNode*>(&node);
        });
        commands.MoveToCategory(a->FirstChild()->NextSibling(), target);
        EXPECT_EQ(Dump(tree), drop.expected);
        if (std::string(drop.expected) != kInitial) {
            commands.Undo();
            EXPECT_EQ(Dump(tree), kInitial);
        }
    }
    commands.MoveToCategory(a->FirstChild(), a);  // the first of its own category already
    commands.MoveToCategory(a, c);                // categories are not dragged
    EXPECT_EQ(Dump(tree), kInitial);
}

// New category ------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, NewCategoryGoesAfterTheLastWithTheChecksOfNew) {
    const std::vector<TextCase> cases = {
        {"   ", texts::kIncorrectInput},
        {"", texts::kIncorrectInput},
        {std::string(65, 'q'), texts::kTooLong},
        {"a1", texts::kAlreadyExists},  // a phrase's text
        {"c", texts::kAlreadyExists},
        {"x\ty\nz", texts::kIncorrectInput},
        {" d ", ""},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.typed);
        dialogs.shown.clear();
        dialogs.typed.push_back(testCase.typed);
        commands.NewCategory();
        if (*testCase.notice) {
            EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(testCase.notice)});
            EXPECT_EQ(Dump(tree), kInitial);
        } else {
            EXPECT_TRUE(dialogs.shown.empty());
            EXPECT_EQ(Dump(tree), "a[a1 a2] b c[c1] d");
        }
    }
    EXPECT_EQ(dialogs.prompted.back(),
              (Prompted{texts::kInputCaption, texts::kCategoryPrompt, ""}));
    EXPECT_EQ(commands.TakeSelection()->Text(), "d");
    dialogs.typed.push_back(std::nullopt);
    commands.NewCategory();  // Cancel
    commands.Undo();
    EXPECT_EQ(Dump(tree), kInitial);
}

// Restore backup ----------------------------------------------------------------------------

TEST_F(EditorCommandsTest, RestoreAsksThenReplacesTheTreeAsOneUndoableStep) {
    commands.RestoreBackup();
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kNoBackup)});
    files.backup = "r\r\n\tr1\r\n";
    dialogs.answers = {Answer::Cancel};
    commands.RestoreBackup();
    EXPECT_EQ(dialogs.shown.back(),
              (Shown{texts::kRestoreQuestion, texts::kConfirmCaption, BoxKind::Question}));
    ExpectUnchanged();

    commands.RestoreBackup();
    EXPECT_EQ(Dump(tree), "r[r1]");
    EXPECT_EQ(files.calls, std::vector<std::string>{"save+compile"});
    commands.Undo();
    EXPECT_EQ(Dump(tree), kInitial);
}

TEST_F(EditorCommandsTest, RestoreWorksAfterAFailedTreeLoadButNeedsTheTable) {
    NewWith(a, "x");
    files.backup = "r\r\n";
    files.loaded = false;  // srf_pub.dat unreadable: the backup is the way back
    commands.RestoreBackup();
    EXPECT_EQ(Dump(tree), "r");
    EXPECT_TRUE(files.DataLoaded());
    // The partly read tree is no state to return to, nor is anything before it.
    EXPECT_FALSE(commands.CanUndo());
    EXPECT_FALSE(commands.CanRedo());
    EXPECT_EQ(files.calls, (std::vector<std::string>{"save+compile", "save+compile"}));
    files.tableLoaded = false;
    dialogs.shown.clear();
    commands.RestoreBackup();
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kDataNotLoaded)});
}

TEST_F(EditorCommandsTest, AMalformedBackupIsNotRestoredAndChangesNothing) {
    files.backup = "r\r\n\t\tdeep\r\n";
    commands.RestoreBackup();
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kBackupNotRestorable)});
    ExpectUnchanged();
    EXPECT_FALSE(commands.CanUndo());
}

// Changes on disk ---------------------------------------------------------------------------

TEST_F(EditorCommandsTest, AnotherProgramsChangeIsNeverWrittenOverUnasked) {
    files.changedOnDisk = true;
    dialogs.answers = {Answer::Ok};  // OK: read the file again, dropping this change
    NewWith(a, "x");
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{texts::kChangedBeforeSave, texts::kConfirmCaption,
                                                  BoxKind::Question}}));
    EXPECT_EQ(files.calls, (std::vector<std::string>{"reload", "compile"}));
    EXPECT_FALSE(commands.CanUndo());  // the history belonged to the tree that is gone

    files.changedOnDisk = true;
    files.calls.clear();
    dialogs.answers = {Answer::Cancel};  // Cancel: keep the window's tree and write it
    NewWith(a, "y");
    EXPECT_EQ(files.calls, (std::vector<std::string>{"accept", "save+compile"}));
}

TEST_F(EditorCommandsTest, OnActivationAChangeOnDiskIsOfferedForReading) {
    commands.CheckDiskChange();
    EXPECT_TRUE(dialogs.shown.empty());
    files.changedOnDisk = true;
    dialogs.answers = {Answer::Cancel, Answer::Ok};
    commands.CheckDiskChange();
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{texts::kChangedOnDisk, texts::kConfirmCaption,
                                                  BoxKind::Question}}));
    files.changedOnDisk = true;
    commands.CheckDiskChange();
    EXPECT_EQ(files.calls, (std::vector<std::string>{"accept", "reload", "compile"}));
    // After a failed load a file that appears or changes is offered the same way.
    files.changedOnDisk = true;
    files.loaded = false;
    commands.CheckDiskChange();
    EXPECT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(files.calls.back(), "reload");
}

// Depth -------------------------------------------------------------------------------------

int ChainLength(const TTreeNode* node) {
    int length = 0;
    for (; node->FirstChild(); node = node->FirstChild())
        ++length;
    return length;
}

TEST_F(EditorCommandsTest, AChainTenThousandsOfLevelsDeepIsCopiedDeletedAndRestored) {
    constexpr int kDepth = 100000;
    TTreeNode* node = a1;
    for (int level = 0; level < kDepth; ++level)
        node = tree.InsertLastChild(node, "d");
    commands.MoveDown(a1);  // copies the chain, deletes it and inserts the copy below a2
    ASSERT_EQ(a->LastChild()->Text(), "a1");
    EXPECT_EQ(ChainLength(a->LastChild()), kDepth);
    commands.Delete(a->LastChild());
    EXPECT_EQ(tree.NodeCount(), 5);
    commands.Undo();
    EXPECT_EQ(ChainLength(a->LastChild()), kDepth);
    commands.Undo();
    EXPECT_EQ(ChainLength(a->FirstChild()), kDepth);
    commands.Redo();
    commands.Redo();
    EXPECT_EQ(Dump(tree), "a[a2] b c[c1]");
}

// Find --------------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, FindSelectsTheNextMatchOrSaysThereIsNone) {
    commands.Find("1", a1);
    EXPECT_EQ(commands.TakeSelection(), c->FirstChild());
    commands.Find("zz", a1);
    EXPECT_EQ(commands.TakeSelection(), nullptr);
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kNotFound)});
    commands.Find("", a1);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// Several phrases, sort, batch edit, the backup list ---------------------------------------------

TEST_F(EditorCommandsTest, SortBatchEditAndMoveToAreEnabledWhereTheyCanAct) {
    EXPECT_TRUE(Enabled(Command::Sort, a));
    EXPECT_TRUE(Enabled(Command::Sort, a1));
    EXPECT_FALSE(Enabled(Command::Sort, c));  // one phrase: nothing to sort
    EXPECT_TRUE(Enabled(Command::BatchEdit, b));
    EXPECT_TRUE(Enabled(Command::MoveTo, a1));
    EXPECT_FALSE(Enabled(Command::MoveTo, a));
    for (auto command : {Command::Sort, Command::BatchEdit, Command::MoveTo})
        EXPECT_FALSE(Enabled(command, nullptr));
    files.loaded = false;
    for (auto command : {Command::Sort, Command::BatchEdit, Command::MoveTo})
        EXPECT_FALSE(Enabled(command, a1));
}

TEST_F(EditorCommandsTest, DeleteOfSeveralAsksOnceAndUndoesAsOneStep) {
    TTreeNode* c1 = c->FirstChild();
    Run(Command::Delete, a1, {a2, c1, a1});
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{DeleteSetQuestion(3), texts::kConfirmCaption,
                                                  BoxKind::Question}}));
    EXPECT_EQ(Dump(tree), "a b c");
    commands.Undo();
    EXPECT_EQ(Dump(tree), kInitial);
    Run(Command::Delete, a1, {a1});  // one chosen: the question of one
    EXPECT_EQ(dialogs.shown.back().text,
              std::string(texts::kDeleteQuestionStart) + "a1" + texts::kDeleteQuestionEnd);
}

TEST_F(EditorCommandsTest, BatchEditGoesBackToTheEditedTextOnCancelAndAppliesOnOk) {
    dialogs.edited = {"a2\na1\nx", "a2\na1\nx"};
    dialogs.answers = {Answer::Cancel, Answer::Ok};
    Run(Command::BatchEdit, a2);
    EXPECT_EQ(dialogs.editedFrom, (std::vector<std::string>{"a1\r\na2", "a2\na1\nx"}));
    EXPECT_EQ(Dump(tree), "a[a2 a1 x] b c[c1]");
    EXPECT_EQ(files.calls, std::vector<std::string>{"save+compile"});
    commands.Undo();
    EXPECT_EQ(Dump(tree), kInitial);
}

TEST_F(EditorCommandsTest, RestoreListsBackupsOfDifferentContentAndRestoresTheOneChosen) {
    files.backup = "r\r\n";
    files.backups = {{"srf_pub.dat.bak", "r\r\n"},
                     {"srf_pub.dat.20261201.bak", "s\r\n"},
                     {"srf_pub.dat.20261130.bak", "s\r\n"}};
    dialogs.chosen = {1};
    Run(Command::RestoreBackup, nullptr);
    ASSERT_EQ(dialogs.lists.size(), 1u);
    EXPECT_EQ(dialogs.lists[0].size(), 2u);  // the copy holding what another holds is left out
    EXPECT_EQ(Dump(tree), "s");
}

TEST_F(EditorCommandsTest, SetReadingOpensOnTheReadingAndKeepsOnlyAValidOne) {
    // 行长: the table reads it one way; the user sets hang zhang.
    TTreeNode* phrase = tree.InsertLastChild(a, "\xD0\xD0\xB3\xA4");
    const std::string tableReading = pinyin::ReadingText(commands.ReadingOf(phrase).syllables);
    dialogs.typed = {"hang", "hang zhong x", "hang zhang"};
    commands.SetReading(phrase);
    EXPECT_EQ(dialogs.prompted.front().value, tableReading);
    EXPECT_EQ(dialogs.shown.size(), 2u);  // one syllable for two characters; one too many
    EXPECT_EQ(pinyin::ReadingText(commands.ReadingOf(phrase).syllables), "hang zhang");
    EXPECT_FALSE(commands.ReadingOf(phrase).uncertain);

    dialogs.typed = {""};  // nothing: the table's reading again
    commands.SetReading(phrase);
    EXPECT_EQ(pinyin::ReadingText(commands.ReadingOf(phrase).syllables), tableReading);
    dialogs.shown.clear();
    commands.SetReading(a);
    EXPECT_EQ(dialogs.shown, std::vector<Shown>{Notice(texts::kReadingOfCategory)});
}

}  // namespace
}  // namespace editor
