// Command ids of the phrase editor's menu items and tool buttons, shared with the tests that
// drive the window from outside.
#pragma once

namespace editor {

constexpr int IDM_NEW = 101;           // MenuNew, ToolButton1
constexpr int IDM_EDIT = 102;          // MenuEdit, ToolButton2
constexpr int IDM_DELETE = 103;        // MenuDelete, ToolButton3
constexpr int IDM_SAVE = 104;          // MenuSave, ToolButton4
constexpr int IDM_QUIT = 105;          // MenuQuit, ToolButton5
constexpr int IDM_SYSTEM_HELP = 106;   // MenuSystemHelp, in the hidden help menu: no command
constexpr int IDM_VERSION_HELP = 107;  // MenuVersionHelp, likewise
constexpr int IDM_UNDO = 108;          // Ctrl+Z
constexpr int IDM_REDO = 109;          // Ctrl+Y
constexpr int IDM_FIND = 110;          // Ctrl+F: opens the find box
constexpr int IDM_FIND_NEXT = 111;     // F3, Enter in the find box
constexpr int IDM_FIND_CLOSE = 112;    // Esc in the find box
constexpr int IDM_MOVE_UP = 113;       // Ctrl+Up
constexpr int IDM_MOVE_DOWN = 114;     // Ctrl+Down
constexpr int IDM_NEW_CATEGORY = 115;  // MenuNewCategory
constexpr int IDM_RESTORE = 116;       // MenuRestore: srf_pub.dat.bak back in place
constexpr int IDM_EXPORT = 117;        // MenuExport: the whole tree to a file of the user's choice
constexpr int IDM_IMPORT = 118;        // MenuImport: phrases from a file merged into the tree
constexpr int IDM_SORT = 119;          // MenuSort: the category's phrases by their GB2312 bytes
constexpr int IDM_BATCH_EDIT = 120;    // MenuBatchEdit: the category as text, one phrase a line
constexpr int IDM_SELECT_ALL = 121;    // Ctrl+A: every phrase of the category chosen
constexpr int IDM_MOVE_TO = 122;       // MenuMoveTo: the chosen phrases to a category from a list
constexpr int IDM_FILTER = 123;        // Ctrl+E: opens the filter box
constexpr int IDM_FILTER_CLOSE = 124;  // Esc in the filter box
constexpr int IDC_FILTER_EDIT = 125;   // the filter box's edit control

}  // namespace editor
