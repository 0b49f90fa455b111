// Test helper: the user's side of the editor's questions, answered from a script, with a record of
// every message box and input box the rules showed.
#pragma once

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/EditorCommands.h"

namespace editor::testing {

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

// What the user types: GB2312 text, and the first character GB2312 cannot hold when there is one
// (the text then has "?" in its place, as the system converts it).
struct Typed {
    Typed(std::string typed, char32_t unheldCharacter = 0) : text(std::move(typed)), unheld(unheldCharacter) {}
    Typed(const char* typed) : text(typed) {}
    std::string text;
    char32_t unheld = 0;
};

// An input box with nothing left in the script is a fault of the rules under test.
class ScriptedDialogs : public UserDialogs {
public:
    std::deque<std::optional<Typed>> typed;  // nullopt: Cancel
    std::deque<int> answers;                       // for message boxes; 1 (OK) when empty
    std::vector<Shown> shown;
    std::vector<Prompted> prompted;

    int Ask(const std::string& text, const std::string& caption, unsigned flags) override {
        shown.push_back({text, caption, flags});
        if (answers.empty())
            return 1;
        const int answer = answers.front();
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
};

}  // namespace editor::testing
