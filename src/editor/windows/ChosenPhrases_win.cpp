// Several phrases chosen in the tree; see ChosenPhrases_win.h.
#include "editor/windows/ChosenPhrases_win.h"

#include <windowsx.h>

#include <algorithm>

#include "editor/rules/PhraseSelection.h"

namespace editor {

using phrases::TTreeNode;

bool ChosenPhrases::OnTreeMessage(const MSG& message) {
    if (message.hwnd != m_view.Handle())
        return false;
    if (message.message == WM_KEYDOWN && (message.wParam == VK_UP || message.wParam == VK_DOWN)) {
        // Ctrl+Up and Ctrl+Down are the moves; Shift alone extends the choice.
        const bool shiftOnly = GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0;
        return shiftOnly && ChooseWithKey(message.wParam == VK_UP ? -1 : +1);
    }
    return message.message == WM_LBUTTONDOWN && (message.wParam & (MK_CONTROL | MK_SHIFT)) &&
           ChooseWithMouse({GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)},
                           (message.wParam & MK_SHIFT) != 0);
}

bool ChosenPhrases::ChooseWithKey(int step) {
    TTreeNode* selected = m_view.SelectedNode();
    if (!selected || selected->Level() == 0)
        return false;  // the tree moves on a category as it always does
    // At the category's first or last phrase the key does nothing: the choice stays in it.
    if (TTreeNode* next = m_choice.Step(selected, step, ShownPhrasesOfCategory(selected))) {
        SelectKeeping(next);
        Changed();
    }
    return true;
}

bool ChosenPhrases::ChooseWithMouse(POINT client, bool range) {
    ClientToScreen(m_view.Handle(), &client);
    TTreeNode* node = m_view.NodeAt(client);
    if (!node || node->Level() == 0)
        return false;
    if (range)
        m_choice.Extend(node, m_view.SelectedNode(), ShownPhrasesOfCategory(node));
    else
        m_choice.Toggle(node, m_view.SelectedNode());
    SelectKeeping(node);
    Changed();
    return true;
}

std::vector<TTreeNode*> ChosenPhrases::ShownPhrasesOfCategory(TTreeNode* node) const {
    std::vector<TTreeNode*> phrases = PhrasesOfCategory(node);
    if (m_view.Filtered())
        std::erase_if(phrases, [&](const TTreeNode* phrase) { return !m_view.HasItem(phrase); });
    return phrases;
}

void ChosenPhrases::ChooseAllOfCategory() {
    if (TTreeNode* selected = m_view.SelectedNode()) {
        m_choice.ChooseAll(ShownPhrasesOfCategory(selected));
        Changed();
    }
}

void ChosenPhrases::End() {
    if (m_choice.Clear())
        Changed();
}

void ChosenPhrases::SelectionChanged() {
    if (!m_keepChosen)
        End();
}

void ChosenPhrases::SelectKeeping(TTreeNode* node) {
    // Paired state: an error of the selection must not leave every later change keeping it.
    struct Keeping {
        bool& flag;
        ~Keeping() { flag = false; }
    } keeping{m_keepChosen};
    m_keepChosen = true;
    m_view.Select(node);
}

bool ChosenPhrases::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != m_view.Handle())
        return false;
    if (header.code == NM_CLICK) {
        End();
        result = 0;
        return true;
    }
    if (header.code == NM_CUSTOMDRAW) {
        result = OnCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
        return true;
    }
    return false;
}

LRESULT ChosenPhrases::OnCustomDraw(NMTVCUSTOMDRAW& draw) const {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return m_choice.Size() == 0 ? CDRF_DODEFAULT : CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
        m_choice.Contains(reinterpret_cast<const TTreeNode*>(draw.nmcd.lItemlParam))) {
        draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    }
    return CDRF_DODEFAULT;
}

void ChosenPhrases::Changed() {
    for (const TTreeNode* node : m_marked)
        m_view.MarkChosen(node, false);
    m_marked.assign(m_choice.Nodes().begin(), m_choice.Nodes().end());
    for (const TTreeNode* node : m_marked)
        m_view.MarkChosen(node, true);
    InvalidateRect(m_view.Handle(), nullptr, TRUE);
    m_changed();
}

}  // namespace editor
