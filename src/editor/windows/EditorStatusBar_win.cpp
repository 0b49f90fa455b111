// The phrase editor's status bar; see EditorStatusBar_win.h.
#include "editor/windows/EditorStatusBar_win.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Accessibility_win.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

void EditorStatusBar::Create(HWND parent) {
    m_hwnd = app::ChildControl(STATUSCLASSNAMEW, WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE)
                 .Create(parent);
    app::MarkLiveRegion(m_hwnd);
}

int EditorStatusBar::LayOut(int clientWidth, int clientHeight, UINT textDpi) {
    const int height = app::Scale(22, textDpi);
    MoveWindow(m_hwnd, 0, clientHeight - height, clientWidth, height, TRUE);
    m_padding = app::Scale(12, textDpi);
    SetParts();
    return height;
}

void EditorStatusBar::Show(const StatusText& text, bool announce) {
    const std::wstring counts = platform::ToWide(text.counts);
    const std::wstring right = platform::ToWide(text.right);
    const bool countsChanged = counts != m_counts, rightChanged = right != m_right;
    m_counts = counts;
    m_right = right;
    SetParts();
    SendMessageW(m_hwnd, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(m_counts.c_str()));
    SendMessageW(m_hwnd, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(m_right.c_str()));
    // A part is the status bar's accessible child of its number plus one.
    if (announce && countsChanged)
        app::AnnounceTextChange(m_hwnd, 1);
    if (announce && rightChanged)
        app::AnnounceTextChange(m_hwnd, 2);
}

void EditorStatusBar::SetParts() {
    // The counts take what their text needs and the right part the rest; where both do not fit,
    // the right part (the reason, the filter's count) is shown whole and the counts are cut.
    SIZE counts{};
    SIZE right{};
    {
        const platform::WindowDc dc(m_hwnd);
        const platform::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(
                                                          SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc.Get(), m_counts.c_str(), static_cast<int>(m_counts.size()),
                              &counts);
        GetTextExtentPoint32W(dc.Get(), m_right.c_str(), static_cast<int>(m_right.size()), &right);
    }
    RECT bar{};
    GetClientRect(m_hwnd, &bar);
    const int rightNeeds = m_right.empty() ? 0 : right.cx + 2 * m_padding;
    const int countsWidth =
        std::max(0, std::min<int>(counts.cx + m_padding, bar.right - rightNeeds));
    int parts[] = {countsWidth, -1};
    SendMessageW(m_hwnd, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

}  // namespace editor
