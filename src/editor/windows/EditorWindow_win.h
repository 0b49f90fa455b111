// Form_User_Main, the phrase editor window: tool bar, menu, the tree view of srf_pub.dat, the find
// and filter bars and the status bar. It is a view over EditorCommands, the controller: it runs
// every command through it, and after each command and each change of the selection greys the
// tool buttons and menu items of the commands that cannot act. The choice of several phrases, the
// drag, the boxes, the banner and the menu pictures are parts of their own. Without a mouse: Tab
// goes round the controls, F6 between the tree and the open bars, Shift+F10 opens the context
// menu; a screen reader hears each phrase's description and chosen state and the status bar's
// news.
#pragma once

#include <windows.h>

#include <memory>

#include "app/Accessibility_win.h"
#include "app/Form_win.h"
#include "editor/commands/DirectoryFiles.h"
#include "editor/commands/EditorCommands.h"
#include "editor/windows/ChosenPhrases_win.h"
#include "editor/windows/EditorDialogs_win.h"
#include "editor/windows/EditorMenus_win.h"
#include "editor/windows/EditorStatusBar_win.h"
#include "editor/windows/EditorTreeView_win.h"
#include "editor/windows/FileDialogs_win.h"
#include "editor/windows/FilterBox_win.h"
#include "editor/windows/FindBox_win.h"
#include "editor/windows/ImportProgress_win.h"
#include "editor/windows/MakerBanner_win.h"
#include "editor/windows/PhraseDrag_win.h"
#include "editor/windows/SingleInstance_win.h"
#include "phrases/DataDirectory.h"

namespace editor {

class TForm_User_Main : public app::Form {
public:
    explicit TForm_User_Main(std::unique_ptr<SingleInstance> instance);
    bool PreTranslateMessage(MSG& message) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Posted on activation: look whether another program has written srf_pub.dat.
    static constexpr UINT kCheckDiskMessage = WM_APP + 2;

    void FormCreate() override;
    void FormShow() override {
        RunRule([&] { m_commands.Load(); });
    }
    void ApplyDpi() override;
    void LayOut() override;
    HWND DefaultFocus() const override { return m_view.Handle(); }
    void Activated() override { PostMessageW(Handle(), kCheckDiskMessage, 0, 0); }
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
    // The context menu at the mouse, or with keyboard at the selected item.
    void ShowContextMenu(bool keyboard);
    // What a screen reader hears of a tree item besides its text.
    app::TreeItemAccessibility ItemAccessibility(HTREEITEM item) const;
    // Whether the controller lets each command act on the selection as it is.
    CommandEnabled Enabled() const;
    // The status bar and the enabled states for the selection and the choice as they are; with
    // announce, what the status bar shows anew is announced to screen readers.
    void ShowState(bool announce = true);

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
    app::TreeItemAnnotation m_itemAnnotation;  // goes before the tree
};

}  // namespace editor
