// The main window of a mode; see Form_win.h.
#include "app/Form_win.h"

#include <algorithm>

#include "app/Accessibility_win.h"
#include "app/Application_win.h"
#include "app/SystemLook_win.h"

namespace app {

void Form::CreateForm(const wchar_t* className, const std::wstring& caption, DWORD style,
                      SIZE size96, std::optional<POINT> topLeft) {
    m_dpi = DpiOf(nullptr);
    m_textDpi = TextDpiOf(m_dpi);
    // Large text or a high DPI must not take the window beyond the screen it opens on.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = std::min<int>(TextScaled(size96.cx), work.right - work.left);
    const int height = std::min<int>(TextScaled(size96.cy), work.bottom - work.top);
    POINT at = topLeft.value_or(POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                      (GetSystemMetrics(SM_CYSCREEN) - height) / 2});
    at.x = std::clamp<int>(at.x, work.left, std::max<int>(work.left, work.right - width));
    at.y = std::clamp<int>(at.y, work.top, std::max<int>(work.top, work.bottom - height));
    CreateWindowOfClass(className, caption, style, 0, RECT{at.x, at.y, at.x + width, at.y + height},
                        Application::Instance().OwnerWindow());
}

Form::~Form() { Destroy(); }

bool Form::Owns(HWND hwnd) const {
    return hwnd && Handle() && (hwnd == Handle() || IsChild(Handle(), hwnd));
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        m_dpi = DpiOf(Handle());
        m_textDpi = TextDpiOf(m_dpi);
        FormCreate();
        ApplyDpi();
        LayOut();
        ShowKeyboardCues(Handle());
        return 0;
    case WM_APP_FORMSHOW:
        FormShow();
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_SIZE:
        LayOut();
        return 0;
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), lParam);
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    }
    if (IsLookChange(message, wParam))
        ChangeLook();
    return BaseWindow::HandleMessage(message, wParam, lParam);
}

// Keeps the keyboard where it was (a tree, a find box, a text pane) across boxes and other
// programs; where it was on none of the window's controls, the default control takes it.
void Form::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        m_focus = focus && IsChild(Handle(), focus) ? focus : nullptr;
        return;
    }
    Activated();
    const bool usable = m_focus && IsWindow(m_focus) && IsWindowVisible(m_focus);
    SetFocus(usable ? m_focus : DefaultFocus());
}

void Form::ChangeDpi(UINT dpi, LPARAM suggestedBounds) {
    m_dpi = dpi;
    m_textDpi = TextDpiOf(dpi);
    ApplyDpi();
    LayOut();
    InvalidateRect(Handle(), nullptr, TRUE);
    MoveToSuggestedBounds(Handle(), suggestedBounds);
}

void Form::ChangeLook() {
    m_textDpi = TextDpiOf(m_dpi);
    ApplyDpi();
    LayOut();
    InvalidateRect(Handle(), nullptr, TRUE);
}

}  // namespace app
