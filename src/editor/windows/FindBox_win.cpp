// The phrase editor's find box; see FindBox_win.h.
#include "editor/windows/FindBox_win.h"

#include "EditorTexts.h"
#include "app/BaseWindow_win.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

// Sizes at 96 DPI.
constexpr int kHeight = 28;
constexpr int kLabelWidth = 44;
constexpr int kButtonWidth = 64;
constexpr int kCloseWidth = 26;
constexpr int kGap = 4;

HWND Child(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int id) {
    return app::CreateWindowChecked(className == std::wstring(L"Edit") ? WS_EX_CLIENTEDGE : 0,
                                    className, text.c_str(), WS_CHILD | style, 0, 0, 0, 0, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void FindBox::Create(HWND parent, int nextCommand, int closeCommand) {
    m_nextCommand = nextCommand;
    m_closeCommand = closeCommand;
    m_label =
        Child(parent, L"Static", platform::ToWide(texts::kFindLabel), SS_RIGHT | SS_CENTERIMAGE, 0);
    m_edit = Child(parent, L"Edit", L"", WS_TABSTOP | ES_AUTOHSCROLL, 0);
    m_next = Child(parent, L"Button", platform::ToWide(texts::kFindNext),
                   WS_TABSTOP | BS_PUSHBUTTON, nextCommand);
    m_close = Child(parent, L"Button", platform::ToWide(texts::kFindClose),
                    WS_TABSTOP | BS_PUSHBUTTON, closeCommand);
}

void FindBox::SetFont(HFONT font) {
    for (HWND control : {m_label, m_edit, m_next, m_close})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int FindBox::LayOut(int clientWidth, int bottom, UINT dpi) {
    if (!m_open)
        return 0;
    const auto scaled = [dpi](int pixels) { return app::Scale(pixels, dpi); };
    const int height = scaled(kHeight);
    const int top = bottom - height;
    const int inner = height - 2 * scaled(kGap) / 2;
    const int y = top + (height - inner) / 2;
    int x = scaled(kGap);
    MoveWindow(m_label, x, y, scaled(kLabelWidth), inner, TRUE);
    x += scaled(kLabelWidth) + scaled(kGap);
    const int right = clientWidth - scaled(kGap);
    const int closeLeft = right - scaled(kCloseWidth);
    const int nextLeft = closeLeft - scaled(kGap) - scaled(kButtonWidth);
    MoveWindow(m_edit, x, y, nextLeft - scaled(kGap) - x, inner, TRUE);
    MoveWindow(m_next, nextLeft, y, scaled(kButtonWidth), inner, TRUE);
    MoveWindow(m_close, closeLeft, y, scaled(kCloseWidth), inner, TRUE);
    return height;
}

void FindBox::Open() {
    m_open = true;
    for (HWND control : {m_label, m_edit, m_next, m_close})
        ShowWindow(control, SW_SHOW);
    SetFocus(m_edit);
    SendMessageW(m_edit, EM_SETSEL, 0, -1);
}

void FindBox::Close() {
    m_open = false;
    for (HWND control : {m_label, m_edit, m_next, m_close})
        ShowWindow(control, SW_HIDE);
}

std::string FindBox::Text() const { return platform::ToGb2312(app::WindowText(m_edit)); }

int FindBox::CommandOfKey(const MSG& message) const {
    if (message.message != WM_KEYDOWN || !Owns(message.hwnd))
        return 0;
    switch (message.wParam) {
    case VK_RETURN:
    case VK_F3:
        return m_nextCommand;
    case VK_ESCAPE:
        return m_closeCommand;
    }
    return 0;
}

}  // namespace editor
