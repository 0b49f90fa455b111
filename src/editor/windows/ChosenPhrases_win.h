// Several phrases chosen in the tree besides its selection, over the portable PhraseChoice: the
// Ctrl and Shift clicks, Shift+Up and Shift+Down, Ctrl+A, the highlight and mark of the chosen
// phrases and the selection that moves with the choice without ending it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "editor/rules/PhraseChoice.h"
#include "editor/windows/EditorTreeView_win.h"
#include "phrases/TreeNodes.h"

namespace editor {

class ChosenPhrases {
public:
    // changed: the choice has changed, after its highlight is redrawn (the window shows the
    // status and the enabled states for it).
    ChosenPhrases(PhraseTreeView& view, std::function<void()> changed)
        : m_view(view), m_changed(std::move(changed)) {}

    const PhraseChoice& Choice() const { return m_choice; }
    // A message for the tree before it is dispatched: a Ctrl+click or Shift+click on a phrase, or
    // Shift+Up or Shift+Down on a selected phrase, chooses and returns true; anything else is
    // left to the tree.
    bool OnTreeMessage(const MSG& message);
    // Ctrl+A: every shown phrase of the selected node's category.
    void ChooseAllOfCategory();
    // Ends the choice, if any.
    void End();
    // The tree's selection has changed: unless the choice moved it, the choice ends.
    void SelectionChanged();
    // Selects the node in the tree without ending the choice.
    void SelectKeeping(phrases::TTreeNode* node);
    // The tree's notifications of a plain click (it ends the choice: the Ctrl and Shift clicks do
    // not reach the tree) and of drawing (the chosen phrases highlighted); true when handled,
    // with the result in result.
    bool OnNotify(NMHDR& header, LRESULT& result);

private:
    // Chooses with a click at a point of the tree's client area; false when it is not on a phrase.
    bool ChooseWithMouse(POINT client, bool range);
    // Shift+Up (-1) or Shift+Down (+1); false when the selection is no phrase.
    bool ChooseWithKey(int step);
    // The phrases of the node's category, only those shown while the tree is filtered.
    std::vector<phrases::TTreeNode*> ShownPhrasesOfCategory(phrases::TTreeNode* node) const;
    // Redraws the highlight, marks the chosen phrases and tells the window.
    void Changed();
    LRESULT OnCustomDraw(NMTVCUSTOMDRAW& draw) const;

    PhraseTreeView& m_view;
    std::function<void()> m_changed;
    PhraseChoice m_choice;
    bool m_keepChosen = false;  // the tree's selection changes as part of a choice
    // The phrases that carry the mark of a chosen phrase (they may be gone since).
    std::vector<const phrases::TTreeNode*> m_marked;
};

}  // namespace editor
