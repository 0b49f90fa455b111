// Form_Help_Main: the help browser. A tool bar switches between the Lumo and the Ketra topic tree;
// the text pane shows the topic selected last. All titles and texts come from HelpTopics. Hidden
// labels name the trees and the pane for screen readers; under high contrast the pane and the
// folder pictures take the system's colours.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "HelpTexts.h"
#include "app/Accessibility_win.h"
#include "app/ChildControl_win.h"
#include "app/Form_win.h"
#include "app/Mnemonic.h"
#include "app/ModeWindows_win.h"
#include "help/FolderImages_win.h"
#include "help/HelpCommandIds.h"
#include "help/HelpTopics.h"
#include "phrases/TreeNodes.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace help {

namespace {

// Sizes in pixels at 96 dots per inch; the window scales them to its monitor, and those that hold
// text also to the user's text size.
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

std::vector<std::string_view> SpeedButtonCaptions() {
    std::vector<std::string_view> captions;
    for (const SpeedButton& button : kSpeedButtons)
        captions.push_back(button.caption);
    return captions;
}

// A static text that nobody sees, made just before the control it names: screen readers take the
// static text before a control as its name.
void HiddenLabel(HWND parent, std::string_view name) {
    app::ChildControl(L"Static", SS_LEFT | SS_NOPREFIX).Text(platform::ToWide(name)).Create(parent);
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
    return app::ChildControl(L"TPanel", WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)
        .ExStyle(exStyle | WS_EX_CONTROLPARENT)
        .Id(id)
        .Create(parent);
}

// One topic tree: the TTreeNodes of one method's topics, mirrored into its tree view. Each view
// item carries its node; a node's absolute index is its topic index.
class TopicTree {
public:
    explicit TopicTree(Method method) : m_method(method) {}

    // The tree, named by a hidden label and by its window text (which a tree does not show).
    void Create(HWND parent, int id, bool visible, std::string_view name) {
        const DWORD style = WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASBUTTONS | TVS_HASLINES |
                            TVS_LINESATROOT | TVS_SHOWSELALWAYS | (visible ? WS_VISIBLE : 0);
        HiddenLabel(parent, name);
        m_view = app::ChildControl(WC_TREEVIEWW, style)
                     .ExStyle(WS_EX_CLIENTEDGE)
                     .Id(id)
                     .Text(platform::ToWide(name))
                     .Create(parent);
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

class TForm_Help_Main : public app::Form {
public:
    TForm_Help_Main() {
        CreateForm(L"TForm_Help_Main", platform::ToWide(texts::kCaption),
                   WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, SIZE{kWidth, kHeight},
                   POINT{kLeft, kTop});
    }
    bool PreTranslateMessage(MSG& message) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate() override;
    void FormShow() override { FillTopicTrees(); }
    void ApplyDpi() override;
    void LayOut() override;
    // The tree in front; the first time that is the Lumo tree.
    HWND DefaultFocus() const override {
        return IsWindowVisible(m_ketra.View()) ? m_ketra.View() : m_lumo.View();
    }
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(NMHDR& header) override;

    void FillTopicTrees();
    void TreeView1Change(HWND sender, phrases::TTreeNode* node) { ShowTopic(sender, m_lumo, node); }
    void TreeView2Change(HWND sender, phrases::TTreeNode* node) {
        ShowTopic(sender, m_ketra, node);
    }
    void SpeedButtonKetraClick(int sender);
    void SpeedButton1Click(int) { SendMessageW(Handle(), WM_CLOSE, 0, 0); }
    void ShowTopic(HWND sender, TopicTree& tree, phrases::TTreeNode* node);
    // Alt+letter: clicks the button of that mnemonic; a second press goes on to the next button
    // sharing it. False when no button carries the letter.
    bool PressMnemonic(wchar_t letter);

    HWND m_toolBar = nullptr;
    HWND m_panel1 = nullptr;
    HWND m_panel2 = nullptr;
    HWND m_panel3 = nullptr;
    HWND m_memo = nullptr;
    TopicTree m_lumo{Method::Lumo};
    TopicTree m_ketra{Method::Ketra};
    // The button the last Alt+letter went to, until another key or a click.
    std::optional<std::size_t> m_mnemonicButton;
};

LRESULT TForm_Help_Main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NEXTDLGCTL:
        if (LOWORD(lParam))
            SetFocus(reinterpret_cast<HWND>(wParam));
        else if (HWND next = GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0))
            SetFocus(next);
        return 0;
    case WM_CTLCOLORSTATIC:
        // The read-only text pane keeps the look of a page: the window's colours, not the grey of
        // a read-only box.
        if (reinterpret_cast<HWND>(lParam) == m_memo) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

void TForm_Help_Main::FormCreate() {
    const HWND form = Handle();
    m_toolBar =
        app::ChildControl(TOOLBARCLASSNAMEW, WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST |
                                                 CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER)
            .Id(IDC_TOOLBAR1)
            .Text(platform::ToWide(texts::kToolBarName))
            .Create(form);
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
    // The Ketra tree lies above the Lumo tree, shown over it or hidden.
    m_ketra.Create(m_panel2, IDC_TREEVIEW2, false, texts::kKetraTreeName);
    m_lumo.Create(m_panel2, IDC_TREEVIEW1, true, texts::kLumoTreeName);
    HiddenLabel(m_panel1, texts::kTextPaneName);
    m_memo = app::ChildControl(L"EDIT", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                            ES_READONLY | ES_AUTOVSCROLL)
                 .ExStyle(WS_EX_CLIENTEDGE)
                 .Id(IDC_MEMO2)
                 .Create(m_panel1);
    m_panel3 = CreatePanel(m_panel1, IDC_PANEL3, 0);
}

// Fonts and pictures for the monitor's DPI.
void TForm_Help_Main::ApplyDpi() {
    platform::UniqueHfont font = app::CreateChineseFont(texts::kFontName, kFontHeight, TextDpi());
    platform::UniqueHfont memoFont =
        app::CreateChineseFont(texts::kFontName, kMemoFontHeight, TextDpi());
    platform::UniqueHimagelist images = CreateFolderImages(Scaled(kFolderImageSize));
    app::SetControlFont({m_toolBar, m_lumo.View(), m_ketra.View()}, font.Get());
    app::SetControlFont({m_memo}, memoFont.Get());
    for (HWND tree : {m_lumo.View(), m_ketra.View()})
        TreeView_SetImageList(tree, images.Get(), TVSIL_NORMAL);
    KeepForControls(std::move(images), std::move(font), std::move(memoFont));

    SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(0, TextScaled(kButtonHeight)));
    for (const SpeedButton& button : kSpeedButtons) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(TextScaled(button.width));
        SendMessageW(m_toolBar, TB_SETBUTTONINFOW, button.id, reinterpret_cast<LPARAM>(&info));
    }
    for (HWND tree : {m_lumo.View(), m_ketra.View()})
        TreeView_SetIndent(tree, Scaled(kTreeIndent));
}

// The tool bar spans the top; below it Panel1 holds the tree panel and the spacer at fixed widths
// and gives the text pane whatever width is left.
void TForm_Help_Main::LayOut() {
    if (!m_panel1)
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int toolBarHeight = TextScaled(kToolBarHeight);
    MoveWindow(m_toolBar, 0, 0, client.right, toolBarHeight, TRUE);
    MoveWindow(m_panel1, 0, toolBarHeight, client.right,
               std::max(0L, client.bottom - toolBarHeight), TRUE);

    RECT inner{};
    GetClientRect(m_panel1, &inner);
    const int treeWidth = TextScaled(kTreePanelWidth);
    const int spacerWidth = Scaled(kSpacerWidth);
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
    // A covered tree neither keeps the focus nor is reached by Tab: its keys would change the
    // topic out of the user's sight. (Asked before the switch: hiding a tree takes its focus.)
    const bool treeHadFocus = GetFocus() == back.View() || GetFocus() == front.View();
    // The Ketra tree covers the Lumo tree, which stays visible beneath it.
    ShowWindow(m_ketra.View(), ketra ? SW_SHOW : SW_HIDE);
    SetTabStop(m_lumo.View(), !ketra);
    if (treeHadFocus)
        SetFocus(front.View());
    // Selecting reports a change only when the selection moves; show the topic in any case.
    if (phrases::TTreeNode* node = front.SelectFirst()) {
        if (ketra)
            TreeView2Change(m_ketra.View(), node);
        else
            TreeView1Change(m_lumo.View(), node);
    }
}

void TForm_Help_Main::OnCommand(int id, int, HWND) {
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

LRESULT TForm_Help_Main::OnNotify(NMHDR& header) {
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

bool TForm_Help_Main::PressMnemonic(wchar_t letter) {
    if (letter > 0x7F)
        return false;
    const std::optional<std::size_t> next =
        app::NextWithMnemonic(SpeedButtonCaptions(), static_cast<char>(letter), m_mnemonicButton);
    if (!next)
        return false;
    m_mnemonicButton = next;
    SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(kSpeedButtons[*next].id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_toolBar));
    return true;
}

bool TForm_Help_Main::PreTranslateMessage(MSG& message) {
    const HWND form = Handle();
    if (!Owns(message.hwnd))
        return false;
    // Alt+letter clicks the first button whose caption carries that letter, as a dialog moves to
    // the first control of a mnemonic; pressed again at once, the next one.
    if (message.message == WM_SYSCHAR && PressMnemonic(static_cast<wchar_t>(message.wParam)))
        return true;
    if (message.message == WM_KEYDOWN || message.message == WM_LBUTTONDOWN ||
        message.message == WM_RBUTTONDOWN)
        m_mnemonicButton.reset();
    for (const HWND tree : {m_lumo.View(), m_ketra.View()})
        if (app::SelectFirstItemOnKey(tree, message))
            return true;
    // Tab and Shift+Tab move between the trees and the text pane.
    return IsDialogMessageW(form, &message) != FALSE;
}

}  // namespace

std::unique_ptr<app::BaseWindow> CreateHelpWindow() { return std::make_unique<TForm_Help_Main>(); }

}  // namespace help
