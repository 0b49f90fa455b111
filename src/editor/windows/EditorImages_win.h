// The phrase editor's pictures, drawn with GDI so that they stay sharp at every DPI: ImageList3,
// the tree-node image and one for each command.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/UniqueHandles_win.h"

namespace editor {

// Images of size x size pixels: 0 tree node, 1 New, 2 Modify, 3 Delete, 4 Save, 5 Quit, 6 a
// phrase the compile left out, 7 Undo, 8 Redo, 9 Find, 10 Move up, 11 Move down, 12 New category,
// 13 Restore backup.
platform::UniqueHimagelist CreateEditorImages(int size);

}  // namespace editor
