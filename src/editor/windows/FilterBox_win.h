// The filter box: a bar above the tree, opened by Ctrl+E or its tool button. As the user types,
// the tree shows only the phrases holding the text and their categories; Esc or the close button
// closes it and shows everything again.
#pragma once

#include <windows.h>

#include <string>

namespace editor {

class FilterBox {
public:
    // The edit box reports its changes to the parent as WM_COMMAND from editId; the close button
    // sends closeCommand.
    void Create(HWND parent, int editId, int closeCommand);
    void SetFont(HFONT font);
    // Places the bar at top; returns its height, 0 while closed.
    int LayOut(int clientWidth, int top, UINT dpi);

    void Open();
    // Hides the bar and empties it.
    void Close();
    bool IsOpen() const { return m_open; }
    // The text in GB2312; empty while closed.
    std::string Text() const;
    bool Owns(HWND hwnd) const { return hwnd && (hwnd == m_edit || hwnd == m_close); }
    // A key pressed in the box: the close command for Esc, else 0 to let it through.
    int CommandOfKey(const MSG& message) const;

private:
    HWND m_label = nullptr;
    HWND m_edit = nullptr;
    HWND m_close = nullptr;
    int m_closeCommand = 0;
    bool m_open = false;
};

}  // namespace editor
