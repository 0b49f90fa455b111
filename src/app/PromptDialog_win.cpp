// The one-line input box: a dialog built in memory and laid out in dialog units measured from
// "MS Sans Serif" 8 pt (enlarged by the user's text size), as wide as its prompt needs; its text
// is kept within 255 bytes of GB2312.
#include <windows.h>

#include "app/BaseWindow_win.h"
#include "app/Dialogs_win.h"
#include "app/ModalDialog_win.h"
#include "app/PromptLayout.h"
#include "app/SystemLook_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace app {

namespace {

constexpr int kPromptId = 100;
constexpr int kEditId = 101;

class PromptDialog : public ModalDialog {
public:
    PromptDialog(const std::string& caption, const std::string& prompt, const std::string& value,
                 std::wstring typed)
        : m_caption(caption), m_prompt(prompt), m_value(value), m_typed(std::move(typed)) {}

    // True on OK, with the text as typed.
    bool Show() {
        return ShowModal(EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                             WS_EX_DLGMODALFRAME)) == IDOK;
    }
    const std::string& Value() const { return m_value; }
    const std::wstring& Typed() const { return m_typed; }
    char32_t Unheld() const { return m_unheld; }

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    // After every change of the edit box: a step that took the text past 255 bytes of GB2312
    // keeps only the characters that fit.
    void KeepWithinLimit();

    std::string m_caption;
    std::string m_prompt;
    std::string m_value;
    std::wstring m_typed;  // the text as typed (UTF-16); on opening, when not empty, shown instead
    char32_t m_unheld = 0;
    std::string m_accepted;  // the edit box's last text within the limit
    HWND m_edit = nullptr;
    bool m_limiting = false;
};

void PromptDialog::OnInit() {
    const HWND dialog = Handle();
    SetWindowTextW(dialog, platform::ToWide(m_caption).c_str());
    const UINT dpi = DpiOf(dialog);
    SetFont(platform::UniqueHfont(
        CreateFontW(-MulDiv(8, static_cast<int>(TextDpiOf(dpi)), 72), 0, 0, 0, FW_NORMAL, FALSE,
                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif")));
    // Measure before placing anything.
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    SIZE promptSize{};
    TEXTMETRICW metrics{};
    const std::wstring prompt = platform::ToWide(m_prompt);
    {
        const platform::WindowDc dc(dialog);
        const platform::SelectedObject font(dc.Get(), Font());
        GetTextExtentPoint32W(dc.Get(), kLetters, 52, &letters);
        GetTextExtentPoint32W(dc.Get(), prompt.c_str(), static_cast<int>(prompt.size()),
                              &promptSize);
        GetTextMetricsW(dc.Get(), &metrics);
    }

    // An edit box's natural height: a line of the font with room for its sunken border.
    const int editHeight = metrics.tmHeight + 8 * GetSystemMetrics(SM_CYBORDER);
    const PromptGeometry geometry = LayOutPrompt(BaseUnitsFromText(letters.cx, letters.cy),
                                                 promptSize.cx, letters.cy, editHeight);

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE));
    RECT frame{0, 0, geometry.clientWidth, geometry.clientHeight};
    AdjustWindowRectForDpi(frame, style, exStyle, dpi);
    // Centred on the screen the user works on: the monitor of the window that was active.
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    CentreIn(monitor.rcMonitor, frame.right - frame.left, frame.bottom - frame.top);

    AddControl(ChildControl(L"Static", SS_LEFT | SS_NOPREFIX)
                   .Id(kPromptId)
                   .Text(prompt)
                   .At(geometry.prompt));
    m_edit = AddControl(ChildControl(L"Edit", ES_AUTOHSCROLL | WS_TABSTOP)
                            .ExStyle(WS_EX_CLIENTEDGE)
                            .Id(kEditId)
                            .Text(m_typed.empty() ? platform::ToWide(m_value) : m_typed)
                            .At(geometry.edit));
    AddControl(ChildControl(L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP)
                   .Id(IDOK)
                   .Text(L"OK")
                   .At(geometry.ok));
    AddControl(ChildControl(L"Button", BS_PUSHBUTTON | WS_TABSTOP)
                   .Id(IDCANCEL)
                   .Text(L"Cancel")
                   .At(geometry.cancel));
    m_accepted = m_value;
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    SendMessageW(m_edit, EM_SETSEL, 0, -1);
    SetFocus(m_edit);
}

bool PromptDialog::OnCommand(int id, int code) {
    if (id == kEditId) {
        if (code == EN_CHANGE)
            KeepWithinLimit();
        return true;
    }
    if (id == IDOK) {
        m_typed = WindowText(m_edit);
        m_value = platform::ToGb2312(m_typed);
        m_unheld = platform::FirstUnheldCharacter(m_typed);
    }
    return ModalDialog::OnCommand(id, code);
}

void PromptDialog::KeepWithinLimit() {
    if (m_limiting)
        return;
    const std::string text = platform::ToGb2312(WindowText(m_edit));
    const LimitedText limited = LimitInsertion(m_accepted, text);
    if (limited.text != text) {
        m_limiting = true;
        SetWindowTextW(m_edit, platform::ToWide(limited.text).c_str());
        const auto caret =
            static_cast<WPARAM>(platform::ToWide(limited.text.substr(0, limited.caret)).size());
        SendMessageW(m_edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        m_limiting = false;
        MessageBeep(MB_OK);
    }
    m_accepted = limited.text;
}

}  // namespace

bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value,
                   char32_t& unheld, std::wstring* typed) {
    PromptDialog dialog(caption, prompt, value, typed ? *typed : std::wstring());
    if (!dialog.Show())
        return false;
    value = dialog.Value();
    unheld = dialog.Unheld();
    if (typed)
        *typed = dialog.Typed();
    return true;
}

}  // namespace app
