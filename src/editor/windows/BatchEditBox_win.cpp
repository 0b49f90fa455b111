// The edit box of 批量编辑; see BatchEditBox_win.h. Built in memory like the input box, with a
// frame the user can size: the edit box takes all room above the OK and Cancel buttons.
#include "editor/windows/BatchEditBox_win.h"

#include <windows.h>

#include <exception>

#include "EditorTexts.h"
#include "app/Application_win.h"
#include "app/BaseWindow_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

namespace {

constexpr int kEditId = 101;
// Sizes at 96 DPI.
constexpr int kWidth = 420;
constexpr int kHeight = 460;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kFontHeight = 16;

struct BoxState {
    std::string caption;
    std::wstring text;
    const std::vector<std::string>* items = nullptr;  // a choice box: the lines of its list
    int chosen = -1;
    platform::UniqueHfont font;
    UINT dpi = 96;
    std::exception_ptr failure;
};

int Scaled(const BoxState& state, int pixels) {
    return MulDiv(pixels, static_cast<int>(state.dpi), 96);
}

void LayOut(HWND dialog, const BoxState& state) {
    RECT client{};
    GetClientRect(dialog, &client);
    const int margin = Scaled(state, kMargin);
    const int buttonWidth = Scaled(state, kButtonWidth);
    const int buttonHeight = Scaled(state, kButtonHeight);
    const int buttonTop = client.bottom - margin - buttonHeight;
    MoveWindow(GetDlgItem(dialog, kEditId), margin, margin, client.right - 2 * margin,
               buttonTop - 2 * margin, TRUE);
    MoveWindow(GetDlgItem(dialog, IDCANCEL), client.right - margin - buttonWidth, buttonTop,
               buttonWidth, buttonHeight, TRUE);
    MoveWindow(GetDlgItem(dialog, IDOK), client.right - 2 * (margin + buttonWidth), buttonTop,
               buttonWidth, buttonHeight, TRUE);
}

HWND AddControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                DWORD exStyle, int id, HFONT font) {
    HWND control =
        app::CreateWindowChecked(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0,
                                 0, 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void Build(HWND dialog, BoxState& state) {
    SetWindowTextW(dialog, platform::ToWide(state.caption).c_str());
    state.dpi = app::DpiOf(dialog);
    state.font.Reset(CreateFontW(-Scaled(state, kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                 FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                 platform::ToWide(texts::kFontName).c_str()));
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT around{};
    GetWindowRect(owner ? owner : GetDesktopWindow(), &around);
    const int width = Scaled(state, kWidth);
    const int height = Scaled(state, kHeight);
    SetWindowPos(dialog, nullptr, (around.left + around.right - width) / 2,
                 (around.top + around.bottom - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HWND edit = nullptr;
    if (state.items) {
        edit = AddControl(dialog, L"ListBox", L"",
                          LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                          WS_EX_CLIENTEDGE, kEditId, state.font.Get());
        for (const std::string& item : *state.items)
            SendMessageW(edit, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(platform::ToWide(item).c_str()));
        SendMessageW(edit, LB_SETCURSEL, 0, 0);
    } else {
        edit = AddControl(dialog, L"Edit", state.text,
                          ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN |
                              WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                          WS_EX_CLIENTEDGE, kEditId, state.font.Get());
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // as much as the category holds
    }
    AddControl(dialog, L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IDOK, state.font.Get());
    AddControl(dialog, L"Button", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, IDCANCEL,
               state.font.Get());
    LayOut(dialog, state);
    SetFocus(edit);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<BoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        try {
            Build(dialog, *reinterpret_cast<BoxState*>(lParam));
        } catch (...) {
            reinterpret_cast<BoxState*>(lParam)->failure = std::current_exception();
            EndDialog(dialog, IDCANCEL);
        }
        return FALSE;  // the focus is set
    case WM_SIZE:
        if (state)
            LayOut(dialog, *state);
        return TRUE;
    case WM_GETMINMAXINFO:
        if (state) {
            auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
            info.ptMinTrackSize = {Scaled(*state, 3 * kButtonWidth),
                                   Scaled(*state, 4 * kButtonHeight)};
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kEditId:
            if (!state->items || HIWORD(wParam) != LBN_DBLCLK)
                break;
            [[fallthrough]];
        case IDOK:
            if (state->items)
                state->chosen =
                    static_cast<int>(SendDlgItemMessageW(dialog, kEditId, LB_GETCURSEL, 0, 0));
            else
                state->text = app::WindowText(GetDlgItem(dialog, kEditId));
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// The wide text split into lines at CR LF, CR or LF, each in GB2312 with its first unheld
// character.
std::vector<EditedLine> LinesOf(const std::wstring& text) {
    std::vector<EditedLine> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != L'\r' && text[i] != L'\n')
            continue;
        const std::wstring_view line(text.data() + start, i - start);
        lines.push_back({platform::ToGb2312(line), platform::FirstUnheldCharacter(line)});
        if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

INT_PTR ShowBox(BoxState& state) {
    const std::vector<WORD> dialogTemplate =
        app::EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    HWND active = GetActiveWindow();
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                                active ? active : app::Application::Instance().OwnerWindow(),
                                BoxProc, reinterpret_cast<LPARAM>(&state));
    if (state.failure)
        std::rethrow_exception(state.failure);
    return result;
}

}  // namespace

bool ShowBatchEditBox(const std::string& caption, std::wstring& text,
                      std::vector<EditedLine>& lines) {
    BoxState state;
    state.caption = caption;
    state.text = text;
    if (ShowBox(state) != IDOK)
        return false;
    text = state.text;
    lines = LinesOf(state.text);
    return true;
}

std::optional<int> ShowChoiceBox(const std::string& caption,
                                 const std::vector<std::string>& items) {
    BoxState state;
    state.caption = caption;
    state.items = &items;
    if (ShowBox(state) != IDOK || state.chosen < 0)
        return std::nullopt;
    return state.chosen;
}

}  // namespace editor
