// The editor's keys between its parts: Tab and Shift+Tab round the controls, F6 and Shift+F6 round
// the panes from the top down (the filter bar, the tree, the find bar; a closed bar not).
#pragma once

#include <windows.h>

#include "app/EditBar_win.h"

namespace editor {

// Moves the focus when the message is one of those keys; true when it was.
bool MoveFocusWithKey(HWND window, const MSG& message, const app::EditBar& filterBar, HWND tree,
                      const app::EditBar& findBar);

}  // namespace editor
