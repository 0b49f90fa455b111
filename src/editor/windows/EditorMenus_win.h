// The phrase editor's menus, tool bar, keys and context menu, built from the one list of its
// commands (EditorCommandList.h): for each its caption, tool tip, image, keys and where it shows.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/commands/EditorCommands.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

// Whether the controller lets a command act now.
using CommandEnabled = std::function<bool(Command)>;

// ToolBar1: a button for each of the most used commands, with its hint as a tool tip (which is
// also what a screen reader says of the button).
class EditorToolBar {
public:
    void Create(HWND parent);
    HWND Handle() const { return m_hwnd; }
    // The buttons' pictures and size for the DPI; the images stay the caller's (the pictures of
    // greyed buttons under high contrast are the bar's own).
    void ApplyDpi(HIMAGELIST images, UINT dpi);
    // Places the bar across the top of the parent's client area, at least minHeight high, and
    // returns its height.
    int LayOut(int clientWidth, UINT dpi, int minHeight = 0);
    // Points a button's tool tip at its hint (TTN_GETDISPINFOW); false for any other notification.
    bool OnNotify(NMHDR& header);
    // Greys the buttons of the commands that cannot act and enables the others.
    void ShowEnabled(const CommandEnabled& enabled);

private:
    HWND m_hwnd = nullptr;
    std::vector<int> m_ids;             // by button: its command id, 0 for a blank or a separator
    std::vector<std::wstring> m_hints;  // by button, empty for a button without a hint
    platform::UniqueHimagelist m_greyedImages;  // under high contrast only
};

// The commands' places in the editor window: the tool bar, the menu bar and the keys, greyed
// together.
class EditorCommandBars {
public:
    // Makes the tool bar (the window's first control) and gives the window its menu bar.
    void Create(HWND window);
    EditorToolBar& ToolBar() { return m_toolBar; }
    // Greys the tool buttons and menu items of the commands that cannot act, enables the others.
    void ShowEnabled(const CommandEnabled& enabled);
    // A key of a command pressed in the window: sends the command to it and returns true.
    bool TranslateKey(MSG& message) const;

private:
    HWND m_window = nullptr;
    EditorToolBar m_toolBar;
    platform::UniqueHaccel m_accelerators;
};

// MainMenu1. Items carry their ImageList3 image as item data and are drawn by the owner window
// in WM_MEASUREITEM and WM_DRAWITEM.
platform::UniqueHmenu CreateEditorMenuBar();
// The tree view's context menu, drawn the same way.
platform::UniqueHmenu CreateTreeContextMenu();
// Shows the tree view's context menu at a point of the screen for owner, its items greyed as
// enabled says; the id of the command chosen, 0 for none.
int TrackTreeContextMenu(HWND owner, POINT screen, const CommandEnabled& enabled);
platform::UniqueHaccel CreateEditorAccelerators();
// Greys the items of the menu (and of its popups) whose commands cannot act, enables the others.
void ShowEnabled(HMENU menu, const CommandEnabled& enabled);

// The command of an id; nullopt for an id that is no command's.
std::optional<Command> CommandOf(int id);

}  // namespace editor
