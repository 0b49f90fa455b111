// What screen readers hear of the program's windows beyond what the system's controls say of
// themselves: names the window text cannot give (a "×" button), a tree item's description and
// chosen state, the status bar's changes, and keyboard cues drawn from the start. Through the
// system's own means (Dynamic Annotation of oleacc, WinEvents); where the system lacks one
// (Wine, a thread without COM) the window works the same, unannotated.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace app {

// COM for the thread (apartment-threaded, as windows need it) for the scope's time.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_initialized;
};

// The focus rectangle and the underlined mnemonics of the window and its controls shown from the
// start, not only once the keyboard has been used.
void ShowKeyboardCues(HWND window);

// A key that moves in a tree view while none of its items is selected selects its first shown
// item, so that the keyboard always has a place to start from (the control itself ignores the
// keys then); true when the key was taken so.
bool SelectFirstItemOnKey(HWND tree, const MSG& message);

// The name a screen reader speaks for a control whose text is no name (a "×" button).
void SetAccessibleName(HWND control, const std::wstring& name);

// The control's text shows news (the status bar): it is marked as a polite live region (Windows
// 8 and later read it out when it changes).
void MarkLiveRegion(HWND control);
// Tells screen readers that the control's text (of child, CHILDID_SELF for the whole control;
// a status bar's part is child part + 1) has changed: a name change and a live region's change.
void AnnounceTextChange(HWND control, LONG child = CHILDID_SELF);

// What a screen reader hears of a tree view's item beyond its text and the control's own states.
struct TreeItemAccessibility {
    std::wstring description;  // empty: none
    bool chosen = false;       // reported as selected, besides the tree's selection
};
using TreeItemQuery = std::function<TreeItemAccessibility(HTREEITEM)>;

// Answers screen readers, for every item of a tree view, its description and whether it is
// chosen, asking query at the moment they ask; taken back when this object goes (before the
// control).
class TreeItemAnnotation {
public:
    TreeItemAnnotation() = default;
    ~TreeItemAnnotation();
    TreeItemAnnotation(const TreeItemAnnotation&) = delete;
    TreeItemAnnotation& operator=(const TreeItemAnnotation&) = delete;

    void Attach(HWND tree, TreeItemQuery query);

    // The accessible state the tree's item reports as chosen: selectable and selected, with the
    // tree's own states of it (expanded or collapsed, out of sight).
    static LONG ChosenState(HWND tree, HTREEITEM item);

private:
    HWND m_tree = nullptr;
    struct Server;
    Server* m_server = nullptr;  // a COM object: others may hold it a little longer
};

}  // namespace app
