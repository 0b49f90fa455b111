// The status bar at the bottom of the phrase editor: the counts of the last compile on the left,
// why the selected phrase was left out on the right.
#pragma once

#include <windows.h>

#include <string>

#include "editor/rules/StatusText.h"

namespace editor {

class EditorStatusBar {
public:
    void Create(HWND parent);
    HWND Handle() const { return m_hwnd; }
    // Places the bar at the bottom of the parent's client area and returns its height.
    int LayOut(int clientWidth, int clientHeight, UINT dpi);
    void Show(const StatusText& text);

private:
    void SetParts();

    HWND m_hwnd = nullptr;
    std::wstring m_counts;
    std::wstring m_right;
    int m_padding = 12;
};

}  // namespace editor
