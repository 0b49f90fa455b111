// The status bar at the bottom of the phrase editor: the counts of the last compile on the left,
// why the selected phrase was left out on the right. A live region: what a command or the filter
// changes in it is announced to screen readers.
#pragma once

#include <windows.h>

#include <string>

#include "editor/rules/StatusText.h"

namespace editor {

class EditorStatusBar {
public:
    void Create(HWND parent);
    HWND Handle() const { return m_hwnd; }
    // Places the bar at the bottom of the parent's client area and returns its height, for its
    // text at textDpi (the monitor's DPI enlarged by the user's text size).
    int LayOut(int clientWidth, int clientHeight, UINT textDpi);
    // Shows the texts; with announce, tells screen readers of each part that changed (the
    // selection's own changes are left to the tree, which they hear already).
    void Show(const StatusText& text, bool announce);

private:
    void SetParts();

    HWND m_hwnd = nullptr;
    std::wstring m_counts;
    std::wstring m_right;
    int m_padding = 12;
};

}  // namespace editor
