// The phrase editor's menus, tool bar and keys, kept as data: which caption, image and key lead to
// which command id, and which command id to which rule of EditorCommands.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "editor/EditorCommands.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

// ToolBar1: a button for each of the most used commands, with its hint as a tool tip.
class EditorToolBar {
public:
    void Create(HWND parent);
    HWND Handle() const { return m_hwnd; }
    // Points a button's tool tip at its hint (TTN_GETDISPINFOW); false for any other notification.
    bool OnNotify(NMHDR& header);

private:
    HWND m_hwnd = nullptr;
    std::vector<std::wstring> m_hints;  // by button, empty for a button without a hint
};

// MainMenu1. Items carry their ImageList3 image as item data and are drawn by the owner window
// in WM_MEASUREITEM and WM_DRAWITEM.
platform::UniqueHmenu CreateEditorMenuBar();
// The tree view's context menu, drawn the same way.
platform::UniqueHmenu CreateTreeContextMenu();
platform::UniqueHaccel CreateEditorAccelerators();

// The rule of EditorCommands behind a command id; nullopt for the ids the window handles itself.
std::optional<Command> CommandOf(int id);

}  // namespace editor
