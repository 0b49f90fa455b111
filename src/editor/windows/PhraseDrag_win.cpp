// Dragging a phrase onto a category; see PhraseDrag_win.h.
#include "editor/windows/PhraseDrag_win.h"

#include "app/BaseWindow_win.h"

namespace editor {

using phrases::TTreeNode;

bool PhraseDrag::OnNotify(HWND window, const NMHDR& header) {
    if (header.hwndFrom != m_view.Handle() || header.code != TVN_BEGINDRAGW)
        return false;
    auto* node =
        reinterpret_cast<TTreeNode*>(reinterpret_cast<const NMTREEVIEWW&>(header).itemNew.lParam);
    if (!node || node->Level() == 0)
        return true;
    if (m_chosen.Choice().Contains(node))
        m_chosen.SelectKeeping(node);
    else
        m_view.Select(node);
    m_dragged = node;
    SetCapture(window);
    return true;
}

std::optional<PhraseDrag::Drop> PhraseDrag::OnMouse(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
        Over();
        break;
    case WM_LBUTTONUP:
        return Release();
    case WM_CAPTURECHANGED:
        CaptureLost();
        break;
    }
    return std::nullopt;
}

void PhraseDrag::Over() {
    if (!m_dragged)
        return;
    TTreeNode* target = m_view.NodeAt(app::MessagePosition());
    m_view.ShowDropTarget(target);
    SetCursor(LoadCursorW(nullptr, target ? IDC_ARROW : IDC_NO));
}

std::optional<PhraseDrag::Drop> PhraseDrag::Release() {
    if (!m_dragged)
        return std::nullopt;
    const Drop drop{m_dragged, m_view.NodeAt(app::MessagePosition())};
    ReleaseCapture();  // ends the drag: WM_CAPTURECHANGED clears its marks
    if (!drop.target)
        return std::nullopt;
    return drop;
}

void PhraseDrag::CaptureLost() {
    if (m_dragged) {
        m_dragged = nullptr;
        m_view.ShowDropTarget(nullptr);
    }
}

}  // namespace editor
