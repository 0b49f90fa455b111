// The phrase editor window; see EditorWindow_win.h.
#include "editor/windows/EditorWindow_win.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>

#include "EditorTexts.h"
#include "app/Application_win.h"
#include "app/ChildControl_win.h"
#include "app/ModeWindows_win.h"
#include "editor/commands/EditorCommandIds.h"
#include "editor/rules/PhraseDescription.h"
#include "editor/rules/StatusText.h"
#include "editor/windows/EditorImages_win.h"
#include "editor/windows/MenuPictures_win.h"
#include "editor/windows/PaneKeys_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

namespace {

// Sizes at 96 DPI.
constexpr SIZE kWindowSize{519, 534};
constexpr int kImageSize = 24;
constexpr int kFontHeight = 16;

}  // namespace

TForm_User_Main::TForm_User_Main(std::unique_ptr<SingleInstance> instance)
    : m_instance(std::move(instance)),
      m_directory(app::Application::Instance().DataDirectory()),
      m_tree(m_directory.Tree()),
      m_files(m_directory, m_observers),
      m_view(m_tree, m_files.Health()),
      m_commands(m_tree, m_dialogs, m_files, m_files, m_fileDialogs, m_directory.Table()) {
    m_observers.Add(m_view);
    m_observers.Add(m_filterBox.State());
    CreateForm(L"TForm_User_Main", platform::ToWide(texts::kWindowCaption),
               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
               kWindowSize);
}

LRESULT TForm_User_Main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kCheckDiskMessage:
        CheckDisk();
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (const std::optional<PhraseDrag::Drop> drop = m_drag.OnMouse(message))
            Drop(*drop);
        return 0;
    case WM_MEASUREITEM:
        MeasureMenuPicture(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), Scaled(kImageSize));
        return TRUE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!DrawMenuPicture(item, KeptImages(), Scaled(kImageSize)))
            m_banner.Draw(item, KeptFont(0));
        return TRUE;
    }
    case WM_SETCURSOR:
        if (m_banner.SetCursorOver(reinterpret_cast<HWND>(wParam)))
            return TRUE;
        break;
    case WM_CONTEXTMENU:
        // Shift+F10 or the menu key in the tree (a right click comes as NM_RCLICK).
        if (reinterpret_cast<HWND>(wParam) == m_view.Handle()) {
            ShowContextMenu(lParam == -1);
            return 0;
        }
        break;
    case WM_CLOSE:
        // Quit and the close box alike: a change that srf_pub.dat lacks is not dropped unasked.
        if (!m_commands.ConfirmQuit())
            return 0;
        break;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

bool TForm_User_Main::PreTranslateMessage(MSG& message) {
    if (!Owns(message.hwnd))
        return false;
    if (MoveFocusWithKey(Handle(), message, m_filterBox.Bar(), m_view.Handle(), m_findBox.Bar()) ||
        app::SelectFirstItemOnKey(m_view.Handle(), message))
        return true;
    // In the find and filter bars the keys edit the text; only a few mean a command.
    for (const app::EditBar* bar : {&m_filterBox.Bar(), &m_findBox.Bar()}) {
        if (!bar->Owns(message.hwnd))
            continue;
        if (const int command = bar->CommandOfKey(message)) {
            MenuItemClick(command);
            return true;
        }
        return false;
    }
    if (m_chosen.OnTreeMessage(message))
        return true;
    return m_commandBars.TranslateKey(message);
}

void TForm_User_Main::FormCreate() {
    m_commandBars.Create(Handle());
    m_banner.Create(Handle());
    m_view.Create(Handle());
    m_itemAnnotation.Attach(m_view.Handle(),
                            [this](HTREEITEM item) { return ItemAccessibility(item); });
    m_statusBar.Create(Handle());
    m_findBox.Create(Handle());
    m_filterBox.Create(Handle());
    m_instance->Publish(Handle());
    m_fileDialogs.SetOwner(Handle());
    m_importProgress.SetOwner(Handle());
    m_commands.SetImportProgress(&m_importProgress);
    m_commandBars.ShowEnabled(Enabled());
    SetFocus(m_view.Handle());
}

// Fonts, images and sizes for the monitor's DPI.
void TForm_User_Main::ApplyDpi() {
    platform::UniqueHfont font = app::CreateChineseFont(texts::kFontName, kFontHeight, TextDpi());
    platform::UniqueHimagelist images = CreateEditorImages(Scaled(kImageSize));

    m_commandBars.ToolBar().ApplyDpi(images.Get(), Dpi());
    m_view.ApplyDpi(font.Get(), images.Get(), Dpi());
    app::SetControlFont({m_statusBar.Handle()}, font.Get());
    m_findBox.Bar().SetFont(font.Get());
    m_filterBox.Bar().SetFont(font.Get());
    KeepForControls(std::move(images), std::move(font));
}

void TForm_User_Main::LayOut() {
    if (!m_view.Handle() || !m_statusBar.Handle())
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    // The texts (the banner's, the bars', the status bar's) take the room the text size asks.
    const int toolBarHeight =
        m_commandBars.ToolBar().LayOut(client.right, Dpi(),
                                       MakerBanner::Height(TextDpi()) + Scaled(3));
    m_banner.LayOut(client.right, toolBarHeight, TextDpi());
    const int statusHeight = m_statusBar.LayOut(client.right, client.bottom, TextDpi());
    // The find bar just above the status bar, the filter bar just below the tool bar.
    const int findHeight = m_findBox.Bar().Height(TextDpi());
    m_findBox.Bar().LayOut(client.bottom - statusHeight - findHeight, client.right, TextDpi());
    const int filterHeight = m_filterBox.Bar().Height(TextDpi());
    m_filterBox.Bar().LayOut(toolBarHeight, client.right, TextDpi());
    MoveWindow(m_view.Handle(), 0, toolBarHeight + filterHeight, client.right,
               client.bottom - toolBarHeight - filterHeight - statusHeight - findHeight, TRUE);
}

void TForm_User_Main::OnCommand(int id, int code, HWND) {
    if (id == IDC_FILTER_EDIT) {
        if (code == EN_CHANGE && m_filterBox.Apply())
            ShowState();
    } else if (!m_banner.OnCommand(id, code)) {
        MenuItemClick(id);
    }
}

void TForm_User_Main::MenuItemClick(int id) {
    switch (id) {
    case IDM_FIND:
        m_findBox.Bar().Open();
        LayOut();
        return;
    case IDM_FIND_CLOSE:
        m_findBox.Bar().Close();
        LayOut();
        SetFocus(m_view.Handle());
        return;
    case IDM_FIND_NEXT:
        FindNext();
        return;
    case IDM_SELECT_ALL:
        m_chosen.ChooseAllOfCategory();
        return;
    case IDM_FILTER:
        m_filterBox.Bar().Open();
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
        outcome = m_commands.Execute(*command, {m_view.SelectedNode(), m_chosen.Choice().Nodes(),
                                                m_view.Filtered()});
        m_view.Select(outcome.select);
    });
    if (outcome.quit)
        SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

template <class Rule>
void TForm_User_Main::RunRule(Rule&& rule) {
    if (m_running) {  // a rule started from a box of another: no second finish
        rule();
        return;
    }
    m_running = true;
    struct Finish {
        TForm_User_Main& window;
        ~Finish() { window.FinishRule(); }
    } finish{*this};
    rule();
}

void TForm_User_Main::FinishRule() {
    m_running = false;
    // The chosen phrases may be gone: a command ends the choice.
    m_chosen.End();
    if (m_view.FilterStale()) {
        m_filterBox.Apply();
        // A node the command added stays in sight: the filter goes rather than hide it.
        if (m_filterBox.State().HidesInserted())
            CloseFilter();
    }
    m_view.Select(m_commands.TakeSelection());
    ShowState();
    if (m_checkPending) {
        m_checkPending = false;
        PostMessageW(Handle(), kCheckDiskMessage, 0, 0);
    }
}

void TForm_User_Main::FindNext() {
    const std::string sought = m_findBox.Bar().Text();
    if (sought.empty()) {
        MenuItemClick(IDM_FIND);  // F3 with nothing to look for opens the bar
        return;
    }
    RunRule([&] { m_commands.Find(sought, m_view.SelectedNode()); });
}

void TForm_User_Main::CloseFilter() {
    if (m_filterBox.Close())
        ShowState();
    LayOut();
}

void TForm_User_Main::CheckDisk() {
    if (m_running) {
        m_checkPending = true;
        return;
    }
    RunRule([&] { m_commands.CheckDiskChange(); });
}

void TForm_User_Main::Drop(const PhraseDrag::Drop& drop) {
    RunRule([&] {
        if (m_chosen.Choice().Contains(drop.dragged))
            m_commands.MoveSetToCategory(m_chosen.Choice().Nodes(), drop.target);
        else
            m_commands.MoveToCategory(drop.dragged, drop.target);
    });
}

void TForm_User_Main::ShowContextMenu(bool keyboard) {
    if (const std::optional<POINT> place = m_view.ContextMenuPlace(keyboard))
        if (const int command = TrackTreeContextMenu(Handle(), *place, Enabled()))
            MenuItemClick(command);
}

app::TreeItemAccessibility TForm_User_Main::ItemAccessibility(HTREEITEM item) const {
    const phrases::TTreeNode* node = m_view.NodeOf(item);
    if (!node)
        return {};
    const bool chosen = m_chosen.Choice().Contains(node);
    return {platform::ToWide(PhraseDescription(m_files.Health(), node, chosen)), chosen};
}

CommandEnabled TForm_User_Main::Enabled() const {
    const CommandContext context{m_view.SelectedNode(), m_view.Filtered(),
                                 m_chosen.Choice().Size()};
    return [this, context](Command command) { return m_commands.IsEnabled(command, context); };
}

void TForm_User_Main::ShowState(bool announce) {
    StatusState state;
    state.health = &m_files.Health();
    state.selected = m_view.SelectedNode();
    state.chosen = m_chosen.Choice().Size();
    if (m_view.Filtered())
        state.filter = m_filterBox.State().Counts();
    m_statusBar.Show(MakeStatusText(m_commands.CompleteStatus(state)), announce);
    m_commandBars.ShowEnabled(Enabled());
}

LRESULT TForm_User_Main::OnNotify(NMHDR& header) {
    if (m_commandBars.ToolBar().OnNotify(header))
        return 0;
    LRESULT result = 0;
    if (m_view.OnNotify(header, result) || m_chosen.OnNotify(header, result) ||
        m_drag.OnNotify(Handle(), header) || header.hwndFrom != m_view.Handle())
        return result;
    switch (header.code) {
    case TVN_SELCHANGEDW: {
        // Where the user moved, the tree tells screen readers of the new selection and the status
        // bar keeps quiet. Where the program moved it (a filter, a command), what the status bar
        // now shows (a count, a result) is news: shown quietly here it would never be announced.
        const UINT cause = reinterpret_cast<const NMTREEVIEWW&>(header).action;
        m_chosen.SelectionChanged();
        if (cause != TVC_UNKNOWN)  // the user's own step
            m_commands.ClearSyncNote();
        ShowState(cause != TVC_BYKEYBOARD && cause != TVC_BYMOUSE);
        return 0;
    }
    case NM_DBLCLK:
        // On a category the tree expands or collapses it, as every tree does; on a phrase it is
        // Modify, and nothing else.
        if (!m_view.SelectItemAt(app::MessagePosition()) || m_view.SelectedNode()->Level() == 0)
            return 0;
        MenuItemClick(IDM_EDIT);
        return TRUE;
    case NM_RCLICK:
        ShowContextMenu(false);
        return TRUE;
    }
    return 0;
}

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
