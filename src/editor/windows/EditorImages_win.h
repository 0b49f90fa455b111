// The phrase editor's pictures, drawn with GDI so that they stay sharp at every DPI: ImageList3,
// the tree-node image, one for each command and the mark of a chosen phrase; under high contrast
// as outlines in the system's text colour.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/UniqueHandles_win.h"

namespace editor {

// The mark of a chosen phrase, and the overlay it is in the image list.
constexpr int kChosenImage = 15;
constexpr int kChosenOverlay = 1;

// Images of size x size pixels: 0 tree node, 1 New, 2 Modify, 3 Delete, 4 Save, 5 Quit, 6 a
// phrase the compile left out, 7 Undo, 8 Redo, 9 Find, 10 Move up, 11 Move down, 12 New category,
// 13 Restore backup, 14 Filter, 15 the mark of a chosen phrase (overlay 1). Under high contrast
// their lines take the system colour inkColor: the text's, or the grey text's for the pictures of
// greyed tool buttons (the tool bar's own greying of a picture drops lines in the text colour of a
// dark scheme, which is white).
platform::UniqueHimagelist CreateEditorImages(int size, UINT inkColor = COLOR_WINDOWTEXT);

}  // namespace editor
