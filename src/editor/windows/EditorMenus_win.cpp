// The phrase editor's menus, tool bar and keys; see EditorMenus_win.h.
#include "editor/windows/EditorMenus_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "EditorTexts.h"
#include "TransferMenuTexts.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "editor/commands/EditorCommandIds.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

enum class Menu { None, File, Update, Help };

struct Key {
    BYTE flags = 0;  // 0: no key
    WORD key = 0;
};

// Where a command shows and how it looks, from its row of EditorCommandList.h.
struct CommandDef {
    int id;
    Command command;
    const char* caption;  // in the menus
    const char* hint;     // the tool button's tool tip
    int image;            // in ImageList3; -1 none
    Key keys[2];
    Menu menu;
    int menuPlace;
    int toolPlace;
    int contextPlace;
};

constexpr Key NoKey{};
constexpr Key Plain(WORD key) { return {FVIRTKEY, key}; }
constexpr Key Ctrl(WORD key) { return {FVIRTKEY | FCONTROL, key}; }
constexpr WORD kInsert = VK_INSERT, kDelete = VK_DELETE, kReturn = VK_RETURN, kF2 = VK_F2,
               kF3 = VK_F3, kF5 = VK_F5, kUp = VK_UP, kDown = VK_DOWN;

using enum Menu;
#define SRF_COMMAND_DEF(name, id, number, caption, hint, image, key1, key2, menu, menuPlace, \
                        toolPlace, contextPlace, enabled, rule)                              \
    CommandDef{number,       Command::name, caption,   hint,      image,                     \
               {key1, key2}, menu,          menuPlace, toolPlace, contextPlace},
const CommandDef kCommands[] = {SRF_EDITOR_COMMANDS(SRF_COMMAND_DEF)};
#undef SRF_COMMAND_DEF

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
// Sizes at 96 DPI.
constexpr int kToolBarHeight = 33;
constexpr int kButtonWidth = 31;
constexpr int kButtonHeight = 30;

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
    m_hwnd = app::ChildControl(TOOLBARCLASSNAMEW, WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT |
                                                      TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                                      CCS_NORESIZE | CCS_NOPARENTALIGN)
                 .Create(parent);
    SendMessageW(m_hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_ids.clear();
    m_hints.clear();
    std::vector<TBBUTTON> buttons;
    std::vector<const CommandDef*> tools =
        Arranged([](const CommandDef& def) { return def.toolPlace; });
    // ToolButton6: blank and without command, a gap as wide as a separator after the file
    // commands, before the separator that ends their group.
    tools.insert(std::find(tools.begin(), tools.end(), nullptr), nullptr);
    for (const CommandDef* def : tools) {
        const bool gap = !def;
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

void EditorToolBar::ApplyDpi(HIMAGELIST images, UINT dpi) {
    SendMessageW(m_hwnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(m_hwnd, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(app::Scale(kButtonWidth, dpi), app::Scale(kButtonHeight, dpi)));
}

int EditorToolBar::LayOut(int clientWidth, UINT dpi) {
    const int height = app::Scale(kToolBarHeight, dpi);
    MoveWindow(m_hwnd, 0, 0, clientWidth, height, TRUE);
    return height;
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

void EditorCommandBars::Create(HWND window) {
    m_window = window;
    m_toolBar.Create(window);
    // The window owns its menu bar once it has it.
    if (platform::UniqueHmenu menuBar = CreateEditorMenuBar(); SetMenu(window, menuBar.Get()))
        menuBar.Release();
    m_accelerators = CreateEditorAccelerators();
}

void EditorCommandBars::ShowEnabled(const CommandEnabled& enabled) {
    m_toolBar.ShowEnabled(enabled);
    editor::ShowEnabled(GetMenu(m_window), enabled);
}

bool EditorCommandBars::TranslateKey(MSG& message) const {
    return TranslateAcceleratorW(m_window, m_accelerators.Get(), &message) != 0;
}

int TrackTreeContextMenu(HWND owner, POINT screen, const CommandEnabled& enabled) {
    const platform::UniqueHmenu menu = CreateTreeContextMenu();
    ShowEnabled(menu.Get(), enabled);
    return TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner,
                          nullptr);
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
