// The phrase editor's menus, tool bar and keys; see EditorMenus_win.h.
#include "editor/EditorMenus_win.h"

#include <commctrl.h>

#include <iterator>

#include "EditorTexts.h"
#include "TransferMenuTexts.h"
#include "app/BaseWindow_win.h"
#include "editor/EditorCommandIds.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

constexpr int kSeparator = -2;  // a gap between groups of buttons

struct ToolButtonDef {
    int image;
    int command;
    const char* hint;
};
// ToolButton1 to ToolButton6 (the sixth blank and without command), then Undo and Redo, Find
// and the two moves.
constexpr ToolButtonDef kToolButtons[] = {
    {1, IDM_NEW, texts::kHintNew},         {2, IDM_EDIT, texts::kHintEdit},
    {3, IDM_DELETE, texts::kHintDelete},   {4, IDM_SAVE, texts::kHintSave},
    {5, IDM_QUIT, texts::kHintQuit},       {I_IMAGENONE, 0, nullptr},
    {kSeparator, 0, nullptr},              {7, IDM_UNDO, texts::kHintUndo},
    {8, IDM_REDO, texts::kHintRedo},       {kSeparator, 0, nullptr},
    {9, IDM_FIND, texts::kHintFind},       {10, IDM_MOVE_UP, texts::kHintMoveUp},
    {11, IDM_MOVE_DOWN, texts::kHintMoveDown},
};

struct MenuItemDef {
    const char* caption;  // null for a separator
    int command;
    int image;
};
struct MenuDef {
    const char* caption;
    bool visible;
    std::vector<MenuItemDef> items;
};
// MainMenu1: MenuFile, MenuUpdate and the hidden MenuHelp.
const MenuDef kMainMenu[] = {
    {texts::kMenuFile, true,
     {{texts::kMenuNew, IDM_NEW, 1},
      {texts::kMenuNewCategory, IDM_NEW_CATEGORY, 12},
      {},
      {texts::kMenuSave, IDM_SAVE, 4},
      {texts::kMenuRestore, IDM_RESTORE, 13},
      {},
      {texts::kMenuExport, IDM_EXPORT, -1},
      {texts::kMenuImport, IDM_IMPORT, -1},
      {},
      {texts::kMenuQuit, IDM_QUIT, 5}}},
    {texts::kMenuUpdate, true,
     {{texts::kMenuUndo, IDM_UNDO, 7},
      {texts::kMenuRedo, IDM_REDO, 8},
      {},
      {texts::kMenuEdit, IDM_EDIT, 2},
      {},
      {texts::kMenuDelete, IDM_DELETE, 3},
      {},
      {texts::kMenuFind, IDM_FIND, 9},
      {},
      {texts::kMenuMoveUp, IDM_MOVE_UP, 10},
      {texts::kMenuMoveDown, IDM_MOVE_DOWN, 11}}},
    {texts::kMenuHelp, false,
     {{texts::kMenuSystemHelp, IDM_SYSTEM_HELP, -1}, {}, {texts::kMenuVersionHelp, IDM_VERSION_HELP, -1}}},
};
// The tree view's context menu.
const std::vector<MenuItemDef> kContextMenu = {
    {texts::kMenuNew, IDM_NEW, 1},           {texts::kMenuEdit, IDM_EDIT, 2},
    {texts::kMenuDelete, IDM_DELETE, 3},     {},
    {texts::kMenuMoveUp, IDM_MOVE_UP, 10},   {texts::kMenuMoveDown, IDM_MOVE_DOWN, 11}};

void AppendItems(HMENU menu, const std::vector<MenuItemDef>& items) {
    for (const MenuItemDef& item : items) {
        if (!item.caption) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring caption = platform::ToWide(item.caption);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA | (item.image >= 0 ? MIIM_BITMAP : 0);
        info.wID = static_cast<UINT>(item.command);
        info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
        info.dwItemData = static_cast<ULONG_PTR>(item.image);
        info.hbmpItem = HBMMENU_CALLBACK;  // drawn from ImageList3 in WM_DRAWITEM
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
    }
}

}  // namespace

void EditorToolBar::Create(HWND parent) {
    m_hwnd = app::CreateWindowChecked(0, TOOLBARCLASSNAMEW, nullptr,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                          CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                      0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_hints.assign(std::size(kToolButtons), std::wstring());
    std::vector<TBBUTTON> buttons;
    for (size_t i = 0; i < std::size(kToolButtons); ++i) {
        const ToolButtonDef& def = kToolButtons[i];
        if (def.hint)
            m_hints[i] = platform::ToWide(def.hint);
        TBBUTTON button{};
        button.iBitmap = def.image == kSeparator ? 8 : def.image;
        button.idCommand = def.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = def.image == kSeparator ? BTNS_SEP : BTNS_BUTTON;
        button.iString = -1;
        buttons.push_back(button);
    }
    SendMessageW(m_hwnd, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

bool EditorToolBar::OnNotify(NMHDR& header) {
    if (header.code != TTN_GETDISPINFOW)
        return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    for (size_t i = 0; i < std::size(kToolButtons); ++i)
        if (kToolButtons[i].hint && static_cast<UINT_PTR>(kToolButtons[i].command) == header.idFrom)
            info.lpszText = const_cast<wchar_t*>(m_hints[i].c_str());
    return true;
}

platform::UniqueHmenu CreateEditorMenuBar() {
    platform::UniqueHmenu menuBar(CreateMenu());
    for (const MenuDef& menu : kMainMenu) {
        if (!menu.visible)
            continue;
        platform::UniqueHmenu popup(CreatePopupMenu());
        AppendItems(popup.Get(), menu.items);
        // Once appended, the menu bar owns the popup and destroys it with itself.
        if (AppendMenuW(menuBar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Get()),
                        platform::ToWide(menu.caption).c_str()))
            popup.Release();
    }
    return menuBar;
}

platform::UniqueHmenu CreateTreeContextMenu() {
    platform::UniqueHmenu menu(CreatePopupMenu());
    AppendItems(menu.Get(), kContextMenu);
    return menu;
}

platform::UniqueHaccel CreateEditorAccelerators() {
    ACCEL keys[] = {
        {FVIRTKEY, VK_INSERT, IDM_NEW},          {FVIRTKEY, VK_DELETE, IDM_DELETE},
        {FVIRTKEY, VK_F2, IDM_EDIT},             {FVIRTKEY, VK_RETURN, IDM_EDIT},
        {FVIRTKEY | FCONTROL, 'S', IDM_SAVE},    {FVIRTKEY | FCONTROL, 'Z', IDM_UNDO},
        {FVIRTKEY | FCONTROL, 'Y', IDM_REDO},    {FVIRTKEY | FCONTROL, 'F', IDM_FIND},
        {FVIRTKEY, VK_F3, IDM_FIND_NEXT},        {FVIRTKEY | FCONTROL, VK_UP, IDM_MOVE_UP},
        {FVIRTKEY | FCONTROL, VK_DOWN, IDM_MOVE_DOWN},
    };
    return platform::UniqueHaccel(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

std::optional<Command> CommandOf(int id) {
    switch (id) {
    case IDM_NEW: return Command::New;
    case IDM_EDIT: return Command::Modify;
    case IDM_DELETE: return Command::Delete;
    case IDM_SAVE: return Command::Save;
    case IDM_QUIT: return Command::Quit;
    case IDM_UNDO: return Command::Undo;
    case IDM_REDO: return Command::Redo;
    case IDM_MOVE_UP: return Command::MoveUp;
    case IDM_MOVE_DOWN: return Command::MoveDown;
    case IDM_NEW_CATEGORY: return Command::NewCategory;
    case IDM_RESTORE: return Command::RestoreBackup;
    }
    return std::nullopt;
}

}  // namespace editor
