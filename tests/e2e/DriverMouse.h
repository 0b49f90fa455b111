// Driver helpers for the phrase editor's newer parts: the status bar's texts, a tree item's place
// on the screen and a mouse drag, read and done from outside the program.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace driver {

// The text of one part of another process's status bar.
std::wstring StatusBarText(HWND bar, int part);
// The middle of a tree item's text on the screen.
POINT TreeItemCenter(HWND tree, HTREEITEM item);
// Drags one item of a tree view onto another with the mouse, through the input queue, waiting at
// each step for the state the program must reach before the next (the button held on the item, the
// drag begun, the target highlighted, the drag ended). Empty when done, else the state that never
// came.
std::string DragTreeItem(HWND tree, HTREEITEM from, HTREEITEM to);
// Double-clicks a tree item as the mouse does (the cursor placed on it, the clicks posted).
void DoubleClickTreeItem(HWND tree, HTREEITEM item);
// Clicks a tool bar button of another process, posting the press and the release at its middle
// as the mouse would; a greyed button ignores them.
void ClickToolButton(HWND toolBar, int id);

}  // namespace driver
