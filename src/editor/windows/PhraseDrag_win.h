// Dragging a phrase onto a category with the mouse: the window holds the mouse capture while the
// drag lasts and the tree marks the node under it as the drop target.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "editor/windows/ChosenPhrases_win.h"
#include "editor/windows/EditorTreeView_win.h"
#include "phrases/TreeNodes.h"

namespace editor {

class PhraseDrag {
public:
    struct Drop {
        phrases::TTreeNode* dragged;
        phrases::TTreeNode* target;
    };

    PhraseDrag(PhraseTreeView& view, ChosenPhrases& chosen) : m_view(view), m_chosen(chosen) {}

    // The tree's TVN_BEGINDRAG (false for any other notification): a phrase is selected and
    // dragged, with window holding the mouse, one of the chosen phrases with the others (any
    // other phrase ends the choice); a category is not dragged.
    bool OnNotify(HWND window, const NMHDR& header);
    // The window's mouse messages while it holds the capture: a move makes the node under the
    // mouse the drop target; the released button ends the drag and returns the phrase dropped and
    // the node it was dropped on, if it was dropped on one; a lost capture ends the drag unseen.
    std::optional<Drop> OnMouse(UINT message);

private:
    void Over();
    std::optional<Drop> Release();
    void CaptureLost();

    PhraseTreeView& m_view;
    ChosenPhrases& m_chosen;
    phrases::TTreeNode* m_dragged = nullptr;
};

}  // namespace editor
