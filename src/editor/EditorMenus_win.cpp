// The phrase editor's menus, tool bar and keys; see EditorMenus_win.h.
#include "editor/EditorMenus_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "EditorTexts.h"
#include "TransferMenuTexts.h"
#include "app/BaseWindow_win.h"
#include "editor/EditorCommandIds.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

enum class Menu { None, File, Update, Help };

struct Key {
    BYTE flags = 0;  // 0: no key
    WORD key = 0;
};

// One command. A place (a menu, the tool bar, the context menu) is given as group * 10 + rank
// within the group, 0 where the command does not show: the items of a place go in that order,
// with a separator between groups.
struct CommandDef {
    int id;
    std::optional<Command> command;  // none: the window handles the id itself
    const char* caption;             // in the menus
    const char* hint;                // the tool button's tool tip
    int image;                       // in ImageList3; -1 none
    Key keys[2];
    Menu menu;
    int menuPlace;
    int toolPlace;
    int contextPlace;
};

constexpr Key Plain(WORD key) { return {FVIRTKEY, key}; }
constexpr Key Ctrl(WORD key) { return {FVIRTKEY | FCONTROL, key}; }

using enum Menu;
const CommandDef kCommands[] = {
    // id, command, caption, hint, image, keys, menu and place, tool bar, context menu
    {IDM_NEW,
     Command::New,
     texts::kMenuNew,
     texts::kHintNew,
     1,
     {Plain(VK_INSERT)},
     File,
     11,
     11,
     11},
    {IDM_NEW_CATEGORY,
     Command::NewCategory,
     texts::kMenuNewCategory,
     nullptr,
     12,
     {},
     File,
     12,
     0,
     0},
    {IDM_SAVE, Command::Save, texts::kMenuSave, texts::kHintSave, 4, {Ctrl('S')}, File, 21, 14, 0},
    {IDM_RESTORE, Command::RestoreBackup, texts::kMenuRestore, nullptr, 13, {}, File, 22, 0, 0},
    {IDM_EXPORT, Command::Export, texts::kMenuExport, nullptr, -1, {}, File, 31, 0, 0},
    {IDM_IMPORT, Command::Import, texts::kMenuImport, nullptr, -1, {}, File, 32, 0, 0},
    {IDM_QUIT, Command::Quit, texts::kMenuQuit, texts::kHintQuit, 5, {}, File, 41, 15, 0},
    // ToolButton6: blank and without command, a gap as wide as a separator.
    {0, std::nullopt, nullptr, nullptr, I_IMAGENONE, {}, None, 0, 16, 0},
    {IDM_UNDO,
     Command::Undo,
     texts::kMenuUndo,
     texts::kHintUndo,
     7,
     {Ctrl('Z')},
     Update,
     11,
     21,
     0},
    {IDM_REDO,
     Command::Redo,
     texts::kMenuRedo,
     texts::kHintRedo,
     8,
     {Ctrl('Y')},
     Update,
     12,
     22,
     0},
    {IDM_EDIT,
     Command::Modify,
     texts::kMenuEdit,
     texts::kHintEdit,
     2,
     {Plain(VK_F2), Plain(VK_RETURN)},
     Update,
     21,
     12,
     12},
    {IDM_DELETE,
     Command::Delete,
     texts::kMenuDelete,
     texts::kHintDelete,
     3,
     {Plain(VK_DELETE)},
     Update,
     31,
     13,
     13},
    {IDM_FIND, std::nullopt, texts::kMenuFind, texts::kHintFind, 9, {Ctrl('F')}, Update, 41, 31, 0},
    {IDM_FILTER,
     std::nullopt,
     texts::kMenuFilter,
     texts::kHintFilter,
     14,
     {Ctrl('E')},
     Update,
     42,
     34,
     0},
    {IDM_FIND_NEXT, std::nullopt, nullptr, nullptr, -1, {Plain(VK_F3)}, None, 0, 0, 0},
    {IDM_MOVE_UP,
     Command::MoveUp,
     texts::kMenuMoveUp,
     texts::kHintMoveUp,
     10,
     {Ctrl(VK_UP)},
     Update,
     51,
     32,
     21},
    {IDM_MOVE_DOWN,
     Command::MoveDown,
     texts::kMenuMoveDown,
     texts::kHintMoveDown,
     11,
     {Ctrl(VK_DOWN)},
     Update,
     52,
     33,
     22},
    {IDM_BATCH_EDIT, Command::BatchEdit, texts::kMenuBatchEdit, nullptr, -1, {}, Update, 22, 0, 31},
    {IDM_MOVE_TO, Command::MoveTo, texts::kMenuMoveTo, nullptr, -1, {}, Update, 54, 0, 23},
    {IDM_SORT, Command::Sort, texts::kMenuSort, nullptr, -1, {}, Update, 53, 0, 32},
    {IDM_SELECT_ALL,
     std::nullopt,
     texts::kMenuSelectAll,
     nullptr,
     -1,
     {Ctrl('A')},
     Update,
     61,
     0,
     0},
    // MenuHelp is hidden: its items have no command.
    {IDM_SYSTEM_HELP, std::nullopt, texts::kMenuSystemHelp, nullptr, -1, {}, Help, 11, 0, 0},
    {IDM_VERSION_HELP, std::nullopt, texts::kMenuVersionHelp, nullptr, -1, {}, Help, 21, 0, 0},
};

struct MenuDef {
    Menu menu;
    const char* caption;
    bool visible;
};
// MainMenu1: MenuFile, MenuUpdate and the hidden MenuHelp.
constexpr MenuDef kMainMenu[] = {{File, texts::kMenuFile, true},
                                 {Update, texts::kMenuUpdate, true},
                                 {Help, texts::kMenuHelp, false}};

constexpr int kSeparatorWidth = 8;

// The commands at a place, in its order; null between two groups.
template <class PlaceOf>
std::vector<const CommandDef*> Arranged(PlaceOf placeOf) {
    std::vector<const CommandDef*> shown;
    for (const CommandDef& def : kCommands)
        if (placeOf(def) > 0)
            shown.push_back(&def);
    std::stable_sort(shown.begin(), shown.end(), [&](const CommandDef* a, const CommandDef* b) {
        return placeOf(*a) < placeOf(*b);
    });
    std::vector<const CommandDef*> arranged;
    for (const CommandDef* def : shown) {
        if (!arranged.empty() && placeOf(*arranged.back()) / 10 != placeOf(*def) / 10)
            arranged.push_back(nullptr);
        arranged.push_back(def);
    }
    return arranged;
}

void AppendItems(HMENU menu, const std::vector<const CommandDef*>& items) {
    for (const CommandDef* item : items) {
        if (!item) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring caption = platform::ToWide(item->caption);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        // Every item has a picture, blank where the command has none: a menu measures an item
        // without one narrower than the room its text is then drawn in (Wine cut the longest).
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA | MIIM_BITMAP;
        info.wID = static_cast<UINT>(item->id);
        info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
        info.dwItemData = static_cast<ULONG_PTR>(item->image);
        info.hbmpItem = HBMMENU_CALLBACK;  // drawn from ImageList3 in WM_DRAWITEM
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
    }
}

}  // namespace

void EditorToolBar::Create(HWND parent) {
    m_hwnd =
        app::CreateWindowChecked(0, TOOLBARCLASSNAMEW, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT |
                                     TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                                     CCS_NOPARENTALIGN,
                                 0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_ids.clear();
    m_hints.clear();
    std::vector<TBBUTTON> buttons;
    for (const CommandDef* def : Arranged([](const CommandDef& def) { return def.toolPlace; })) {
        const bool gap = !def || def->id == 0;
        TBBUTTON button{};
        button.iBitmap = gap ? kSeparatorWidth : def->image;
        button.idCommand = gap ? 0 : def->id;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = gap ? BTNS_SEP : BTNS_BUTTON;
        button.iString = -1;
        buttons.push_back(button);
        m_ids.push_back(button.idCommand);
        m_hints.push_back(def && def->hint ? platform::ToWide(def->hint) : std::wstring());
    }
    SendMessageW(m_hwnd, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

bool EditorToolBar::OnNotify(NMHDR& header) {
    if (header.code != TTN_GETDISPINFOW)
        return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    for (size_t i = 0; i < m_ids.size(); ++i)
        if (!m_hints[i].empty() && static_cast<UINT_PTR>(m_ids[i]) == header.idFrom)
            info.lpszText = const_cast<wchar_t*>(m_hints[i].c_str());
    return true;
}

void EditorToolBar::ShowEnabled(const CommandEnabled& enabled) {
    for (const int id : m_ids)
        if (const std::optional<Command> command = CommandOf(id))
            SendMessageW(m_hwnd, TB_ENABLEBUTTON, static_cast<WPARAM>(id),
                         MAKELPARAM(enabled(*command), 0));
}

platform::UniqueHmenu CreateEditorMenuBar() {
    platform::UniqueHmenu menuBar(CreateMenu());
    for (const MenuDef& menu : kMainMenu) {
        if (!menu.visible)
            continue;
        platform::UniqueHmenu popup(CreatePopupMenu());
        AppendItems(popup.Get(), Arranged([&](const CommandDef& def) {
                        return def.menu == menu.menu ? def.menuPlace : 0;
                    }));
        // Once appended, the menu bar owns the popup and destroys it with itself.
        if (AppendMenuW(menuBar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Get()),
                        platform::ToWide(menu.caption).c_str()))
            popup.Release();
    }
    return menuBar;
}

platform::UniqueHmenu CreateTreeContextMenu() {
    platform::UniqueHmenu menu(CreatePopupMenu());
    AppendItems(menu.Get(), Arranged([](const CommandDef& def) { return def.contextPlace; }));
    return menu;
}

platform::UniqueHaccel CreateEditorAccelerators() {
    std::vector<ACCEL> keys;
    for (const CommandDef& def : kCommands)
        for (const Key& key : def.keys)
            if (key.flags)
                keys.push_back({key.flags, key.key, static_cast<WORD>(def.id)});
    return platform::UniqueHaccel(
        CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
}

void ShowEnabled(HMENU menu, const CommandEnabled& enabled) {
    if (!menu)
        return;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (const HMENU popup = GetSubMenu(menu, i)) {
            ShowEnabled(popup, enabled);
            continue;
        }
        const std::optional<Command> command = CommandOf(static_cast<int>(GetMenuItemID(menu, i)));
        if (command)
            EnableMenuItem(menu, static_cast<UINT>(i),
                           MF_BYPOSITION | (enabled(*command) ? MF_ENABLED : MF_GRAYED));
    }
}

std::optional<Command> CommandOf(int id) {
    if (id == 0)
        return std::nullopt;
    for (const CommandDef& def : kCommands)
        if (def.id == id)
            return def.command;
    return std::nullopt;
}

}  // namespace editor
