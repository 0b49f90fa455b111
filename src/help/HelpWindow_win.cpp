// Form_Help_Main: the help browser. A tool bar switches between the Lumo and the Ketra topic tree;
// the text pane shows the topic selected last. All titles and texts come from HelpTopics.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "HelpTexts.h"
#include "app/Application_win.h"
#include "app/ModeWindows_win.h"
#include "help/FolderImages_win.h"
#include "help/HelpCommandIds.h"
#include "help/HelpTopics.h"
#include "phrases/TreeNodes.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace help {

namespace {

// Sizes in pixels at 96 dots per inch; the window scales them to its monitor.
constexpr int kLeft = 201;
constexpr int kTop = 128;
constexpr int kWidth = 696;
constexpr int kHeight = 480;
constexpr int kToolBarHeight = 36;
constexpr int kButtonHeight = 32;
constexpr int kTreePanelWidth = 202;
constexpr int kSpacerWidth = 4;
constexpr int kTreeIndent = 19;
constexpr int kFontHeight = 14;
constexpr int kMemoFontHeight = 19;

struct SpeedButton {
    int id;
    std::string_view caption;
    int width;
};

// In the order of creation, which is also the order in which Alt+letter looks for a button.
constexpr SpeedButton kSpeedButtons[] = {
    {IDC_SPEEDBUTTONLUMO, texts::kLumoButton, 121},
    {IDC_SPEEDBUTTONKETRA, texts::kKetraButton, 121},
    {IDC_SPEEDBUTTON1, texts::kExitButton, 96},
};

// The letter after "&" in a caption, upper case; 0 when it has none.
wchar_t AcceleratorOf(std::string_view caption) {
    const auto mark = caption.find('&');
    if (mark == std::string_view::npos || mark + 1 >= caption.size())
        return 0;
    return static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(caption[mark + 1])));
}

HFONT CreateSongFont(int height, UINT dpi) {
    return CreateFontW(-app::Scale(height, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH, platform::ToWide(texts::kFontName).c_str());
}

// A panel passes its children's notifications, colour requests and focus moves (a multi-line
// edit box asks its parent to move on at Tab) on to its own parent, so that the form handles
// every control wherever it sits.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_NEXTDLGCTL:
        return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void SetTabStop(HWND control, bool tabStop) {
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    SetWindowLongPtrW(control, GWL_STYLE, tabStop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

HWND CreatePanel(HWND parent, int id, DWORD exStyle) {
    app::RegisterWindowClassOnce(L"TPanel", PanelProc);
    return app::CreateWindowChecked(exStyle | WS_EX_CONTROLPARENT, L"TPanel", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                    0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleW(nullptr), nullptr);
}

// One topic tree: the TTreeNodes of one method's topics, mirrored into its tree view. Each view
// item carries its node; a node's absolute index is its topic index.
class TopicTree {
public:
    explicit TopicTree(Method method) : m_method(method) {}

    void Create(HWND parent, int id, bool visible) {
        const DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASBUTTONS |
                            TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                            (visible ? WS_VISIBLE : 0);
        m_view =
            app::CreateWindowChecked(WS_EX_CLIENTEDGE, WC_TREEVIEWW, nullptr, style, 0, 0, 0, 0,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr);
    }
    HWND View() const { return m_view; }
    Method TopicMethod() const { return m_method; }

    // Empties the tree, view and nodes, and appends the method's titles at root level.
    void Fill() {
        TreeView_DeleteAllItems(m_view);
        m_items.clear();
        m_nodes.ClearTree();
        for (const std::string& title : TopicTitles(m_method)) {
            phrases::TTreeNode* node = m_nodes.InsertLastSibling(nullptr, title);
            std::wstring text = platform::ToWide(node->Text());
            TVINSERTSTRUCTW insert{};
            insert.hParent = TVI_ROOT;
            insert.hInsertAfter = TVI_LAST;
            insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
            insert.item.pszText = text.data();
            insert.item.iImage = kClosedFolderImage;
            insert.item.iSelectedImage = kOpenFolderImage;
            insert.item.lParam = reinterpret_cast<LPARAM>(node);
            m_items.push_back(TreeView_InsertItem(m_view, &insert));
        }
    }

    // Selects node 0 and returns it; null while the tree is empty.
    phrases::TTreeNode* SelectFirst() {
        if (m_nodes.NodeCount() == 0)
            return nullptr;
        TreeView_SelectItem(m_view, m_items.front());
        return m_nodes.NodeAt(0);
    }

    int TopicIndex(const phrases::TTreeNode* node) { return m_nodes.AbsoluteIndex(node); }

private:
    Method m_method;
    HWND m_view = nullptr;
    phrases::TTreeNodes m_nodes;
    std::vector<HTREEITEM> m_items;  // the view item of each node, by absolute index
};

class TForm_Help_Main : public app::BaseWindow {
public:
    TForm_Help_Main() {
        m_dpi = app::DpiOf(nullptr);
        const RECT bounds{kLeft, kTop, kLeft + app::Scale(kWidth, m_dpi),
                          kTop + app::Scale(kHeight, m_dpi)};
        CreateWindowOfClass(L"TForm_Help_Main", platform::ToWide(texts::kCaption),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, bounds,
                            app::Application::Instance().OwnerWindow());
    }
    // The controls go before the fonts and pictures they use.
    ~TForm_Help_Main() override {
        if (Handle())
            DestroyWindow(Handle());
    }

    bool PreTranslateMessage(MSG& message) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void FormShow() { FillTopicTrees(); }
    void FillTopicTrees();
    void TreeView1Change(HWND sender, phrases::TTreeNode* node) { ShowTopic(sender, m_lumo, node); }
    void TreeView2Change(HWND sender, phrases::TTreeNode* node) {
        ShowTopic(sender, m_ketra, node);
    }
    void SpeedButtonKetraClick(int sender);
    void SpeedButton1Click(int) { SendMessageW(Handle(), WM_CLOSE, 0, 0); }

    void ShowTopic(HWND sender, TopicTree& tree, phrases::TTreeNode* node);
    void OnCommand(int id);
    LRESULT OnNotify(const NMHDR& header);
    void OnActivate(WPARAM wParam);
    void ApplyDpi();
    void Layout();

    UINT m_dpi = 96;
    platform::UniqueHfont m_font;
    platform::UniqueHfont m_memoFont;
    platform::UniqueHimagelist m_images;
    HWND m_toolBar = nullptr;
    HWND m_panel1 = nullptr;
    HWND m_panel2 = nullptr;
    HWND m_panel3 = nullptr;
    HWND m_memo = nullptr;
    HWND m_lastFocus = nullptr;
    TopicTree m_lumo{Method::Lumo};
    TopicTree m_ketra{Method::Ketra};
};

LRESULT TForm_Help_Main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        FormCreate();
        return 0;
    case app::WM_APP_FORMSHOW:
        FormShow();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE:
        Layout();
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_NEXTDLGCTL:
        if (LOWORD(lParam))
            SetFocus(reinterpret_cast<HWND>(wParam));
        else if (HWND next = GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0))
            SetFocus(next);
        return 0;
    case WM_CTLCOLORSTATIC:
        // The read-only text pane keeps the look of a page, black on white.
        if (reinterpret_cast<HWND>(lParam) == m_memo) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_DPICHANGED:
        m_dpi = HIWORD(wParam);
        ApplyDpi();
        app::MoveToSuggestedBounds(Handle(), lParam);
        return 0;
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
}

void TForm_Help_Main::FormCreate() {
    const HWND form = Handle();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_dpi = app::DpiOf(form);

    m_toolBar = app::CreateWindowChecked(0, TOOLBARCLASSNAMEW, nullptr,
                                         WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST |
                                             CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                         0, 0, 0, 0, form, reinterpret_cast<HMENU>(IDC_TOOLBAR1),
                                         instance, nullptr);
    SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(m_toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageW(m_toolBar, TB_SETDRAWTEXTFLAGS, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    std::vector<std::wstring> captions;
    for (const SpeedButton& button : kSpeedButtons)
        captions.push_back(platform::ToWide(button.caption));
    std::vector<TBBUTTON> buttons;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        TBBUTTON button{};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = kSpeedButtons[i].id;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT;
        button.iString = reinterpret_cast<INT_PTR>(captions[i].c_str());
        buttons.push_back(button);
    }
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, buttons.size(),
                 reinterpret_cast<LPARAM>(buttons.data()));

    m_panel1 = CreatePanel(form, IDC_PANEL1, WS_EX_STATICEDGE);
    m_panel2 = CreatePanel(m_panel1, IDC_PANEL2, 0);
    m_lumo.Create(m_panel2, IDC_TREEVIEW1, true);
    m_ketra.Create(m_panel2, IDC_TREEVIEW2, false);
    m_memo = app::CreateWindowChecked(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                          ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                      0, 0, 0, 0, m_panel1, reinterpret_cast<HMENU>(IDC_MEMO2),
                                      instance, nullptr);
    m_panel3 = CreatePanel(m_panel1, IDC_PANEL3, 0);

    ApplyDpi();
    Layout();
}

// Fonts and pictures for the monitor's DPI. The new ones go to the controls first; the old ones
// are deleted only once no control holds them.
void TForm_Help_Main::ApplyDpi() {
    platform::UniqueHfont font(CreateSongFont(kFontHeight, m_dpi));
    platform::UniqueHfont memoFont(CreateSongFont(kMemoFontHeight, m_dpi));
    platform::UniqueHimagelist images = CreateFolderImages(app::Scale(kFolderImageSize, m_dpi));
    for (HWND control : {m_toolBar, m_lumo.View(), m_ketra.View()})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    SendMessageW(m_memo, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont.Get()), TRUE);
    for (HWND tree : {m_lumo.View(), m_ketra.View()})
        TreeView_SetImageList(tree, images.Get(), TVSIL_NORMAL);
    m_font = std::move(font);
    m_memoFont = std::move(memoFont);
    m_images = std::move(images);

    SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(0, app::Scale(kButtonHeight, m_dpi)));
    for (const SpeedButton& button : kSpeedButtons) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(app::Scale(button.width, m_dpi));
        SendMessageW(m_toolBar, TB_SETBUTTONINFOW, button.id, reinterpret_cast<LPARAM>(&info));
    }
    for (HWND tree : {m_lumo.View(), m_ketra.View()})
        TreeView_SetIndent(tree, app::Scale(kTreeIndent, m_dpi));
}

// The tool bar spans the top; below it Panel1 holds the tree panel and the spacer at fixed widths
// and gives the text pane whatever width is left.
void TForm_Help_Main::Layout() {
    if (!m_panel1)
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int toolBarHeight = app::Scale(kToolBarHeight, m_dpi);
    MoveWindow(m_toolBar, 0, 0, client.right, toolBarHeight, TRUE);
    MoveWindow(m_panel1, 0, toolBarHeight, client.right,
               std::max(0L, client.bottom - toolBarHeight), TRUE);

    RECT inner{};
    GetClientRect(m_panel1, &inner);
    const int treeWidth = app::Scale(kTreePanelWidth, m_dpi);
    const int spacerWidth = app::Scale(kSpacerWidth, m_dpi);
    MoveWindow(m_panel2, 0, 0, treeWidth, inner.bottom, TRUE);
    for (HWND tree : {m_lumo.View(), m_ketra.View()})
        MoveWindow(tree, 0, 0, treeWidth, inner.bottom, TRUE);
    MoveWindow(m_panel3, treeWidth, 0, spacerWidth, inner.bottom, TRUE);
    const int memoLeft = treeWidth + spacerWidth;
    MoveWindow(m_memo, memoLeft, 0, std::max(0L, inner.right - memoLeft), inner.bottom, TRUE);
}

void TForm_Help_Main::FillTopicTrees() {
    m_ketra.Fill();
    m_lumo.Fill();
    SetWindowTextW(m_memo, L"");
}

void TForm_Help_Main::ShowTopic(HWND, TopicTree& tree, phrases::TTreeNode* node) {
    const int index = tree.TopicIndex(node);
    SetWindowTextW(m_memo, platform::ToWide(TopicText(tree.TopicMethod(), index)).c_str());
}

void TForm_Help_Main::SpeedButtonKetraClick(int sender) {
    const bool ketra = sender == IDC_SPEEDBUTTONKETRA;
    TopicTree& front = ketra ? m_ketra : m_lumo;
    TopicTree& back = ketra ? m_lumo : m_ketra;
    if (ketra) {
        // The Ketra tree covers the Lumo tree, which stays visible beneath it.
        SetWindowPos(m_ketra.View(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    } else {
        ShowWindow(m_ketra.View(), SW_HIDE);
    }
    // A covered tree neither keeps the focus nor is reached by Tab: its keys would change the
    // topic out of the user's sight.
    SetTabStop(m_lumo.View(), !ketra);
    if (GetFocus() == back.View())
        SetFocus(front.View());
    // Selecting reports a change only when the selection moves; show the topic in any case.
    if (phrases::TTreeNode* node = front.SelectFirst()) {
        if (ketra)
            TreeView2Change(m_ketra.View(), node);
        else
            TreeView1Change(m_lumo.View(), node);
    }
}

void TForm_Help_Main::OnCommand(int id) {
    switch (id) {
    case IDC_SPEEDBUTTONLUMO:
    case IDC_SPEEDBUTTONKETRA:
        SpeedButtonKetraClick(id);
        break;
    case IDC_SPEEDBUTTON1:
        SpeedButton1Click(id);
        break;
    }
}

LRESULT TForm_Help_Main::OnNotify(const NMHDR& header) {
    if (header.code != TVN_SELCHANGEDW)
        return 0;
    const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
    // Emptying a tree reports a change to no item; there is no topic to show then.
    if (!change.itemNew.hItem)
        return 0;
    auto* node = reinterpret_cast<phrases::TTreeNode*>(change.itemNew.lParam);
    if (header.hwndFrom == m_lumo.View())
        TreeView1Change(header.hwndFrom, node);
    else if (header.hwndFrom == m_ketra.View())
        TreeView2Change(header.hwndFrom, node);
    return 0;
}

// Keeps the keyboard focus on the control that had it when the window is activated again; the
// first time that is the Lumo tree.
void TForm_Help_Main::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus))
            m_lastFocus = focus;
        return;
    }
    if (!m_lastFocus || !IsWindow(m_lastFocus) || !IsWindowVisible(m_lastFocus))
        m_lastFocus = IsWindowVisible(m_ketra.View()) ? m_ketra.View() : m_lumo.View();
    SetFocus(m_lastFocus);
}

bool TForm_Help_Main::PreTranslateMessage(MSG& message) {
    const HWND form = Handle();
    if (!form || (message.hwnd != form && !IsChild(form, message.hwnd)))
        return false;
    // Alt+letter clicks the first button whose caption carries that letter.
    if (message.message == WM_SYSCHAR) {
        const auto letter =
            static_cast<wchar_t>(std::towupper(static_cast<wint_t>(message.wParam)));
        for (const SpeedButton& button : kSpeedButtons)
            if (AcceleratorOf(button.caption) == letter) {
                SendMessageW(form, WM_COMMAND, MAKEWPARAM(button.id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(m_toolBar));
                return true;
            }
    }
    // Tab and Shift+Tab move between the trees and the text pane.
    return IsDialogMessageW(form, &message) != FALSE;
}

}  // namespace

std::unique_ptr<app::BaseWindow> CreateHelpWindow() { return std::make_unique<TForm_Help_Main>(); }

}  // namespace help
