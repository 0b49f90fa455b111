// The phrase editor's command rules, driven through scripted answers of the user.
#include "editor/EditorCommands.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

#include "EditorTexts.h"
#include "phrases/TreeNodes.h"
#include "phrases/TreeDump.h"

namespace editor {
namespace {

using phrases::TTreeNode;
using phrases::testing::Dump;

const std::string kHanzi = "\xB0\xA1";  // one Chinese character, two bytes

struct Shown {
    std::string text;
    std::string caption;
    unsigned flags;
    bool operator==(const Shown&) const = default;
};

struct Prompted {
    std::string caption;
    std::string prompt;
    std::string value;
    bool operator==(const Prompted&) const = default;
};

// Answers every input box and question from a script and records what the user was shown.
class ScriptedDialogs : public UserDialogs {
public:
    std::deque<std::optional<std::string>> typed;  // nullopt: Cancel
    std::deque<int> answers;                       // for message boxes; 1 (OK) when empty
    std::vector<Shown> shown;
    std::vector<Prompted> prompted;

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        shown.push_back({text, caption, flags});
        if (answers.empty())
            return 1;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value) override {
        prompted.push_back({caption, prompt, value});
        if (typed.empty())
            throw std::logic_error("unexpected input box");
        const auto answer = typed.front();
        typed.pop_front();
        if (!answer)
            return false;
        value = *answer;
        return true;
    }
};

class RecordingFiles : public PhraseFiles {
public:
    bool loaded = true;
    bool failWrites = false;
    std::vector<std::string> calls;

    bool DataLoaded() const override { return loaded; }
    void SaveAndCompile() override {
        calls.push_back("save+compile");
        if (failWrites)
            throw std::runtime_error("Cannot create file x");
    }
    void CompilePhraseFile(bool announce) override {
        calls.push_back(announce ? "compile announced" : "compile");
    }
};

class RecordingObserver : public TreeObserver {
public:
    std::vector<std::string> events;
    void NodeInserted(TTreeNode* node) override { events.push_back("inserted " + node->Text()); }
    void NodeTextChanged(TTreeNode* node) override { events.push_back("renamed " + node->Text()); }
    void NodeDeleting(TTreeNode* node) override { events.push_back("deleting " + node->Text()); }
};

Shown Notice(const char* text) { return {text, texts::kNoticeCaption, 0}; }

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
    void NewWith(TTreeNode* selected, std::optional<std::string> answer) {
        dialogs.typed.push_back(std::move(answer));
        commands.New(selected);
    }
    void ModifyWith(TTreeNode* selected, std::optional<std::string> answer) {
        dialogs.typed.push_back(std::move(answer));
        commands.Modify(selected);
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
    EditorCommands commands{tree, dialogs, files, observer};
};

TEST_F(EditorCommandsTest, NewGoesFirstInTheCategoryOfTheSelection) {
    NewWith(a, "x");
    EXPECT_EQ(Dump(tree), "a[x a1 a2] b c[c1]");
    NewWith(a2, "y");  // a phrase selected: still first of its category, not beside it
    EXPECT_EQ(Dump(tree), "a[y x a1 a2] b c[c1]");
    NewWith(b, "z");  // an empty category gets its first phrase
    EXPECT_EQ(Dump(tree), "a[y x a1 a2] b[z] c[c1]");
    EXPECT_EQ(files.calls, (std::vector<std::string>{"save+compile", "save+compile", "save+compile"}));
    EXPECT_EQ(observer.events, (std::vector<std::string>{"inserted x", "inserted y", "inserted z"}));
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
        {[] { std::string s; for (int i = 0; i < 32; ++i) s += kHanzi; return s; }(), ""},
        {[] { std::string s; for (int i = 0; i < 33; ++i) s += kHanzi; return s; }(), texts::kTooLong},
        {"c1", texts::kAlreadyExists},  // a phrase of another category
        {"b", texts::kAlreadyExists},   // a category's name
        {" a2 ", texts::kAlreadyExists},  // trimmed before the test
        {"A2", ""},                     // letter case counts
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
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{Notice(texts::kSelectCategory),
                                                 Notice(texts::kSelectToModify),
                                                 Notice(texts::kSelectToDelete)}));
    EXPECT_TRUE(dialogs.prompted.empty());
    ExpectUnchanged();
}

TEST_F(EditorCommandsTest, ModifyRenamesPhrasesAndCategories) {
    ModifyWith(a2, "x");
    ModifyWith(c, "cc");
    EXPECT_EQ(Dump(tree), "a[a1 x] b cc[c1]");
    EXPECT_EQ(dialogs.prompted, (std::vector<Prompted>{{texts::kInputCaption, texts::kContentPrompt, "a2"},
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

TEST_F(EditorCommandsTest, ModifyStoresTheTrimmedText) {
    ModifyWith(a1, "\t new text  ");
    EXPECT_EQ(a1->Text(), "new text");
}

TEST_F(EditorCommandsTest, ModifyCancelledChangesNothing) {
    ModifyWith(a1, std::nullopt);
    ExpectUnchanged();
}

TEST_F(EditorCommandsTest, DeleteAsksAndRemovesThePhrase) {
    commands.Delete(a2);
    EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{std::string(texts::kDeleteQuestionStart) + "a2" +
                                                      texts::kDeleteQuestionEnd,
                                                  texts::kConfirmCaption, 1}}));
    EXPECT_EQ(Dump(tree), "a[a1] b c[c1]");
    EXPECT_EQ(observer.events, std::vector<std::string>{"deleting a2"});
    EXPECT_EQ(files.calls, std::vector<std::string>{"save+compile"});
}

TEST_F(EditorCommandsTest, DeleteAnsweredOtherThanOkChangesNothing) {
    for (int answer : {2, 0, 7}) {
        dialogs.answers.push_back(answer);
        commands.Delete(a1);
    }
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
    EXPECT_EQ(files.calls, std::vector<std::string>{"compile announced"});
}

TEST_F(EditorCommandsTest, QuitAsksTheWindowToClose) {
    EXPECT_TRUE(commands.Run(Command::Quit, a1));
    EXPECT_FALSE(commands.Run(Command::Save, a1));
}

TEST_F(EditorCommandsTest, NothingIsWrittenWhenTheFilesDidNotLoad) {
    files.loaded = false;
    for (auto command : {Command::New, Command::Modify, Command::Delete, Command::Save})
        commands.Run(command, a1);
    EXPECT_EQ(dialogs.shown, std::vector<Shown>(4, Notice(texts::kDataNotLoaded)));
    EXPECT_TRUE(dialogs.prompted.empty());
    ExpectUnchanged();
    EXPECT_TRUE(commands.Run(Command::Quit, a1));
}

TEST_F(EditorCommandsTest, AChangeWhoseWritingFailsStaysInTheTreeAndTheWindow) {
    files.failWrites = true;
    dialogs.typed.push_back("x");
    EXPECT_THROW(commands.New(a), std::runtime_error);
    EXPECT_EQ(Dump(tree), "a[x a1 a2] b c[c1]");
    EXPECT_EQ(observer.events, std::vector<std::string>{"inserted x"});
}

}  // namespace
}  // namespace editor
