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
// Presses the left button at from, moves to to in steps and lets go, through the input queue.
void DragMouse(POINT from, POINT to);

}  // namespace driver
