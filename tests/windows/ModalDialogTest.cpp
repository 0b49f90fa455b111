// The dialog base: how a dialog ends (its buttons, the close box, an error of a handler, a dialog
// the system cannot make), and that the program's other windows are disabled for its time and
// enabled and active again after it, whatever the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/BaseWindow_win.h"
#include "app/ModalDialog_win.h"
#include "platform/Error.h"

namespace app {
namespace {

constexpr int kThrowingCommand = 7;

// What the dialog does once built: posts itself a message, or throws.
class ScriptedDialog : public ModalDialog {
public:
    explicit ScriptedDialog(std::function<void(HWND)> script) : m_script(std::move(script)) {}
    INT_PTR Show(const std::vector<WORD>& dialogTemplate) { return ShowModal(dialogTemplate); }
    bool otherWindowEnabled = true;
    HWND other = nullptr;

private:
    void OnInit() override {
        otherWindowEnabled = IsWindowEnabled(other) != FALSE;
        m_script(Handle());
    }
    bool OnCommand(int id, int code) override {
        if (id == kThrowingCommand)
            throw std::runtime_error("handled badly");
        return ModalDialog::OnCommand(id, code);
    }

    std::function<void(HWND)> m_script;
};

std::vector<WORD> DialogTemplate() { return EmptyDialogTemplate(WS_POPUP | WS_CAPTION); }

// The template of a dialog of a window class that does not exist.
std::vector<WORD> TemplateOfMissingClass() {
    std::vector<WORD> words = DialogTemplate();
    words.resize(words.size() - 2);  // the class and the title, both empty
    for (const wchar_t c : std::wstring(L"TNoSuchClass"))
        words.push_back(static_cast<WORD>(c));
    words.insert(words.end(), {0, 0});
    return words;
}

class ModalDialogTest : public testing::Test {
protected:
    void SetUp() override {
        m_other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetActiveWindow(m_other);
    }
    void TearDown() override { DestroyWindow(m_other); }

    // Shows the dialog and returns its result, or the message of the error it threw.
    std::string Outcome(ScriptedDialog& dialog, const std::vector<WORD>& dialogTemplate) {
        dialog.other = m_other;
        try {
            return std::to_string(dialog.Show(dialogTemplate));
        } catch (const std::exception& error) {
            return error.what();
        }
    }
    void ExpectOtherWindowBack() {
        EXPECT_TRUE(IsWindowEnabled(m_other));
        EXPECT_EQ(GetActiveWindow(), m_other);
    }

    HWND m_other = nullptr;
};

TEST_F(ModalDialogTest, EveryEndGivesItsResultOrErrorAndPutsTheOtherWindowsBack) {
    const auto post = [](UINT message, WPARAM wParam) {
        return [=](HWND dialog) { PostMessageW(dialog, message, wParam, 0); };
    };
    const struct {
        std::function<void(HWND)> script;
        std::string outcome;
    } cases[] = {
        {post(WM_COMMAND, IDOK), std::to_string(IDOK)},
        {post(WM_COMMAND, IDCANCEL), std::to_string(IDCANCEL)},
        {post(WM_CLOSE, 0), std::to_string(IDCANCEL)},
        {[](HWND) { throw std::runtime_error("built badly"); }, "built badly"},
        {post(WM_COMMAND, kThrowingCommand), "handled badly"},
    };
    for (const auto& [script, outcome] : cases) {
        ScriptedDialog dialog(script);
        EXPECT_EQ(Outcome(dialog, DialogTemplate()), outcome);
        EXPECT_FALSE(dialog.otherWindowEnabled) << outcome;
        ExpectOtherWindowBack();
    }
}

TEST_F(ModalDialogTest, ADialogTheSystemCannotMakeFailsWithTheSystemsCode) {
    ScriptedDialog dialog([](HWND) {});
    dialog.other = m_other;
    try {
        dialog.Show(TemplateOfMissingClass());
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& error) {
        EXPECT_NE(error.SystemCode(), 0);
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create window #32770 (error " + std::to_string(error.SystemCode()) + ")");
    }
    ExpectOtherWindowBack();
}

}  // namespace
}  // namespace app
