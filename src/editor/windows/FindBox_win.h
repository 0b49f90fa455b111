// The find box: a small bar above the status bar with the sought text, opened by Ctrl+F. Enter
// and F3 go to the next match, Esc closes it. What matches is decided by EditorCommands::Find.
#pragma once

#include <windows.h>

#include <string>

namespace editor {

class FindBox {
public:
    // The buttons send nextCommand and closeCommand to the parent as WM_COMMAND.
    void Create(HWND parent, int nextCommand, int closeCommand);
    void SetFont(HFONT font);
    // Places the bar just above bottom; returns its height, 0 while closed.
    int LayOut(int clientWidth, int bottom, UINT dpi);

    void Open();
    void Close();
    bool IsOpen() const { return m_open; }
    // The sought text in GB2312.
    std::string Text() const;
    bool Owns(HWND hwnd) const {
        return hwnd && (hwnd == m_edit || hwnd == m_next || hwnd == m_close);
    }

    // A key pressed in the box: the command it means (next, close) or 0 to let it through.
    int CommandOfKey(const MSG& message) const;

private:
    HWND m_label = nullptr;
    HWND m_edit = nullptr;
    HWND m_next = nullptr;
    HWND m_close = nullptr;
    int m_nextCommand = 0;
    int m_closeCommand = 0;
    bool m_open = false;
};

}  // namespace editor
