// The phrase editor's filter box; see FilterBox_win.h.
#include "editor/windows/FilterBox_win.h"

#include "EditorTexts.h"
#include "app/BaseWindow_win.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

// Sizes at 96 DPI.
constexpr int kHeight = 28;
constexpr int kLabelWidth = 44;
constexpr int kCloseWidth = 26;
constexpr int kGap = 4;

HWND Child(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
           DWORD exStyle, int id) {
    return app::CreateWindowChecked(exStyle, className, text.c_str(), WS_CHILD | style, 0, 0, 0, 0,
                                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void FilterBox::Create(HWND parent, int editId, int closeCommand) {
    m_closeCommand = closeCommand;
    m_label = Child(parent, L"Static", platform::ToWide(texts::kFilterLabel),
                    SS_RIGHT | SS_CENTERIMAGE, 0, 0);
    m_edit = Child(parent, L"Edit", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, editId);
    m_close = Child(parent, L"Button", platform::ToWide(texts::kFindClose),
                    WS_TABSTOP | BS_PUSHBUTTON, 0, closeCommand);
}

void FilterBox::SetFont(HFONT font) {
    for (HWND control : {m_label, m_edit, m_close})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int FilterBox::LayOut(int clientWidth, int top, UINT dpi) {
    if (!m_open)
        return 0;
    const auto scaled = [dpi](int pixels) { return app::Scale(pixels, dpi); };
    const int height = scaled(kHeight);
    const int inner = height - scaled(kGap);
    const int y = top + (height - inner) / 2;
    int x = scaled(kGap);
    MoveWindow(m_label, x, y, scaled(kLabelWidth), inner, TRUE);
    x += scaled(kLabelWidth) + scaled(kGap);
    const int closeLeft = clientWidth - scaled(kGap) - scaled(kCloseWidth);
    MoveWindow(m_edit, x, y, closeLeft - scaled(kGap) - x, inner, TRUE);
    MoveWindow(m_close, closeLeft, y, scaled(kCloseWidth), inner, TRUE);
    return height;
}

void FilterBox::Open() {
    m_open = true;
    for (HWND control : {m_label, m_edit, m_close})
        ShowWindow(control, SW_SHOW);
    SetFocus(m_edit);
    SendMessageW(m_edit, EM_SETSEL, 0, -1);
}

void FilterBox::Close() {
    m_open = false;
    for (HWND control : {m_label, m_edit, m_close})
        ShowWindow(control, SW_HIDE);
    SetWindowTextW(m_edit, L"");
}

std::string FilterBox::Text() const {
    if (!m_open)
        return {};
    return platform::ToGb2312(app::WindowText(m_edit));
}

int FilterBox::CommandOfKey(const MSG& message) const {
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && Owns(message.hwnd))
        return m_closeCommand;
    return 0;
}

}  // namespace editor
