// The find box: a bar above the status bar with the sought text, opened by Ctrl+F. Enter and F3
// go to the next match, Esc closes it; opened again it shows the text sought last. What matches
// is decided by EditorCommands::Find.
#pragma once

#include <windows.h>

#include "app/EditBar_win.h"

namespace editor {

class FindBox {
public:
    // The buttons and keys send IDM_FIND_NEXT and IDM_FIND_CLOSE as WM_COMMAND.
    void Create(HWND parent);
    app::EditBar& Bar() { return m_bar; }
    const app::EditBar& Bar() const { return m_bar; }

private:
    app::EditBar m_bar;
};

}  // namespace editor
