// TreeView1 of the phrase editor; see EditorTreeView_win.h.
#include "editor/windows/EditorTreeView_win.h"

#include <string>

#include "EditorTexts.h"
#include "app/BaseWindow_win.h"
#include "app/ChildControl_win.h"
#include "app/ScopedRedraw_win.h"
#include "editor/windows/EditorImages_win.h"
#include "phrases/TreePlaces.h"
#include "platform/TextConversion_win.h"

namespace editor {

using phrases::TTreeNode;

namespace {

// Up to this many items go into the control when the tree is loaded; the phrases of categories
// beyond it wait until the category is opened. Small trees thus show whole, as they always did.
constexpr int kEagerItems = 5000;
// While filtered, each keystroke fills the control again: fewer items go in at once, as many
// as fill a few screens; the other categories stay closed until opened.
constexpr int kFilterEagerItems = 1000;
constexpr int kIndent = 27;  // at 96 DPI

}  // namespace

void PhraseTreeView::Create(HWND parent) {
    // Named for screen readers by a label nobody sees, made just before it, and by its window
    // text, which a tree does not show.
    const std::wstring name = platform::ToWide(texts::kTreeName);
    app::ChildControl(L"Static", SS_LEFT | SS_NOPREFIX).Text(name).Create(parent);
    // Read-only: no in-place editing, texts change through the commands only.
    m_hwnd =
        app::ChildControl(WC_TREEVIEWW, WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS |
                                            TVS_LINESATROOT | TVS_SHOWSELALWAYS)
            .ExStyle(WS_EX_CLIENTEDGE)
            .Text(name)
            .Create(parent);
}

void PhraseTreeView::ApplyDpi(HFONT font, HIMAGELIST images, UINT dpi) {
    app::SetControlFont({m_hwnd}, font);
    TreeView_SetImageList(m_hwnd, images, TVSIL_NORMAL);
    TreeView_SetIndent(m_hwnd, app::Scale(kIndent, dpi));
}

TTreeNode* PhraseTreeView::NodeOf(HTREEITEM item) const {
    if (!item)
        return nullptr;
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    TreeView_GetItem(m_hwnd, &data);
    return reinterpret_cast<TTreeNode*>(data.lParam);
}

TTreeNode* PhraseTreeView::SelectedNode() const { return NodeOf(TreeView_GetSelection(m_hwnd)); }

TTreeNode* PhraseTreeView::NodeAt(POINT screen) const { return NodeOf(ItemAt(screen)); }

bool PhraseTreeView::SelectItemAt(POINT screen) {
    const HTREEITEM item = ItemAt(screen);
    if (!item)
        return false;
    TreeView_SelectItem(m_hwnd, item);
    return true;
}

std::optional<POINT> PhraseTreeView::ContextMenuPlace(bool keyboard) {
    POINT place = app::MessagePosition();
    if (!keyboard)
        return SelectItemAt(place) ? std::optional<POINT>(place) : std::nullopt;
    // Below the selected item, as the mouse would open it there.
    RECT item{};
    const HTREEITEM selected = TreeView_GetSelection(m_hwnd);
    if (!selected || !TreeView_GetItemRect(m_hwnd, selected, &item, TRUE))
        return std::nullopt;
    place = {item.left, item.bottom};
    ClientToScreen(m_hwnd, &place);
    return place;
}

HTREEITEM PhraseTreeView::ItemAt(POINT screen) const {
    TVHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(m_hwnd, &hit.pt);
    if (!TreeView_HitTest(m_hwnd, &hit) || !(hit.flags & TVHT_ONITEM))
        return nullptr;
    return hit.hItem;
}

void PhraseTreeView::Select(TTreeNode* node) {
    if (!node)
        return;
    EnsureFilled(node);
    const HTREEITEM item = ItemOf(node);
    if (!item)
        return;
    TreeView_EnsureVisible(m_hwnd, item);
    TreeView_SelectItem(m_hwnd, item);
}

void PhraseTreeView::MarkChosen(const TTreeNode* node, bool chosen) {
    const HTREEITEM item = ItemOf(node);
    if (!item)
        return;
    TVITEMW data{};
    data.mask = TVIF_STATE;
    data.hItem = item;
    data.stateMask = TVIS_OVERLAYMASK;
    data.state = chosen ? INDEXTOOVERLAYMASK(kChosenOverlay) : 0;
    TreeView_SetItem(m_hwnd, &data);
}

void PhraseTreeView::ShowDropTarget(TTreeNode* node) {
    TreeView_SelectDropTarget(m_hwnd, node ? ItemOf(node) : nullptr);
}

bool PhraseTreeView::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != m_hwnd)
        return false;
    auto& view = reinterpret_cast<NMTREEVIEWW&>(header);
    switch (header.code) {
    case TVN_DELETEITEMW:
        m_items.erase(reinterpret_cast<const TTreeNode*>(view.itemOld.lParam));
        result = 0;
        return true;
    case TVN_ITEMEXPANDINGW:
        if (view.action & TVE_EXPAND)
            EnsureFilled(reinterpret_cast<const TTreeNode*>(view.itemNew.lParam));
        result = FALSE;  // let it open
        return true;
    }
    return false;
}

void PhraseTreeView::Clear() {
    m_items.clear();
    m_unfilled.clear();
    m_lastWaiting = nullptr;
    for (HTREEITEM root = TreeView_GetRoot(m_hwnd); root; root = TreeView_GetRoot(m_hwnd))
        DeleteItem(root);
}

void PhraseTreeView::ShowFiltered(FilterResult result) {
    m_filtered = true;
    m_stale = false;
    m_filter = std::move(result);
    m_filterRanges.clear();
    {
        const app::ScopedRedrawDisabler frozen(m_hwnd);
        Clear();
        FillFiltered();
    }
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void PhraseTreeView::FillFiltered() {
    const std::vector<const TTreeNode*>& shown = m_filter.shown;
    int filled = 0;
    for (std::size_t at = 0; at < shown.size();) {
        const TTreeNode* category = shown[at];
        std::size_t end = at + 1;
        while (end < shown.size() && shown[end]->Parent())
            ++end;
        const HTREEITEM item = Insert(const_cast<TTreeNode*>(category), TVI_ROOT, TVI_LAST);
        ++filled;
        const auto phrases = static_cast<int>(end - at - 1);
        if (phrases > 0 && filled + phrases <= kFilterEagerItems) {
            FillShown(at + 1, end);
            TreeView_Expand(m_hwnd, item, TVE_EXPAND);
            filled += phrases;
        } else if (phrases > 0) {
            m_filterRanges[category] = {at + 1, end};
            m_unfilled.insert(category);
            SetHasChildren(item, true);
        }
        at = end;
    }
}

void PhraseTreeView::ShowAll() {
    m_filtered = false;
    m_stale = false;
    m_filter = {};
    m_filterRanges.clear();
    TreeReloaded();
}

void PhraseTreeView::FillShown(std::size_t begin, std::size_t end) {
    for (std::size_t at = begin; at < end; ++at) {
        TTreeNode* node = const_cast<TTreeNode*>(m_filter.shown[at]);
        if (const HTREEITEM parentItem = ItemOf(node->Parent()))
            Insert(node, parentItem, TVI_LAST);
    }
}

void PhraseTreeView::TreeReloaded() {
    {
        const app::ScopedRedrawDisabler frozen(m_hwnd);
        Clear();
        if (m_filtered) {  // the window applies the filter to the new tree
            m_stale = true;
            m_filterRanges.clear();
            return;
        }
        FillAll();
    }
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void PhraseTreeView::FillAll() {
    int filled = 0;
    for (TTreeNode* category = m_tree.FirstRoot(); category; category = category->NextSibling()) {
        const HTREEITEM item = Insert(category, TVI_ROOT, TVI_LAST);
        ++filled;
        if (!category->HasChildren())
            continue;
        const int children = ChildCount(m_tree, category);
        if (filled + children <= kEagerItems) {
            FillChildren(category, item);
            filled += children;
        } else {
            m_unfilled.insert(category);
            SetHasChildren(item, true);
        }
    }
}

void PhraseTreeView::NodeInserted(TTreeNode* node) {
    m_stale = m_filtered;
    TTreeNode* parent = node->Parent();
    const HTREEITEM parentItem = parent ? ItemOf(parent) : TVI_ROOT;
    // A parent shown and filled takes the node at once. Otherwise the node waits for its category
    // to be opened; the category is looked up once for a chain inserted below a waiting node, not
    // once per level.
    if (!parentItem || (parent && m_unfilled.count(parent))) {
        if (parent == m_lastWaiting) {
            m_lastWaiting = node;
            return;
        }
        const TTreeNode* category = phrases::CategoryOf(node);
        if (m_unfilled.count(category)) {
            SetHasChildren(ItemOf(category), true);  // its phrases come in when it is opened
            m_lastWaiting = node;
        }
        return;
    }
    const TTreeNode* previous = node->PreviousSibling();
    const HTREEITEM after = previous ? ItemOf(previous) : TVI_FIRST;
    if (!after)
        return;
    Insert(node, parentItem, after);
    if (parent)
        SetHasChildren(parentItem, true);
}

void PhraseTreeView::NodeMoved(TTreeNode* node) {
    // Shown again at its new place with everything beneath it, as an insertion of each would.
    const TTreeNode* end = nullptr;
    for (const TTreeNode* above = node; above && !end; above = above->Parent())
        end = above->NextSibling();
    for (TTreeNode* shown = node; shown != end; shown = phrases::TTreeNodes::NextNode(shown))
        NodeInserted(shown);
}

void PhraseTreeView::NodeTextChanged(TTreeNode* node) {
    m_stale = m_filtered;
    const HTREEITEM item = ItemOf(node);
    if (!item)
        return;
    const std::wstring text = platform::ToWide(node->Text());
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = const_cast<wchar_t*>(text.c_str());
    TreeView_SetItem(m_hwnd, &data);
}

void PhraseTreeView::NodeDeleting(TTreeNode* node) {
    m_stale = m_filtered;
    const TTreeNode* parent = node->Parent();
    const bool lastChild = parent && parent->FirstChild() == node && !node->NextSibling();
    if (const HTREEITEM item = ItemOf(node))
        DeleteItem(item);
    m_unfilled.erase(node);
    m_lastWaiting = nullptr;
    if (lastChild) {
        m_unfilled.erase(parent);
        if (const HTREEITEM parentItem = ItemOf(parent))
            SetHasChildren(parentItem, false);
    }
}

void PhraseTreeView::PhrasesChecked(const std::vector<const TTreeNode*>& changed) {
    for (const TTreeNode* node : changed) {
        const HTREEITEM item = ItemOf(node);
        if (!item)
            continue;
        TVITEMW data{};
        data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        data.hItem = item;
        data.iImage = data.iSelectedImage = ImageOf(node);
        TreeView_SetItem(m_hwnd, &data);
    }
}

HTREEITEM PhraseTreeView::Insert(TTreeNode* node, HTREEITEM parent, HTREEITEM after) {
    const std::wstring text = platform::ToWide(node->Text());
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = insert.item.iSelectedImage = ImageOf(node);
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    const HTREEITEM item = TreeView_InsertItem(m_hwnd, &insert);
    m_items[node] = item;
    return item;
}

void PhraseTreeView::FillChildren(const TTreeNode* top, HTREEITEM topItem) {
    // Depth first through the node's descendants, climbing back through the parents' items: no
    // recursion, so a chain thousands of levels deep fills like a flat list.
    TTreeNode* node = top->FirstChild();
    HTREEITEM parentItem = topItem;
    while (node) {
        const HTREEITEM item = Insert(node, parentItem, TVI_LAST);
        if (node->FirstChild()) {
            node = node->FirstChild();
            parentItem = item;
            continue;
        }
        while (node != top && !node->NextSibling()) {
            node = node->Parent();
            parentItem = TreeView_GetParent(m_hwnd, parentItem);
        }
        node = node == top ? nullptr : node->NextSibling();
    }
}

void PhraseTreeView::DeleteItem(HTREEITEM top) {
    // The control removes an item's descendants recursively, one call per level: deleting the
    // items that have children deepest first keeps that to two levels.
    HTREEITEM item = top;
    for (;;) {
        HTREEITEM child = TreeView_GetChild(m_hwnd, item);
        while (child && !TreeView_GetChild(m_hwnd, child))
            child = TreeView_GetNextSibling(m_hwnd, child);
        if (child) {
            item = child;  // a child with children of its own: it goes first
            continue;
        }
        // Only leaves beneath item now.
        if (item == top)
            break;
        const HTREEITEM parent = TreeView_GetParent(m_hwnd, item);
        TreeView_DeleteItem(m_hwnd, item);
        item = parent;
    }
    TreeView_DeleteItem(m_hwnd, top);
}

void PhraseTreeView::EnsureFilled(const TTreeNode* node) {
    if (!node)
        return;
    const TTreeNode* category = phrases::CategoryOf(node);
    if (m_filtered) {
        // The ranges point into the result, whose nodes may be gone once the tree has changed.
        const auto range = m_filterRanges.find(category);
        if (m_stale || range == m_filterRanges.end())
            return;
        m_unfilled.erase(category);
        {
            const app::ScopedRedrawDisabler frozen(m_hwnd);
            FillShown(range->second.first, range->second.second);
        }
        m_filterRanges.erase(range);
        return;
    }
    if (!m_unfilled.erase(category))
        return;
    m_lastWaiting = nullptr;
    const app::ScopedRedrawDisabler frozen(m_hwnd);
    FillChildren(category, ItemOf(category));
}

void PhraseTreeView::SetHasChildren(HTREEITEM item, bool hasChildren) {
    if (!item)
        return;
    TVITEMW data{};
    data.mask = TVIF_CHILDREN;
    data.hItem = item;
    data.cChildren = hasChildren ? 1 : 0;
    TreeView_SetItem(m_hwnd, &data);
}

int PhraseTreeView::ImageOf(const TTreeNode* node) const {
    return m_health.LeftOut(node) ? kLeftOutImage : kNodeImage;
}

HTREEITEM PhraseTreeView::ItemOf(const TTreeNode* node) const {
    const auto found = m_items.find(node);
    return found == m_items.end() ? nullptr : found->second;
}

}  // namespace editor
