// Form_User_Main, the phrase editor window: tool bar, menu, the tree view of srf_pub.dat, the find
// and filter bars and the status bar. It is a view over EditorCommands, the controller: it runs
// every command through it, and after each command and each change of the selection greys the
// tool buttons and menu items of the commands that cannot act. The choice of several phrases, the
// drag, the boxes, the banner and the menu pictures are parts of their own.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>

#include "EditorTexts.h"
#include "app/Application_win.h"
#include "app/ChildControl_win.h"
#include "app/Form_win.h"
#include "app/ModeWindows_win.h"
#include "editor/commands/DirectoryFiles.h"
#include "editor/commands/EditorCommandIds.h"
#include "editor/commands/EditorCommands.h"
#include "editor/rules/StatusText.h"
#include "editor/windows/ChosenPhrases_win.h"
#include "editor/windows/EditorDialogs_win.h"
#include "editor/windows/EditorImages_win.h"
#include "editor/windows/EditorMenus_win.h"
#include "editor/windows/EditorStatusBar_win.h"
#include "editor/windows/EditorTreeView_win.h"
#include "editor/windows/FileDialogs_win.h"
#include "editor/windows/FilterBox_win.h"
#include "editor/windows/FindBox_win.h"
#include "editor/windows/ImportProgress_win.h"
#include "editor/windows/MakerBanner_win.h"
#include "editor/windows/MenuPictures_win.h"
#include "editor/windows/PhraseDrag_win.h"
#include "editor/windows/SingleInstance_win.h"
#include "platform/TextConversion_win.h"
#include "platform/UniqueHandles_win.h"

namespace editor {

namespace {

// Posted on activation: look whether another program has written srf_pub.dat.
constexpr UINT WM_APP_CHECKDISK = WM_APP + 2;
// Sizes at 96 DPI.
constexpr SIZE kWindowSize{519, 534};
constexpr int kImageSize = 24;
constexpr int kFontHeight = 16;

class TForm_User_Main : public app::Form {
public:
    explicit TForm_User_Main(std::unique_ptr<SingleInstance> instance);
    bool PreTranslateMessage(MSG& message) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate() override;
    void FormShow() override {
        RunRule([&] { m_commands.Load(); });
    }
    void ApplyDpi() override;
    void LayOut() override;
    HWND DefaultFocus() const override { return m_view.Handle(); }
    void Activated() override { PostMessageW(Handle(), WM_APP_CHECKDISK, 0, 0); }
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(NMHDR& header) override;

    void MenuItemClick(int id);
    // Runs one rule of EditorCommands, then selects what it points to and refreshes the status
    // bar and the enabled states, also when it fails.
    template <class Rule>
    void RunRule(Rule&& rule);
    void FinishRule();
    void FindNext();
    // Closes the filter box and shows everything again.
    void CloseFilter();
    void CheckDisk();
    // A phrase dropped on a node: moved (with the chosen ones) to the node's category.
    void Drop(const PhraseDrag::Drop& drop);
    void ShowContextMenu();
    // Whether the controller lets each command act on the selection as it is.
    CommandEnabled Enabled() const;
    // The status bar and the enabled states for the selection and the choice as they are.
    void ShowState();

    std::unique_ptr<SingleInstance> m_instance;
    phrases::DataDirectory m_directory;
    phrases::TTreeNodes& m_tree;
    TreeObservers m_observers;  // the view and the filter, told by m_files
    DirectoryFiles m_files;
    PhraseTreeView m_view;
    SystemFileDialogs m_fileDialogs;
    ImportProgressWindow m_importProgress;
    EditorDialogs m_dialogs;
    EditorCommands m_commands;
    EditorStatusBar m_statusBar;
    FindBox m_findBox;
    FilterBox m_filterBox{m_tree, m_view};
    EditorCommandBars m_commandBars;
    MakerBanner m_banner;
    bool m_running = false;       // a rule is running (its boxes run nested message loops)
    bool m_checkPending = false;  // an activation came while it ran
    ChosenPhrases m_chosen{m_view, [this] { ShowState(); }};
    PhraseDrag m_drag{m_view, m_chosen};
};

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
    case WM_APP_CHECKDISK:
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
    platform::UniqueHfont font = app::CreateChineseFont(texts::kFontName, kFontHeight, Dpi());
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
    const int toolBarHeight = m_commandBars.ToolBar().LayOut(client.right, Dpi());
    m_banner.LayOut(client.right, toolBarHeight, Dpi());
    const int statusHeight = m_statusBar.LayOut(client.right, client.bottom, Dpi());
    // The find bar just above the status bar, the filter bar just below the tool bar.
    const int findHeight = m_findBox.Bar().Height(Dpi());
    m_findBox.Bar().LayOut(client.bottom - statusHeight - findHeight, client.right, Dpi());
    const int filterHeight = m_filterBox.Bar().Height(Dpi());
    m_filterBox.Bar().LayOut(toolBarHeight, client.right, Dpi());
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
        PostMessageW(Handle(), WM_APP_CHECKDISK, 0, 0);
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

void TForm_User_Main::ShowContextMenu() {
    const POINT position = app::MessagePosition();
    if (!m_view.SelectItemAt(position))
        return;
    if (const int command = TrackTreeContextMenu(Handle(), position, Enabled()))
        MenuItemClick(command);
}

CommandEnabled TForm_User_Main::Enabled() const {
    const CommandContext context{m_view.SelectedNode(), m_view.Filtered(),
                                 m_chosen.Choice().Size()};
    return [this, context](Command command) { return m_commands.IsEnabled(command, context); };
}

void TForm_User_Main::ShowState() {
    StatusState state;
    state.health = &m_files.Health();
    state.selected = m_view.SelectedNode();
    state.chosen = m_chosen.Choice().Size();
    if (m_view.Filtered())
        state.filter = m_filterBox.State().Counts();
    m_statusBar.Show(MakeStatusText(m_commands.CompleteStatus(state)));
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
    case TVN_SELCHANGEDW:
        m_chosen.SelectionChanged();
        if (reinterpret_cast<NMTREEVIEWW&>(header).action != TVC_UNKNOWN)  // the user's own step
            m_commands.ClearSyncNote();
        ShowState();
        return 0;
    case NM_DBLCLK:
        // On a category the tree expands or collapses it, as every tree does; on a phrase it is
        // Modify, and nothing else.
        if (!m_view.SelectItemAt(app::MessagePosition()) || m_view.SelectedNode()->Level() == 0)
            return 0;
        MenuItemClick(IDM_EDIT);
        return TRUE;
    case NM_RCLICK:
        ShowContextMenu();
        return TRUE;
    }
    return 0;
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
