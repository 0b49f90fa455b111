// The phrase editor's menus, tool bar and keys; see EditorMenus_win.h.
#include "editor/windows/EditorMenus_win.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "EditorTexts.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "app/SystemLook_win.h"
#include "editor/commands/CommandPlaces.h"
#include "editor/commands/EditorCommandIds.h"
#include "editor/windows/EditorImages_win.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

// The keys of the list as an accelerator table takes them.
static_assert(kKeyReturn == VK_RETURN && kKeyInsert == VK_INSERT && kKeyDelete == VK_DELETE &&
              kKeyUp == VK_UP && kKeyDown == VK_DOWN && kKeyF2 == VK_F2 && kKeyF3 == VK_F3 &&
              kKeyF5 == VK_F5);

constexpr int kSeparatorWidth = 8;
// Sizes at 96 DPI.
constexpr int kToolBarHeight = 33;
constexpr int kButtonWidth = 31;
constexpr int kButtonHeight = 30;

void AppendItems(HMENU menu, const std::vector<const CommandPlaces*>& items) {
    for (const CommandPlaces* item : items) {
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
                 .Text(platform::ToWide(texts::kToolBarName))
                 .Create(parent);
    SendMessageW(m_hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_ids.clear();
    m_hints.clear();
    std::vector<TBBUTTON> buttons;
    std::vector<const CommandPlaces*> tools = ToolButtons();
    // ToolButton6: blank and without command, a gap as wide as a separator after the file
    // commands, before the separator that ends their group.
    tools.insert(std::find(tools.begin(), tools.end(), nullptr), nullptr);
    for (const CommandPlaces* def : tools) {
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
    // Under high contrast the greyed buttons show their pictures drawn in the grey text's colour.
    int size = 0, height = 0;
    ImageList_GetIconSize(images, &size, &height);
    platform::UniqueHimagelist greyed;
    if (app::HighContrast())
        greyed = CreateEditorImages(size, COLOR_GRAYTEXT);
    SendMessageW(m_hwnd, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(greyed.Get()));
    m_greyedImages = std::move(greyed);
    SendMessageW(m_hwnd, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(app::Scale(kButtonWidth, dpi), app::Scale(kButtonHeight, dpi)));
}

int EditorToolBar::LayOut(int clientWidth, UINT dpi, int minHeight) {
    const int height = std::max(app::Scale(kToolBarHeight, dpi), minHeight);
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
    for (const MenuBarEntry& menu : MenuBar()) {
        if (!menu.visible)
            continue;
        platform::UniqueHmenu popup(CreatePopupMenu());
        AppendItems(popup.Get(), MenuItems(menu.menu));
        // Once appended, the menu bar owns the popup and destroys it with itself.
        if (AppendMenuW(menuBar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Get()),
                        platform::ToWide(menu.caption).c_str()))
            popup.Release();
    }
    return menuBar;
}

platform::UniqueHmenu CreateTreeContextMenu() {
    platform::UniqueHmenu menu(CreatePopupMenu());
    AppendItems(menu.Get(), ContextMenuItems());
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
    for (const CommandPlaces& places : AllCommandPlaces())
        for (const CommandKey& key : places.keys)
            if (key.key)
                keys.push_back({static_cast<BYTE>(FVIRTKEY | (key.control ? FCONTROL : 0)), key.key,
                                static_cast<WORD>(places.id)});
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
    for (const CommandPlaces& places : AllCommandPlaces())
        if (places.id == id)
            return places.command;
    return std::nullopt;
}

}  // namespace editor
