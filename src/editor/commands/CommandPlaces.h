// Where each command of the phrase editor shows, read from the one command list
// (EditorCommandList.h): its menu and places, its caption and tool tip, its picture and its keys.
// Portable, so that the menus and keys can be checked without a window: a mnemonic once per
// menu, every tool button reachable from a menu or a key.
#pragma once

#include <vector>

#include "editor/commands/EditorCommands.h"

namespace editor {

enum class CommandMenu { None, File, Update, Help };

// A key of a command: a virtual-key code of Windows (or an upper-case letter), with Ctrl or not.
struct CommandKey {
    bool control = false;
    unsigned short key = 0;  // 0: no key
    bool operator==(const CommandKey&) const = default;
};

// The virtual-key codes the list uses (the values of Windows' VK_ constants).
inline constexpr unsigned short kKeyReturn = 0x0D, kKeyInsert = 0x2D, kKeyDelete = 0x2E,
                                kKeyUp = 0x26, kKeyDown = 0x28, kKeyF2 = 0x71, kKeyF3 = 0x72,
                                kKeyF5 = 0x74;

struct CommandPlaces {
    int id;
    Command command;
    const char* caption;  // in the menus (GB2312, "&" before the mnemonic); null: none
    const char* hint;     // the tool button's tool tip (GB2312); null: none
    int image;            // in the editor's image list; -1: none
    CommandKey keys[2];
    CommandMenu menu;
    // group * 10 + rank within the group; 0 where the command does not show
    int menuPlace;
    int toolPlace;
    int contextPlace;
};

// Every command, in the list's order.
const std::vector<CommandPlaces>& AllCommandPlaces();

// The commands of a menu, the tool bar or the context menu, in their order, with null between two
// groups (a separator).
std::vector<const CommandPlaces*> MenuItems(CommandMenu menu);
std::vector<const CommandPlaces*> ToolButtons();
std::vector<const CommandPlaces*> ContextMenuItems();

// The menu bar's menus: each with its caption (GB2312), and whether it shows (MenuHelp is hidden:
// its items have no command).
struct MenuBarEntry {
    CommandMenu menu;
    const char* caption;
    bool visible;
};
const std::vector<MenuBarEntry>& MenuBar();

}  // namespace editor
