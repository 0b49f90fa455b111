// Test helper: the user's side of the editor's questions and file dialogs, answered from a script,
// with a record of every message box and input box the rules showed.
#pragma once

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/commands/EditorCommands.h"
#include "editor/commands/PhraseTransfer.h"
#include "editor/rules/BatchEdit.h"

namespace editor::testing {

struct Shown {
    std::string text;
    std::string caption;
    BoxKind kind;
    bool operator==(const Shown&) const = default;
};

struct Prompted {
    std::string caption;
    std::string prompt;
    std::string value;
    bool operator==(const Prompted&) const = default;
};

// What the user types: GB2312 text, and the first character GB2312 cannot hold when there is one
// (the text then has "?" in its place, as the system converts it).
struct Typed {
    Typed(std::string typed, char32_t unheldCharacter = 0)
        : text(std::move(typed)), unheld(unheldCharacter) {}
    Typed(const char* typed) : text(typed) {}
    std::string text;
    char32_t unheld = 0;
};

// An input box with nothing left in the script is a fault of the rules under test.
class ScriptedDialogs : public UserDialogs, public FileDialogs {
public:
    std::deque<std::optional<Typed>> typed;  // nullopt: Cancel
    std::deque<Answer> answers;              // for message boxes; OK when empty
    std::vector<Shown> shown;
    std::vector<Prompted> prompted;
    // The batch edit box: the texts typed into it (nullopt: Cancel) and the texts it opened on;
    // the list boxes: the lines chosen (nullopt: Cancel) and the lists shown.
    std::deque<std::optional<std::string>> edited;
    std::vector<std::string> editedFrom;
    std::deque<std::optional<int>> chosen;
    std::vector<std::vector<std::string>> lists;
    // The sync box: what the user does in it, and what it showed.
    std::deque<SyncBoxAnswer> syncAnswers;
    std::vector<SyncBoxView> syncViews;
    // The file dialogs' answers (nullopt: Cancel) and how often one was shown.
    std::optional<std::string> importPath;
    std::optional<ExportTarget> exportTarget;
    int fileDialogs = 0;

    Answer Ask(const std::string& text, const std::string& caption, BoxKind kind) override {
        shown.push_back({text, caption, kind});
        if (answers.empty())
            return Answer::Ok;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value,
                       char32_t& unheld) override {
        prompted.push_back({caption, prompt, value});
        if (typed.empty())
            throw std::logic_error("unexpected input box");
        const auto answer = typed.front();
        typed.pop_front();
        if (!answer)
            return false;
        value = answer->text;
        unheld = answer->unheld;
        return true;
    }
    bool EditLines(const std::string&, std::string& text, std::vector<EditedLine>& lines) override {
        editedFrom.push_back(text);
        if (edited.empty())
            throw std::logic_error("unexpected edit box");
        const auto answer = edited.front();
        edited.pop_front();
        if (!answer)
            return false;
        text = *answer;
        lines = SplitEditedText(text);
        return true;
    }
    std::optional<int> ChooseFromList(const std::string&,
                                      const std::vector<std::string>& items) override {
        lists.push_back(items);
        if (chosen.empty())
            throw std::logic_error("unexpected list");
        const auto answer = chosen.front();
        chosen.pop_front();
        return answer;
    }
    SyncBoxAnswer ShowSyncBox(const SyncBoxView& view) override {
        syncViews.push_back(view);
        if (syncAnswers.empty())
            throw std::logic_error("unexpected sync box");
        const SyncBoxAnswer answer = syncAnswers.front();
        syncAnswers.pop_front();
        return answer;
    }
    std::optional<ExportTarget> ChooseExportFile() override {
        ++fileDialogs;
        return exportTarget;
    }
    std::optional<std::string> ChooseImportFile() override {
        ++fileDialogs;
        return importPath;
    }
};

}  // namespace editor::testing
