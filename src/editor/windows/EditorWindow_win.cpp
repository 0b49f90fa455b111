// Form_User_Main, the phrase editor window: tool bar, menu, the tree view of srf_pub.dat, the find
// box and the status bar. It is a view over EditorCommands, the controller: it runs every command
// through it, and after each command and each change of the selection greys the tool buttons and
// menu items of the commands that cannot act.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "EditorTexts.h"
#include "app/Application_win.h"
#include "app/Dialogs_win.h"
#include "app/MakerSite.h"
#include "app/ModeWindows_win.h"
#include "editor/commands/DirectoryFiles.h"
#include "editor/commands/EditorCommandIds.h"
#include "editor/commands/EditorCommands.h"
#include "editor/rules/LoadNotices.h"
#include "editor/rules/PhraseChoice.h"
#include "editor/rules/PhraseFilter.h"
#include "editor/rules/PhraseHealth.h"
#include "editor/rules/PhraseSelection.h"
#include "editor/rules/StatusText.h"
#include "editor/windows/BatchEditBox_win.h"
#include "editor/windows/EditorImages_win.h"
#include "editor/windows/EditorMenus_win.h"
#include "editor/windows/EditorStatusBar_win.h"
#include "editor/windows/EditorTreeView_win.h"
#include "editor/windows/FileDialogs_win.h"
#include "editor/windows/FilterBox_win.h"
#include "editor/windows/FindBox_win.h"
#include "editor/windows/ImportProgress_win.h"
#include "editor/windows/SingleInstance_win.h"
#include "phrases/TreeNodes.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

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

// Where the mouse was, on the screen, when the message being handled was posted.
POINT MessagePosition() {
    const DWORD position = GetMessagePos();
    return {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
}

class TForm_User_Main : public app::BaseWindow, private UserDialogs {
public:
    explicit TForm_User_Main(std::unique_ptr<SingleInstance> instance);
    ~TForm_User_Main() override;
    bool PreTranslateMessage(MSG& message) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Answer Ask(const std::string& text, const std::string& caption, BoxKind kind) override {
        return app::Ask(text, caption, kind);
    }
    // A box opened again on the text it returned shows it as typed, characters that GB2312
    // cannot hold included.
    bool PromptForText(const std::string& caption, const std::string& prompt, std::string& value,
                       char32_t& unheld) override {
        std::wstring typed = value == m_typedGb ? m_typedWide : std::wstring();
        if (!app::PromptForText(caption, prompt, value, unheld, &typed))
            return false;
        m_typedWide = std::move(typed);
        m_typedGb = value;
        return true;
    }
    bool EditLines(const std::string& caption, std::string& text,
                   std::vector<EditedLine>& lines) override;
    std::optional<int> ChooseFromList(const std::string& caption,
                                      const std::vector<std::string>& items) override {
        return ShowChoiceBox(caption, items);
    }

    void FormCreate();
    void FormShow();
    void MenuItemClick(int id);
    // Runs one rule of EditorCommands, then selects what it points to and refreshes the status
    // bar and the enabled states, also when it fails.
    template <class Rule>
    void RunRule(Rule&& rule);
    void FindNext();
    // Shows what the filter box's text leaves (everything when it is empty), keeping the
    // selection when it is shown.
    void ApplyFilter();
    // Closes the filter box and shows everything again.
    void CloseFilter();
    // What the commands' enabled states depend on in the window.
    CommandContext Context() const;
    void CheckDisk();
    void Image1Click();
    void ApplyDpi(UINT dpi);
    void LayOut();
    LRESULT OnNotify(NMHDR& header);
    void ShowContextMenu();
    void OnMeasureItem(MEASUREITEMSTRUCT& item);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void UpdateStatus();
    // Greys the tool buttons and menu items of the commands that cannot act on the selection.
    void UpdateCommandStates();
    // Dragging a phrase onto a category.
    void BeginDrag(TTreeNode* node);
    void DragOver();
    void Drop();
    // Several phrases chosen: a Ctrl+click or Shift+click on the tree at a point of its client
    // area; false when it is not on a phrase (the tree handles the click itself).
    bool ChooseWithMouse(POINT client, bool range);
    void ChooseAllOfCategory();
    // The phrases of the node's category, only those shown while the tree is filtered.
    std::vector<TTreeNode*> ShownPhrasesOfCategory(TTreeNode* node) const;
    // Ends the choice of several phrases, if any.
    void EndChoice();
    // Redraws the highlight and shows the status and the enabled states for the choice as it is.
    void ChoiceChanged();
    // Selects a node in the tree without ending the choice of several phrases.
    void SelectKeepingChosen(TTreeNode* node);
    LRESULT DrawTreeItem(NMTVCUSTOMDRAW& draw) const;
    int Scaled(int pixels) const { return app::Scale(pixels, m_dpi); }

    std::unique_ptr<SingleInstance> m_instance;
    phrases::DataDirectory m_directory;
    phrases::TTreeNodes& m_tree;
    TreeObservers m_observers;  // the view and the filter, told by m_files
    DirectoryFiles m_files;
    PhraseTreeView m_view;
    SystemFileDialogs m_fileDialogs;
    ImportProgressWindow m_importProgress;
    EditorCommands m_commands;
    EditorStatusBar m_statusBar;
    FindBox m_findBox;
    FilterBox m_filterBox;
    FilterState m_filter;
    UINT m_dpi = 96;
    EditorToolBar m_toolBar;
    HWND m_image1 = nullptr;
    platform::UniqueHimagelist m_images;
    platform::UniqueHfont m_font;
    platform::UniqueHaccel m_accelerators;
    bool m_running = false;       // a rule is running (its boxes run nested message loops)
    bool m_checkPending = false;  // an activation came while it ran
    TTreeNode* m_dragged = nullptr;
    HWND m_focus = nullptr;     // the control that had the keyboard when the window was left
    PhraseChoice m_choice;      // the phrases chosen besides the tree's own selection
    bool m_keepChosen = false;  // the tree's selection changes as part of a choice
    // The batch edit's text as last typed, so that coming back to the box keeps characters that
    // GB2312 cannot hold; with its GB2312 form, by which the controller hands it back.
    std::wstring m_batchWide;
    std::string m_batchGb;
    // The same for the input box.
    std::wstring m_typedWide;
    std::string m_typedGb;
};

TForm_User_Main::TForm_User_Main(std::unique_ptr<SingleInstance> instance)
    : m_instance(std::move(instance)),
      m_directory(app::Application::Instance().DataDirectory()),
      m_tree(m_directory.Tree()),
      m_files(m_directory, m_observers),
      m_view(m_tree, m_files.Health()),
      m_commands(m_tree, *this, m_files, m_files, m_fileDialogs, m_directory.Table()) {
    m_observers.Add(m_view);
    m_observers.Add(m_filter);
    m_dpi = app::DpiOf(nullptr);
    const int width = Scaled(kWindowWidth);
    const int height = Scaled(kWindowHeight);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateWindowOfClass(L"TForm_User_Main", platform::ToWide(texts::kWindowCaption),
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                        0, RECT{left, top, left + width, top + height},
                        app::Application::Instance().OwnerWindow());
}

// The controls go before the fonts and pictures they use.
TForm_User_Main::~TForm_User_Main() {
    if (Handle())
        DestroyWindow(Handle());
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
        if (LOWORD(wParam) == IDC_FILTER_EDIT) {
            if (HIWORD(wParam) == EN_CHANGE)
                ApplyFilter();
        } else if (LOWORD(wParam) == kImage1Id) {
            if (HIWORD(wParam) == STN_CLICKED)
                Image1Click();
        } else {
            MenuItemClick(LOWORD(wParam));
        }
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_ACTIVATE:
        // Keep the keyboard where it was (the tree or the find box) across boxes and other
        // programs.
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
    case WM_DPICHANGED:
        ApplyDpi(HIWORD(wParam));
        app::MoveToSuggestedBounds(Handle(), lParam);
        return 0;
    case WM_CLOSE:
        // Quit and the close box alike: a change that srf_pub.dat lacks is not dropped unasked.
        if (!m_commands.ConfirmQuit())
            return 0;
        break;
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
}

bool TForm_User_Main::PreTranslateMessage(MSG& message) {
    if (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))
        return false;
    // In the find box the keys edit the text; only Enter, F3 and Esc mean something more.
    if (m_filterBox.Owns(message.hwnd)) {
        if (const int command = m_filterBox.CommandOfKey(message)) {
            MenuItemClick(command);
            return true;
        }
        return false;
    }
    if (m_findBox.Owns(message.hwnd)) {
        if (const int command = m_findBox.CommandOfKey(message)) {
            MenuItemClick(command);
            return true;
        }
        return false;
    }
    if (message.hwnd == m_view.Handle() && message.message == WM_LBUTTONDOWN &&
        (message.wParam & (MK_CONTROL | MK_SHIFT)) &&
        ChooseWithMouse({GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)},
                        (message.wParam & MK_SHIFT) != 0))
        return true;
    return TranslateAcceleratorW(Handle(), m_accelerators.Get(), &message) != 0;
}

void TForm_User_Main::FormCreate() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_toolBar.Create(Handle());

    m_image1 =
        app::CreateWindowChecked(0, L"Static", nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_OWNERDRAW | SS_NOTIFY,
                                 0, 0, 0, 0, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kImage1Id)), instance,
                                 nullptr);
    SetWindowPos(m_image1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_view.Create(Handle());
    m_statusBar.Create(Handle());
    m_findBox.Create(Handle(), IDM_FIND_NEXT, IDM_FIND_CLOSE);
    m_filterBox.Create(Handle(), IDC_FILTER_EDIT, IDM_FILTER_CLOSE);
    m_instance->Publish(Handle());
    m_fileDialogs.SetOwner(Handle());
    m_importProgress.SetOwner(Handle());
    m_commands.SetImportProgress(&m_importProgress);

    // The window owns its menu bar once it has it.
    if (platform::UniqueHmenu menuBar = CreateEditorMenuBar(); SetMenu(Handle(), menuBar.Get()))
        menuBar.Release();
    m_accelerators = CreateEditorAccelerators();

    ApplyDpi(app::DpiOf(Handle()));
    UpdateCommandStates();
    SetFocus(m_view.Handle());
}

void TForm_User_Main::FormShow() {
    RunRule([&] { m_commands.Load(); });
}

// Fonts, images and sizes for the monitor's DPI.
void TForm_User_Main::ApplyDpi(UINT dpi) {
    m_dpi = dpi;
    // The new font and pictures go to the controls first; the old ones are deleted only then.
    platform::UniqueHfont font(
        CreateFontW(-Scaled(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, platform::ToWide(texts::kFontName).c_str()));
    platform::UniqueHimagelist images = CreateEditorImages(Scaled(kImageSize));

    SendMessageW(m_toolBar.Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
    SendMessageW(m_toolBar.Handle(), TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(Scaled(kButtonWidth), Scaled(kButtonHeight)));
    SendMessageW(m_view.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    SendMessageW(m_statusBar.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    m_findBox.SetFont(font.Get());
    m_filterBox.SetFont(font.Get());
    TreeView_SetImageList(m_view.Handle(), images.Get(), TVSIL_NORMAL);
    TreeView_SetIndent(m_view.Handle(), Scaled(kTreeIndent));
    m_images = std::move(images);
    m_font = std::move(font);
    LayOut();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TForm_User_Main::LayOut() {
    if (!m_view.Handle() || !m_statusBar.Handle())
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int toolBarHeight = Scaled(kToolBarHeight);
    MoveWindow(m_toolBar.Handle(), 0, 0, client.right, toolBarHeight, TRUE);
    MoveWindow(m_image1, client.right - Scaled(kImage1Width),
               (toolBarHeight - Scaled(kImage1Height)) / 2, Scaled(kImage1Width),
               Scaled(kImage1Height), TRUE);
    const int statusHeight = m_statusBar.LayOut(client.right, client.bottom, m_dpi);
    const int findHeight = m_findBox.LayOut(client.right, client.bottom - statusHeight, m_dpi);
    const int filterHeight = m_filterBox.LayOut(client.right, toolBarHeight, m_dpi);
    MoveWindow(m_view.Handle(), 0, toolBarHeight + filterHeight, client.right,
               client.bottom - toolBarHeight - filterHeight - statusHeight - findHeight, TRUE);
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
    case IDM_SELECT_ALL:
        ChooseAllOfCategory();
        return;
    case IDM_FILTER:
        m_filterBox.Open();
        LayOut();
        return;
    case IDM_FILTER_CLOSE:
        CloseFilter();
        SetFocus(m_view.Handle());
        return;
    }
    const std::optional<Command> command = CommandOf(id);
    if (!command)
        return;
    Outcome outcome;
    RunRule([&] {
        outcome = m_commands.Execute(*command,
                                     {m_view.SelectedNode(), m_choice.Nodes(), m_view.Filtered()});
        m_view.Select(outcome.select);
    });
    if (outcome.quit)
        SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

template <class Rule>
void TForm_User_Main::RunRule(Rule&& rule) {
    struct Finish {
        TForm_User_Main& window;
        ~Finish() {
            window.m_running = false;
            // The chosen phrases may be gone: a command ends the choice.
            window.EndChoice();
            if (window.m_view.FilterStale()) {
                window.ApplyFilter();
                // A node the command added stays in sight: the filter goes rather than hide it.
                if (window.m_filter.HidesInserted())
                    window.CloseFilter();
            }
            window.m_view.Select(window.m_commands.TakeSelection());
            window.UpdateStatus();
            window.UpdateCommandStates();
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

void TForm_User_Main::ApplyFilter() {
    TTreeNode* selected = m_view.SelectedNode();
    std::optional<FilterResult> result = m_filter.Apply(m_tree, m_filterBox.Text());
    if (result)
        m_view.ShowFiltered(std::move(*result));
    else if (m_view.Filtered())
        m_view.ShowAll();
    else
        return;
    m_view.Select(selected);
    UpdateStatus();
    UpdateCommandStates();
}

void TForm_User_Main::CloseFilter() {
    m_filterBox.Close();
    ApplyFilter();
    LayOut();
}

CommandContext TForm_User_Main::Context() const {
    return {m_view.SelectedNode(), m_view.Filtered(), m_choice.Size()};
}

void TForm_User_Main::CheckDisk() {
    if (m_running) {
        m_checkPending = true;
        return;
    }
    RunRule([&] { m_commands.CheckDiskChange(); });
}

void TForm_User_Main::UpdateStatus() {
    StatusState state;
    state.health = &m_files.Health();
    state.selected = m_view.SelectedNode();
    state.chosen = m_choice.Size();
    if (m_view.Filtered())
        state.filter = m_filter.Counts();
    state.shortTable = ShortTableNote(m_directory.Table());
    if (state.selected && state.selected->Level() > 0) {
        state.reading = m_commands.ReadingOf(state.selected);
        state.readingSet = m_files.Readings().Find(state.selected->Text()) != nullptr;
    }
    const StatusText text = MakeStatusText(state);
    m_statusBar.Show(text.counts, text.right);
}

void TForm_User_Main::UpdateCommandStates() {
    const CommandContext context = Context();
    const CommandEnabled enabled = [&](Command command) {
        return m_commands.IsEnabled(command, context);
    };
    m_toolBar.ShowEnabled(enabled);
    ShowEnabled(GetMenu(Handle()), enabled);
}

void TForm_User_Main::BeginDrag(TTreeNode* node) {
    if (!node || node->Level() == 0)
        return;
    // A phrase of the chosen ones drags them all; another ends the choice.
    if (m_choice.Contains(node))
        SelectKeepingChosen(node);
    else
        m_view.Select(node);
    m_dragged = node;
    SetCapture(Handle());
}

void TForm_User_Main::DragOver() {
    if (!m_dragged)
        return;
    TTreeNode* target = m_view.NodeAt(MessagePosition());
    m_view.ShowDropTarget(target);
    SetCursor(LoadCursorW(nullptr, target ? IDC_ARROW : IDC_NO));
}

void TForm_User_Main::Drop() {
    if (!m_dragged)
        return;
    TTreeNode* dragged = m_dragged;
    TTreeNode* target = m_view.NodeAt(MessagePosition());
    ReleaseCapture();  // ends the drag: WM_CAPTURECHANGED clears its marks
    if (target)
        RunRule([&] {
            if (m_choice.Contains(dragged))
                m_commands.MoveSetToCategory(m_choice.Nodes(), target);
            else
                m_commands.MoveToCategory(dragged, target);
        });
}

bool TForm_User_Main::EditLines(const std::string& caption, std::string& text,
                                std::vector<EditedLine>& lines) {
    std::wstring wide =
        text == m_batchGb && !m_batchWide.empty() ? m_batchWide : platform::ToWide(text);
    if (!ShowBatchEditBox(caption, wide, lines))
        return false;
    m_batchWide = wide;
    m_batchGb = platform::ToGb2312(wide);
    text = m_batchGb;
    return true;
}

bool TForm_User_Main::ChooseWithMouse(POINT client, bool range) {
    ClientToScreen(m_view.Handle(), &client);
    TTreeNode* node = m_view.NodeAt(client);
    if (!node || node->Level() == 0)
        return false;
    if (range)
        m_choice.Extend(node, m_view.SelectedNode(), ShownPhrasesOfCategory(node));
    else
        m_choice.Toggle(node, m_view.SelectedNode());
    SelectKeepingChosen(node);
    ChoiceChanged();
    return true;
}

std::vector<TTreeNode*> TForm_User_Main::ShownPhrasesOfCategory(TTreeNode* node) const {
    std::vector<TTreeNode*> phrases = PhrasesOfCategory(node);
    if (m_view.Filtered())
        std::erase_if(phrases, [&](const TTreeNode* phrase) { return !m_view.HasItem(phrase); });
    return phrases;
}

void TForm_User_Main::ChooseAllOfCategory() {
    if (TTreeNode* selected = m_view.SelectedNode()) {
        m_choice.ChooseAll(ShownPhrasesOfCategory(selected));
        ChoiceChanged();
    }
}

void TForm_User_Main::EndChoice() {
    if (m_choice.Clear())
        ChoiceChanged();
}

void TForm_User_Main::ChoiceChanged() {
    InvalidateRect(m_view.Handle(), nullptr, TRUE);
    UpdateStatus();
    UpdateCommandStates();
}

void TForm_User_Main::SelectKeepingChosen(TTreeNode* node) {
    m_keepChosen = true;
    m_view.Select(node);
    m_keepChosen = false;
}

LRESULT TForm_User_Main::DrawTreeItem(NMTVCUSTOMDRAW& draw) const {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return m_choice.Size() == 0 ? CDRF_DODEFAULT : CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
        m_choice.Contains(reinterpret_cast<const TTreeNode*>(draw.nmcd.lItemlParam))) {
        draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    }
    return CDRF_DODEFAULT;
}

void TForm_User_Main::Image1Click() {
    ShellExecuteW(Handle(), nullptr, app::kMakerHomePage, nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT TForm_User_Main::OnNotify(NMHDR& header) {
    if (m_toolBar.OnNotify(header))
        return 0;
    LRESULT result = 0;
    if (m_view.OnNotify(header, result))
        return result;
    if (header.hwndFrom != m_view.Handle())
        return 0;
    switch (header.code) {
    case TVN_SELCHANGEDW:
        if (!m_keepChosen)
            EndChoice();
        UpdateStatus();
        UpdateCommandStates();
        return 0;
    case TVN_BEGINDRAGW:
        BeginDrag(
            reinterpret_cast<TTreeNode*>(reinterpret_cast<NMTREEVIEWW&>(header).itemNew.lParam));
        return 0;
    case NM_DBLCLK:
        // On a category the tree expands or collapses it, as every tree does; on a phrase it is
        // Modify, and nothing else.
        if (!m_view.SelectItemAt(MessagePosition()) || m_view.SelectedNode()->Level() == 0)
            return 0;
        MenuItemClick(IDM_EDIT);
        return TRUE;
    case NM_RCLICK:
        ShowContextMenu();
        return TRUE;
    case NM_CLICK:
        EndChoice();  // a plain click: the Ctrl and Shift clicks do not reach the tree
        return 0;
    case NM_CUSTOMDRAW:
        return DrawTreeItem(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
    }
    return 0;
}

void TForm_User_Main::ShowContextMenu() {
    const POINT position = MessagePosition();
    if (!m_view.SelectItemAt(position))
        return;
    const platform::UniqueHmenu menu = CreateTreeContextMenu();
    const CommandContext context = Context();
    ShowEnabled(menu.Get(),
                [&](Command command) { return m_commands.IsEnabled(command, context); });
    const int command = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, position.x,
                                       position.y, 0, Handle(), nullptr);
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
        const int image = static_cast<int>(item.itemData);
        if (image < 0)
            return;
        if (item.itemState & (ODS_GRAYED | ODS_DISABLED)) {
            // A greyed item's picture is greyed too, as its text is.
            const platform::UniqueHicon icon(ImageList_GetIcon(m_images.Get(), image, ILD_NORMAL));
            DrawStateW(item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0,
                       item.rcItem.left, top, size, size, DST_ICON | DSS_DISABLED);
        } else {
            ImageList_Draw(m_images.Get(), image, item.hDC, item.rcItem.left, top, ILD_TRANSPARENT);
        }
    } else if (item.hwndItem == m_image1) {
        DrawBanner(item.hDC, item.rcItem, m_font.Get());
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
