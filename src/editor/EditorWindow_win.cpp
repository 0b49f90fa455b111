// Form_User_Main, the phrase editor window: tool bar, menu and the tree view of srf_pub.dat. It
// shows the tree and forwards every command to EditorCommands, which decides what happens.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "EditorTexts.h"
#include "app/Application_win.h"
#include "app/Dialogs_win.h"
#include "app/MakerSite.h"
#include "app/ModeWindows_win.h"
#include "editor/EditorCommandIds.h"
#include "editor/EditorCommands.h"
#include "editor/EditorFiles.h"
#include "editor/EditorImages_win.h"
#include "phrases/TreeNodes.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

using phrases::TTreeNode;

constexpr int kImage1Id = 200;
// Sizes at 96 DPI.
constexpr int kWindowWidth = 519;
constexpr int kWindowHeight = 534;
constexpr int kToolBarHeight = 33;
constexpr int kButtonWidth = 31;
constexpr int kButtonHeight = 30;
constexpr int kImageSize = 24;
constexpr int kImage1Width = 147;
constexpr int kImage1Height = 30;
constexpr int kTreeIndent = 27;
constexpr int kFontHeight = 16;

struct ToolButtonDef {
    int image;
    int command;
    const char* hint;
};
// ToolButton1 to ToolButton6; the sixth is blank and has no command.
constexpr ToolButtonDef kToolButtons[] = {
    {1, IDM_NEW, texts::kHintNew},   {2, IDM_EDIT, texts::kHintEdit}, {3, IDM_DELETE, texts::kHintDelete},
    {4, IDM_SAVE, texts::kHintSave}, {5, IDM_QUIT, texts::kHintQuit}, {I_IMAGENONE, 0, nullptr},
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
     {{texts::kMenuNew, IDM_NEW, 1}, {}, {texts::kMenuSave, IDM_SAVE, 4}, {}, {texts::kMenuQuit, IDM_QUIT, 5}}},
    {texts::kMenuUpdate, true, {{texts::kMenuEdit, IDM_EDIT, 2}, {}, {texts::kMenuDelete, IDM_DELETE, 3}}},
    {texts::kMenuHelp, false,
     {{texts::kMenuSystemHelp, IDM_SYSTEM_HELP, -1}, {}, {texts::kMenuVersionHelp, IDM_VERSION_HELP, -1}}},
};
// The tree view's context menu.
const std::vector<MenuItemDef> kContextMenu = {
    {texts::kMenuNew, IDM_NEW, 1}, {texts::kMenuEdit, IDM_EDIT, 2}, {texts::kMenuDelete, IDM_DELETE, 3}};

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

std::optional<Command> CommandOf(int id) {
    switch (id) {
    case IDM_NEW: return Command::New;
    case IDM_EDIT: return Command::Modify;
    case IDM_DELETE: return Command::Delete;
    case IDM_SAVE: return Command::Save;
    case IDM_QUIT: return Command::Quit;
    }
    return std::nullopt;
}

class TForm_User_Main : public app::BaseWindow, private UserDialogs, private TreeObserver {
public:
    TForm_User_Main();
    ~TForm_User_Main() override;
    bool PreTranslateMessage(MSG& message) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        return app::MessageBox(text, caption, flags);
    }
    bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value) override {
        return app::PromptForText(caption, prompt, value);
    }
    void TreeReloaded() override;
    void NodeInserted(TTreeNode* node) override;
    void NodeTextChanged(TTreeNode* node) override;
    void NodeDeleting(TTreeNode* node) override;

    void FormCreate();
    void FormShow() { m_files.FormShow(); }
    void MenuItemClick(int id);
    void Image1Click();
    void ApplyDpi(UINT dpi);
    void LayOut();
    LRESULT OnNotify(NMHDR& header);
    void ShowContextMenu();
    void OnMeasureItem(MEASUREITEMSTRUCT& item);
    void OnDrawItem(const DRAWITEMSTRUCT& item);

    TTreeNode* SelectedNode() const;
    HTREEITEM InsertItem(TTreeNode* node, HTREEITEM parent, HTREEITEM after);
    HTREEITEM ItemOf(const TTreeNode* node) const;
    int Scaled(int pixels) const { return app::Scale(pixels, m_dpi); }

    phrases::TTreeNodes m_tree;
    EditorFiles m_files;
    EditorCommands m_commands;
    std::unordered_map<const TTreeNode*, HTREEITEM> m_items;
    std::array<std::wstring, std::size(kToolButtons)> m_hints;
    UINT m_dpi = 96;
    HWND m_toolBar = nullptr;
    HWND m_treeView = nullptr;
    HWND m_image1 = nullptr;
    HIMAGELIST m_images = nullptr;
    HFONT m_font = nullptr;
    HACCEL m_accelerators = nullptr;
};

TForm_User_Main::TForm_User_Main()
    : m_files(app::Application::Instance().DataDirectory(), m_tree, *this, *this),
      m_commands(m_tree, *this, m_files, *this) {
    m_dpi = app::DpiOf(nullptr);
    const int width = Scaled(kWindowWidth);
    const int height = Scaled(kWindowHeight);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateWindowOfClass(L"TForm_User_Main", platform::ToWide(texts::kWindowCaption),
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0,
                        RECT{left, top, left + width, top + height}, nullptr);
}

TForm_User_Main::~TForm_User_Main() {
    if (Handle())
        DestroyWindow(Handle());
    if (m_images)
        ImageList_Destroy(m_images);
    if (m_font)
        DeleteObject(m_font);
    if (m_accelerators)
        DestroyAcceleratorTable(m_accelerators);
}

LRESULT TForm_User_Main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        FormCreate();
        return 0;
    case app::WM_APP_FORMSHOW:
        FormShow();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kImage1Id) {
            if (HIWORD(wParam) == STN_CLICKED)
                Image1Click();
        } else {
            MenuItemClick(LOWORD(wParam));
        }
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE:
        LayOut();
        return 0;
    case WM_MEASUREITEM:
        OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == m_image1) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_DPICHANGED: {
        ApplyDpi(HIWORD(wParam));
        const RECT& suggested = *reinterpret_cast<RECT*>(lParam);
        SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
}

bool TForm_User_Main::PreTranslateMessage(MSG& message) {
    if (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))
        return false;
    return TranslateAcceleratorW(Handle(), m_accelerators, &message) != 0;
}

void TForm_User_Main::FormCreate() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                    CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                0, 0, 0, 0, Handle(), nullptr, instance, nullptr);
    SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    std::vector<TBBUTTON> buttons;
    for (size_t i = 0; i < std::size(kToolButtons); ++i) {
        const ToolButtonDef& def = kToolButtons[i];
        if (def.hint)
            m_hints[i] = platform::ToWide(def.hint);
        TBBUTTON button{};
        button.iBitmap = def.image;
        button.idCommand = def.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        button.iString = -1;
        buttons.push_back(button);
    }
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));

    m_image1 = CreateWindowExW(0, L"Static", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_OWNERDRAW | SS_NOTIFY, 0, 0, 0, 0,
                               Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kImage1Id)), instance,
                               nullptr);
    SetWindowPos(m_image1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // Read-only: no in-place editing, texts change through the commands only.
    m_treeView = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS |
                                     TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                 0, 0, 0, 0, Handle(), nullptr, instance, nullptr);

    HMENU menuBar = CreateMenu();
    for (const MenuDef& menu : kMainMenu) {
        if (!menu.visible)
            continue;
        HMENU popup = CreatePopupMenu();
        AppendItems(popup, menu.items);
        AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), platform::ToWide(menu.caption).c_str());
    }
    SetMenu(Handle(), menuBar);

    ACCEL keys[] = {
        {FVIRTKEY, VK_INSERT, IDM_NEW},          {FVIRTKEY, VK_DELETE, IDM_DELETE},
        {FVIRTKEY, VK_F2, IDM_EDIT},             {FVIRTKEY, VK_RETURN, IDM_EDIT},
        {FVIRTKEY | FCONTROL, 'S', IDM_SAVE},
    };
    m_accelerators = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));

    ApplyDpi(app::DpiOf(Handle()));
    SetFocus(m_treeView);
}

// Fonts, images and sizes for the monitor's DPI.
void TForm_User_Main::ApplyDpi(UINT dpi) {
    m_dpi = dpi;
    HFONT oldFont = m_font;
    m_font = CreateFontW(-Scaled(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         platform::ToWide(texts::kFontName).c_str());
    HIMAGELIST oldImages = m_images;
    m_images = CreateEditorImages(Scaled(kImageSize));

    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scaled(kButtonWidth), Scaled(kButtonHeight)));
    SendMessageW(m_treeView, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    TreeView_SetImageList(m_treeView, m_images, TVSIL_NORMAL);
    TreeView_SetIndent(m_treeView, Scaled(kTreeIndent));
    if (oldImages)
        ImageList_Destroy(oldImages);
    if (oldFont)
        DeleteObject(oldFont);
    LayOut();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TForm_User_Main::LayOut() {
    if (!m_treeView)
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int toolBarHeight = Scaled(kToolBarHeight);
    MoveWindow(m_toolBar, 0, 0, client.right, toolBarHeight, TRUE);
    MoveWindow(m_image1, client.right - Scaled(kImage1Width), (toolBarHeight - Scaled(kImage1Height)) / 2,
               Scaled(kImage1Width), Scaled(kImage1Height), TRUE);
    MoveWindow(m_treeView, 0, toolBarHeight, client.right, client.bottom - toolBarHeight, TRUE);
}

void TForm_User_Main::MenuItemClick(int id) {
    const std::optional<Command> command = CommandOf(id);
    if (!command)
        return;
    if (m_commands.Run(*command, SelectedNode()))
        SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TForm_User_Main::Image1Click() {
    ShellExecuteW(Handle(), nullptr, app::kMakerHomePage, nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT TForm_User_Main::OnNotify(NMHDR& header) {
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        for (size_t i = 0; i < std::size(kToolButtons); ++i)
            if (kToolButtons[i].hint && static_cast<UINT_PTR>(kToolButtons[i].command) == header.idFrom)
                info.lpszText = const_cast<wchar_t*>(m_hints[i].c_str());
        return 0;
    }
    if (header.hwndFrom != m_treeView)
        return 0;
    switch (header.code) {
    case TVN_DELETEITEMW:
        m_items.erase(reinterpret_cast<const TTreeNode*>(reinterpret_cast<NMTREEVIEWW&>(header).itemOld.lParam));
        return 0;
    case NM_DBLCLK: {
        TVHITTESTINFO hit{};
        const DWORD position = GetMessagePos();
        hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        ScreenToClient(m_treeView, &hit.pt);
        if (!TreeView_HitTest(m_treeView, &hit) || !(hit.flags & TVHT_ONITEM))
            return 0;
        TreeView_SelectItem(m_treeView, hit.hItem);
        MenuItemClick(IDM_EDIT);
        return TRUE;  // no expanding or collapsing as well
    }
    case NM_RCLICK:
        ShowContextMenu();
        return TRUE;
    }
    return 0;
}

void TForm_User_Main::ShowContextMenu() {
    TVHITTESTINFO hit{};
    const DWORD position = GetMessagePos();
    hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(m_treeView, &hit.pt);
    if (!TreeView_HitTest(m_treeView, &hit) || !(hit.flags & TVHT_ONITEM))
        return;
    TreeView_SelectItem(m_treeView, hit.hItem);
    HMENU menu = CreatePopupMenu();
    AppendItems(menu, kContextMenu);
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, GET_X_LPARAM(position),
                                       GET_Y_LPARAM(position), 0, Handle(), nullptr);
    DestroyMenu(menu);
    if (command)
        MenuItemClick(command);
}

void TForm_User_Main::OnMeasureItem(MEASUREITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU)
        return;
    item.itemWidth = static_cast<UINT>(Scaled(kImageSize));
    item.itemHeight = static_cast<UINT>(Scaled(kImageSize));
}

void TForm_User_Main::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType == ODT_MENU) {
        const int size = Scaled(kImageSize);
        const int top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - size) / 2;
        ImageList_Draw(m_images, static_cast<int>(item.itemData), item.hDC, item.rcItem.left, top, ILD_TRANSPARENT);
    } else if (item.hwndItem == m_image1) {
        DrawBanner(item.hDC, item.rcItem, m_font);
    }
}

TTreeNode* TForm_User_Main::SelectedNode() const {
    const HTREEITEM item = TreeView_GetSelection(m_treeView);
    if (!item)
        return nullptr;
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    TreeView_GetItem(m_treeView, &data);
    return reinterpret_cast<TTreeNode*>(data.lParam);
}

HTREEITEM TForm_User_Main::InsertItem(TTreeNode* node, HTREEITEM parent, HTREEITEM after) {
    const std::wstring text = platform::ToWide(node->Text());
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    const HTREEITEM item = TreeView_InsertItem(m_treeView, &insert);
    m_items[node] = item;
    return item;
}

HTREEITEM TForm_User_Main::ItemOf(const TTreeNode* node) const {
    if (!node)
        return TVI_ROOT;
    const auto found = m_items.find(node);
    return found == m_items.end() ? nullptr : found->second;
}

void TForm_User_Main::TreeReloaded() {
    SendMessageW(m_treeView, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(m_treeView);
    m_items.clear();
    std::vector<HTREEITEM> parents;
    m_tree.ForEachNode([&](const TTreeNode& node, int level) {
        parents.resize(static_cast<size_t>(level) + 1);
        parents[static_cast<size_t>(level)] =
            InsertItem(const_cast<TTreeNode*>(&node), level ? parents[static_cast<size_t>(level) - 1] : TVI_ROOT,
                       TVI_LAST);
    });
    SendMessageW(m_treeView, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_treeView, nullptr, TRUE);
}

void TForm_User_Main::NodeInserted(TTreeNode* node) {
    const TTreeNode* previous = node->PreviousSibling();
    InsertItem(node, ItemOf(node->Parent()), previous ? ItemOf(previous) : TVI_FIRST);
}

void TForm_User_Main::NodeTextChanged(TTreeNode* node) {
    const std::wstring text = platform::ToWide(node->Text());
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = ItemOf(node);
    data.pszText = const_cast<wchar_t*>(text.c_str());
    TreeView_SetItem(m_treeView, &data);
}

void TForm_User_Main::NodeDeleting(TTreeNode* node) {
    if (HTREEITEM item = ItemOf(node))
        TreeView_DeleteItem(m_treeView, item);
}

}  // namespace

std::unique_ptr<app::BaseWindow> CreateEditorWindow() { return std::make_unique<TForm_User_Main>(); }

}  // namespace editor
