// Reads and selects the items of another process's tree view control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace driver {

// The items of a tree view in display order (depth-first), expanded or not.
std::vector<HTREEITEM> TreeItems(HWND tree);
// The root items only, in order.
std::vector<HTREEITEM> TreeRootItems(HWND tree);
std::vector<HTREEITEM> TreeChildItems(HWND tree, HTREEITEM parent);
std::wstring TreeItemText(HWND tree, HTREEITEM item);
HTREEITEM SelectedTreeItem(HWND tree);
// Selects the item as a click would (the control reports the change to its parent).
void SelectTreeItem(HWND tree, HTREEITEM item);
// The item's normal and selected image indexes.
std::pair<int, int> TreeItemImages(HWND tree, HTREEITEM item);

}  // namespace driver
