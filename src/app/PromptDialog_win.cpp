// The one-line input box: a dialog built in memory and laid out in dialog units measured from
// "MS Sans Serif" 8 pt; its text is kept within 255 bytes of GB2312.
#include <windows.h>

#include <exception>
#include <vector>

#include "app/Application_win.h"
#include "app/BaseWindow_win.h"
#include "app/Dialogs_win.h"
#include "app/PromptLayout.h"
#include "platform/Error.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace app {

namespace {

constexpr int kPromptId = 100;
constexpr int kEditId = 101;

struct PromptState {
    std::string caption;
    std::string prompt;
    std::string value;
    std::wstring typed;  // the text as typed (UTF-16); on opening, when not empty, shown instead
    char32_t unheld = 0;
    std::string accepted;  // the edit box's last text within the limit
    platform::UniqueHfont font;
    bool limiting = false;
    std::exception_ptr failure;  // an error while building the box, thrown again once it is closed
};

HWND AddControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                DWORD exStyle, int id, const PixelRect& at, HFONT font) {
    HWND control =
        CreateWindowChecked(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                            at.left, at.top, at.width, at.height, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void BuildDialog(HWND dialog, PromptState& state) {
    SetWindowTextW(dialog, platform::ToWide(state.caption).c_str());
    const UINT dpi = DpiOf(dialog);
    state.font.Reset(CreateFontW(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                                 FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                 L"MS Sans Serif"));
    // Measure before placing anything.
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    SIZE promptSize{};
    TEXTMETRICW metrics{};
    const std::wstring prompt = platform::ToWide(state.prompt);
    {
        const platform::WindowDc dc(dialog);
        const platform::SelectedObject font(dc.Get(), state.font.Get());
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
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred on the screen the user works on: the monitor of the window that was active.
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcMonitor;
    SetWindowPos(dialog, nullptr, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    AddControl(dialog, L"Static", prompt, SS_LEFT | SS_NOPREFIX, 0, kPromptId, geometry.prompt,
               state.font.Get());
    HWND edit = AddControl(dialog, L"Edit",
                           state.typed.empty() ? platform::ToWide(state.value) : state.typed,
                           ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, kEditId, geometry.edit,
                           state.font.Get());
    AddControl(dialog, L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IDOK, geometry.ok,
               state.font.Get());
    AddControl(dialog, L"Button", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, IDCANCEL,
               geometry.cancel, state.font.Get());
    state.accepted = state.value;
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
}

// After every change of the edit box: a step that took the text past 255 bytes of GB2312 keeps
// only the characters that fit.
void KeepWithinLimit(HWND edit, PromptState& state) {
    if (state.limiting)
        return;
    const std::string text = platform::ToGb2312(WindowText(edit));
    const LimitedText limited = LimitInsertion(state.accepted, text);
    if (limited.text != text) {
        state.limiting = true;
        SetWindowTextW(edit, platform::ToWide(limited.text).c_str());
        const auto caret =
            static_cast<WPARAM>(platform::ToWide(limited.text.substr(0, limited.caret)).size());
        SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        state.limiting = false;
        MessageBeep(MB_OK);
    }
    state.accepted = limited.text;
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        try {
            BuildDialog(dialog, *reinterpret_cast<PromptState*>(lParam));
        } catch (...) {
            reinterpret_cast<PromptState*>(lParam)->failure = std::current_exception();
            EndDialog(dialog, IDCANCEL);
        }
        return FALSE;  // the focus is set
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            state->typed = WindowText(GetDlgItem(dialog, kEditId));
            state->value = platform::ToGb2312(state->typed);
            state->unheld = platform::FirstUnheldCharacter(state->typed);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case kEditId:
            if (HIWORD(wParam) == EN_CHANGE)
                KeepWithinLimit(reinterpret_cast<HWND>(lParam), *state);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

BOOL CALLBACK DisableThreadWindow(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value,
                   char32_t& unheld, std::wstring* typed) {
    PromptState state;
    state.caption = caption;
    state.prompt = prompt;
    state.value = value;
    if (typed)
        state.typed = *typed;
    // Modal for the whole program, as the message box is: the other windows are disabled for the
    // time of the box and the window that was active is active again afterwards.
    HWND active = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow,
                      reinterpret_cast<LPARAM>(&disabled));
    const std::vector<WORD> dialogTemplate =
        EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                            WS_EX_DLGMODALFRAME);
    const HWND owner = active ? active : Application::Instance().OwnerWindow();
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                                PromptProc, reinterpret_cast<LPARAM>(&state));
    const DWORD creationError = result == -1 ? GetLastError() : 0;
    for (HWND hwnd : disabled)
        EnableWindow(hwnd, TRUE);
    if (active && IsWindow(active))
        SetActiveWindow(active);
    if (state.failure)
        std::rethrow_exception(state.failure);
    if (result == -1)
        throw platform::Error("WindowCreateError",
                              platform::Format("Cannot create window %s (error %d)", creationError,
                                               "#32770"));
    if (result != IDOK)
        return false;
    value = state.value;
    unheld = state.unheld;
    if (typed)
        *typed = state.typed;
    return true;
}

}  // namespace app
