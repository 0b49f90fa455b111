// The filter box: a bar above the tree, opened by Ctrl+E or its tool button. As the user types,
// the tree shows only the phrases holding the text and their categories (FilterState decides
// which); Esc or the close button closes it and shows everything again.
#pragma once

#include <windows.h>

#include "app/EditBar_win.h"
#include "editor/rules/PhraseFilter.h"
#include "editor/windows/EditorTreeView_win.h"
#include "phrases/TreeNodes.h"

namespace editor {

class FilterBox {
public:
    FilterBox(const phrases::TTreeNodes& tree, PhraseTreeView& view) : m_tree(tree), m_view(view) {}

    // The edit box reports its changes as WM_COMMAND from IDC_FILTER_EDIT; Esc and the close
    // button send IDM_FILTER_CLOSE.
    void Create(HWND parent);
    app::EditBar& Bar() { return m_bar; }
    const app::EditBar& Bar() const { return m_bar; }
    // Hears the tree's changes, to know the nodes added since the filter was applied.
    FilterState& State() { return m_state; }

    // Shows what the text leaves (everything when it is empty), keeping the selection where it
    // is shown; false when the tree shows what it showed.
    bool Apply();
    // Hides and empties the bar and shows everything again; false when the tree showed it all.
    bool Close();

private:
    const phrases::TTreeNodes& m_tree;
    PhraseTreeView& m_view;
    app::EditBar m_bar;
    FilterState m_state;
};

}  // namespace editor
