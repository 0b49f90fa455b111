// Tab and F6 in the editor; see PaneKeys_win.h.
#include "editor/windows/PaneKeys_win.h"

#include <algorithm>
#include <vector>

namespace editor {

bool MoveFocusWithKey(HWND window, const MSG& message, const app::EditBar& filterBar, HWND tree,
                      const app::EditBar& findBar) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_TAB && message.wParam != VK_F6) ||
        GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return false;
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    if (message.wParam == VK_TAB) {
        if (const HWND next = GetNextDlgTabItem(window, GetFocus(), backwards))
            SetFocus(next);
        return true;
    }
    std::vector<HWND> panes;
    if (filterBar.IsOpen())
        panes.push_back(filterBar.Edit());
    panes.push_back(tree);
    if (findBar.IsOpen())
        panes.push_back(findBar.Edit());
    // A bar's buttons count as its pane.
    HWND focus = GetFocus();
    for (const app::EditBar* bar : {&filterBar, &findBar})
        if (bar->Owns(focus))
            focus = bar->Edit();
    const std::size_t count = panes.size();
    const auto at = std::find(panes.begin(), panes.end(), focus);
    std::size_t next = backwards ? count - 1 : 0;  // from elsewhere (the banner)
    if (at != panes.end())
        next = (static_cast<std::size_t>(at - panes.begin()) + (backwards ? count - 1 : 1)) % count;
    SetFocus(panes[next]);
    return true;
}

}  // namespace editor
