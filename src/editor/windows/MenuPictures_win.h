// The pictures of the editor's menu items: the items carry their ImageList3 image as item data
// (see EditorMenus_win.h), and the window measures and draws them here in WM_MEASUREITEM and
// WM_DRAWITEM.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace editor {

// A menu item's picture is size x size pixels; anything but a menu item is left alone.
void MeasureMenuPicture(MEASUREITEMSTRUCT& item, int size);
// Draws a menu item's picture from images, greyed as its text is when the item is greyed; false
// when the item is no menu item.
bool DrawMenuPicture(const DRAWITEMSTRUCT& item, HIMAGELIST images, int size);

}  // namespace editor
