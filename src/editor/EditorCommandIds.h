// Command ids of the phrase editor's menu items and tool buttons, shared with the tests that
// drive the window from outside.
#pragma once

namespace editor {

constexpr int IDM_NEW = 101;     // MenuNew, ToolButton1
constexpr int IDM_EDIT = 102;    // MenuEdit, ToolButton2
constexpr int IDM_DELETE = 103;  // MenuDelete, ToolButton3
constexpr int IDM_SAVE = 104;    // MenuSave, ToolButton4
constexpr int IDM_QUIT = 105;    // MenuQuit, ToolButton5
constexpr int IDM_SYSTEM_HELP = 106;   // MenuSystemHelp, in the hidden help menu: no command
constexpr int IDM_VERSION_HELP = 107;  // MenuVersionHelp, likewise

}  // namespace editor
