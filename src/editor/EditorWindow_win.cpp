// Form_User_Main, the phrase editor window: tool bar, menu, the tree view of srf_pub.dat, the find
// box and the status bar. It shows the tree and forwards every command to EditorCommands, which
// decides what happens.
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
#include "TransferMenuTexts.h"
#include "app/Application_win.h"
#include "app/Dialogs_win.h"
#include "app/MakerSite.h"
#include "app/ModeWindows_win.h"
#include "editor/EditorCommandIds.h"
#include "editor/EditorCommands.h"
#include "editor/EditorFiles.h"
#include "editor/EditorImages_win.h"
#include "editor/EditorStatusBar_win.h"
#include "editor/FileDialogs_win.h"
#include "editor/EditorTreeView_win.h"
#include "editor/FindBox_win.h"
#include "editor/PhraseHealth.h"
#include "editor/PhraseTransfer.h"
#include "editor/SingleInstance_win.h"
#include "phrases/TreeNodes.h"
#include "platform/TextConversion_win.h"

namespace editor {

namespace {

using phrases::TTreeNode;

constexpr int kImage1Id = 200;
// Posted on activation: look whether another program has written srf_pub.dat.
constexpr UINT WM_APP_CHECKDISK = WM_APP + 2;
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

class TForm_User_Main : public app::BaseWindow, private UserDialogs {
public:
    explicit TForm_User_Main(std::unique_ptr<SingleInstance> instance);
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

    void FormCreate();
    void FormShow();
    void MenuItemClick(int id);
    // Runs one rule of EditorCommands, then selects what it points to and refreshes the status
    // bar, also when it fails.
    template <class Rule>
    void RunRule(Rule&& rule);
    void FindNext();
    void CheckDisk();
    void Image1Click();
    void ApplyDpi(UINT dpi);
    void LayOut();
    LRESULT OnNotify(NMHDR& header);
    void ShowContextMenu();
    void OnMeasureItem(MEASUREITEMSTRUCT& item);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void UpdateStatus();
    // Dragging a phrase onto a category.
    void BeginDrag(TTreeNode* node);
    void DragOver();
    void Drop();
    int Scaled(int pixels) const { return app::Scale(pixels, m_dpi); }

    std::unique_ptr<SingleInstance> m_instance;
    phrases::TTreeNodes m_tree;
    EditorFiles m_files;  // tells m_view of every change; m_view is built next
    PhraseTreeView m_view;
    EditorCommands m_commands;
    SystemFileDialogs m_fileDialogs;
    PhraseTransfer m_transfer;
    EditorStatusBar m_statusBar;
    FindBox m_findBox;
    std::array<std::wstring, std::size(kToolButtons)> m_hints;
    UINT m_dpi = 96;
    HWND m_toolBar = nullptr;
    HWND m_image1 = nullptr;
    HIMAGELIST m_images = nullptr;
    HFONT m_font = nullptr;
    HACCEL m_accelerators = nullptr;
    bool m_running = false;      // a rule is running (its boxes run nested message loops)
    bool m_checkPending = false;  // an activation came while it ran
    TTreeNode* m_dragged = nullptr;
    HWND m_focus = nullptr;  // the control that had the keyboard when the window was left
};

TForm_User_Main::TForm_User_Main(std::unique_ptr<SingleInstance> instance)
    : m_instance(std::move(instance)),
      m_files(app::Application::Instance().DataDirectory(), m_tree, *this, m_view),
      m_view(m_tree, m_files.Health()), m_commands(m_tree, *this, m_files, m_view),
      m_transfer(m_tree, m_commands, *this, m_fileDialogs, m_files, m_files.Table()) {
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
    case WM_ACTIVATE:
        // Keep the keyboard where it was (the tree or the find box) across boxes and other programs.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            m_focus = focus && IsChild(Handle(), focus) ? focus : nullptr;
            return 0;
        }
        PostMessageW(Handle(), WM_APP_CHECKDISK, 0, 0);
        SetFocus(m_focus && IsWindowVisible(m_focus) ? m_focus : m_view.Handle());
        return 0;
    case WM_APP_CHECKDISK:
        CheckDisk();
        return 0;
    case WM_MOUSEMOVE:
        DragOver();
        return 0;
    case WM_LBUTTONUP:
        Drop();
        return 0;
    case WM_CAPTURECHANGED:
        if (m_dragged) {
            m_dragged = nullptr;
            m_view.ShowDropTarget(nullptr);
        }
        return 0;
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
    // In the find box the keys edit the text; only Enter, F3 and Esc mean something more.
    if (m_findBox.Owns(message.hwnd)) {
        if (const int command = m_findBox.CommandOfKey(message)) {
            MenuItemClick(command);
            return true;
        }
        return false;
    }
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
        button.iBitmap = def.image == kSeparator ? 8 : def.image;
        button.idCommand = def.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = def.image == kSeparator ? BTNS_SEP : BTNS_BUTTON;
        button.iString = -1;
        buttons.push_back(button);
    }
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));

    m_image1 = CreateWindowExW(0, L"Static", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_OWNERDRAW | SS_NOTIFY, 0, 0, 0, 0,
                               Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kImage1Id)), instance,
                               nullptr);
    SetWindowPos(m_image1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_view.Create(Handle());
    m_statusBar.Create(Handle());
    m_findBox.Create(Handle(), IDM_FIND_NEXT, IDM_FIND_CLOSE);
    m_instance->Publish(Handle());
    m_fileDialogs.SetOwner(Handle());

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
        {FVIRTKEY | FCONTROL, 'S', IDM_SAVE},    {FVIRTKEY | FCONTROL, 'Z', IDM_UNDO},
        {FVIRTKEY | FCONTROL, 'Y', IDM_REDO},    {FVIRTKEY | FCONTROL, 'F', IDM_FIND},
        {FVIRTKEY, VK_F3, IDM_FIND_NEXT},        {FVIRTKEY | FCONTROL, VK_UP, IDM_MOVE_UP},
        {FVIRTKEY | FCONTROL, VK_DOWN, IDM_MOVE_DOWN},
    };
    m_accelerators = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));

    ApplyDpi(app::DpiOf(Handle()));
    SetFocus(m_view.Handle());
}

void TForm_User_Main::FormShow() {
    RunRule([&] { m_files.FormShow(); });
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
    SendMessageW(m_view.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    SendMessageW(m_statusBar.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    m_findBox.SetFont(m_font);
    TreeView_SetImageList(m_view.Handle(), m_images, TVSIL_NORMAL);
    TreeView_SetIndent(m_view.Handle(), Scaled(kTreeIndent));
    if (oldImages)
        ImageList_Destroy(oldImages);
    if (oldFont)
        DeleteObject(oldFont);
    LayOut();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TForm_User_Main::LayOut() {
    if (!m_view.Handle() || !m_statusBar.Handle())
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int toolBarHeight = Scaled(kToolBarHeight);
    MoveWindow(m_toolBar, 0, 0, client.right, toolBarHeight, TRUE);
    MoveWindow(m_image1, client.right - Scaled(kImage1Width), (toolBarHeight - Scaled(kImage1Height)) / 2,
               Scaled(kImage1Width), Scaled(kImage1Height), TRUE);
    const int statusHeight = m_statusBar.LayOut(client.right, client.bottom, m_dpi);
    const int findHeight = m_findBox.LayOut(client.right, client.bottom - statusHeight, m_dpi);
    MoveWindow(m_view.Handle(), 0, toolBarHeight, client.right,
               client.bottom - toolBarHeight - statusHeight - findHeight, TRUE);
}

void TForm_User_Main::MenuItemClick(int id) {
    switch (id) {
    case IDM_FIND:
        m_findBox.Open();
        LayOut();
        return;
    case IDM_FIND_CLOSE:
        m_findBox.Close();
        LayOut();
        SetFocus(m_view.Handle());
        return;
    case IDM_FIND_NEXT:
        FindNext();
        return;
    case IDM_EXPORT:
        RunRule([&] { m_transfer.Export(); });
        return;
    case IDM_IMPORT:
        RunRule([&] {
            m_transfer.Import(m_view.SelectedNode());
            m_view.Select(m_transfer.TakeSelection());
        });
        return;
    }
    const std::optional<Command> command = CommandOf(id);
    if (!command)
        return;
    bool quit = false;
    RunRule([&] { quit = m_commands.Run(*command, m_view.SelectedNode()); });
    if (quit)
        SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

template <class Rule>
void TForm_User_Main::RunRule(Rule&& rule) {
    struct Finish {
        TForm_User_Main& window;
        ~Finish() {
            window.m_running = false;
            window.m_view.Select(window.m_commands.TakeSelection());
            window.UpdateStatus();
            if (window.m_checkPending) {
                window.m_checkPending = false;
                PostMessageW(window.Handle(), WM_APP_CHECKDISK, 0, 0);
            }
        }
    };
    const bool nested = m_running;
    m_running = true;
    if (nested) {  // a rule started from a box of another: no second finish
        rule();
        return;
    }
    Finish finish{*this};
    rule();
}

void TForm_User_Main::FindNext() {
    const std::string sought = m_findBox.IsOpen() ? m_findBox.Text() : std::string();
    if (sought.empty()) {
        MenuItemClick(IDM_FIND);  // F3 with nothing to look for opens the box
        return;
    }
    RunRule([&] { m_commands.Find(sought, m_view.SelectedNode()); });
}

void TForm_User_Main::CheckDisk() {
    if (m_running) {
        m_checkPending = true;
        return;
    }
    RunRule([&] { m_commands.CheckDiskChange(); });
}

void TForm_User_Main::UpdateStatus() {
    PhraseHealth& health = m_files.Health();
    if (!health.Known()) {
        m_statusBar.Show({}, {});
        return;
    }
    const phrases::PhraseVerdict* verdict = health.LeftOut(m_view.SelectedNode());
    m_statusBar.Show(CountsText(health.Counts()), verdict ? LeftOutReason(*verdict) : std::string());
}

void TForm_User_Main::BeginDrag(TTreeNode* node) {
    if (!node || node->Level() == 0)
        return;
    m_view.Select(node);
    m_dragged = node;
    SetCapture(Handle());
}

void TForm_User_Main::DragOver() {
    if (!m_dragged)
        return;
    const DWORD position = GetMessagePos();
    TTreeNode* target = m_view.NodeAt({GET_X_LPARAM(position), GET_Y_LPARAM(position)});
    m_view.ShowDropTarget(target);
    SetCursor(LoadCursorW(nullptr, target ? IDC_ARROW : IDC_NO));
}

void TForm_User_Main::Drop() {
    if (!m_dragged)
        return;
    TTreeNode* dragged = m_dragged;
    const DWORD position = GetMessagePos();
    TTreeNode* target = m_view.NodeAt({GET_X_LPARAM(position), GET_Y_LPARAM(position)});
    ReleaseCapture();  // ends the drag: WM_CAPTURECHANGED clears its marks
    if (target)
        RunRule([&] { m_commands.MoveToCategory(dragged, target); });
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
    LRESULT result = 0;
    if (m_view.OnNotify(header, result))
        return result;
    if (header.hwndFrom != m_view.Handle())
        return 0;
    switch (header.code) {
    case TVN_SELCHANGEDW:
        UpdateStatus();
        return 0;
    case TVN_BEGINDRAGW:
        BeginDrag(reinterpret_cast<TTreeNode*>(reinterpret_cast<NMTREEVIEWW&>(header).itemNew.lParam));
        return 0;
    case NM_DBLCLK: {
        TVHITTESTINFO hit{};
        const DWORD position = GetMessagePos();
        hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        ScreenToClient(m_view.Handle(), &hit.pt);
        if (!TreeView_HitTest(m_view.Handle(), &hit) || !(hit.flags & TVHT_ONITEM))
            return 0;
        TreeView_SelectItem(m_view.Handle(), hit.hItem);
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
    ScreenToClient(m_view.Handle(), &hit.pt);
    if (!TreeView_HitTest(m_view.Handle(), &hit) || !(hit.flags & TVHT_ONITEM))
        return;
    TreeView_SelectItem(m_view.Handle(), hit.hItem);
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

}  // namespace

std::unique_ptr<app::BaseWindow> CreateEditorWindow() {
    auto instance = std::make_unique<SingleInstance>(app::Application::Instance().DataDirectory());
    if (!instance->Claimed()) {
        // Two editors on the same files would overwrite each other's changes.
        instance->BringRunningEditorForward();
        return nullptr;
    }
    return std::make_unique<TForm_User_Main>(std::move(instance));
}

}  // namespace editor
