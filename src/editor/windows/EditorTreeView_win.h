// TreeView1 of the phrase editor: shows the phrase tree, each phrase with the image of its health.
// A large tree shows its categories at once and puts a category's phrases into the control when
// the category is first opened, so that the window appears at once whatever the tree's size.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "editor/commands/EditorCommands.h"
#include "editor/rules/PhraseFilter.h"
#include "editor/rules/PhraseHealth.h"
#include "phrases/TreeNodes.h"

namespace editor {

class PhraseTreeView : public TreeObserver {
public:
    // Image indexes of ImageList3 for a node and for a phrase the compile left out.
    static constexpr int kNodeImage = 0;
    static constexpr int kLeftOutImage = 6;

    // The health is the model's; the view only reads it.
    PhraseTreeView(const phrases::TTreeNodes& tree, const PhraseHealth& health)
        : m_tree(tree), m_health(health) {}

    void Create(HWND parent);
    HWND Handle() const { return m_hwnd; }
    // The font, pictures and indent for the DPI; the font and images stay the caller's.
    void ApplyDpi(HFONT font, HIMAGELIST images, UINT dpi);

    phrases::TTreeNode* SelectedNode() const;
    phrases::TTreeNode* NodeOf(HTREEITEM item) const;
    // The node under a point of the screen, or null.
    phrases::TTreeNode* NodeAt(POINT screen) const;
    // Selects the item under a point of the screen; false when there is none.
    bool SelectItemAt(POINT screen);
    // Where the context menu opens, in screen coordinates: from the keyboard below the selected
    // item, else at the mouse, whose item it selects; none where there is no item.
    std::optional<POINT> ContextMenuPlace(bool keyboard);
    // Opens the node's category (filling it first if need be), selects the node and scrolls to it.
    void Select(phrases::TTreeNode* node);
    // Shows or takes away the mark of a chosen phrase (a tick over its picture), so that the choice
    // is seen without its colour.
    void MarkChosen(const phrases::TTreeNode* node, bool chosen);
    // Marks the node under the dragged phrase as the drop target (null: none).
    void ShowDropTarget(phrases::TTreeNode* node);

    // Shows only the nodes of the filter's result, opening the categories while the items stay
    // few; the others fill when opened, with their shown phrases.
    void ShowFiltered(FilterResult result);
    // Shows every node again.
    void ShowAll();
    bool Filtered() const { return m_filtered; }
    // While filtered: the tree has changed since the filter was applied; apply it again.
    bool FilterStale() const { return m_filtered && m_stale; }
    // The node has an item in the control.
    bool HasItem(const phrases::TTreeNode* node) const { return ItemOf(node) != nullptr; }

    // The control's notifications; true when handled, with the result in result.
    bool OnNotify(NMHDR& header, LRESULT& result);

    void TreeReloaded() override;
    void NodeInserted(phrases::TTreeNode* node) override;
    void NodeTextChanged(phrases::TTreeNode* node) override;
    void NodeDeleting(phrases::TTreeNode* node) override;
    void NodeMoving(phrases::TTreeNode* node) override { NodeDeleting(node); }
    void NodeMoved(phrases::TTreeNode* node) override;
    void PhrasesChecked(const std::vector<const phrases::TTreeNode*>& changed) override;

private:
    HTREEITEM ItemAt(POINT screen) const;
    // Takes every item out of the control.
    void Clear();
    // Puts the categories into the emptied control, and the phrases of the first ones.
    void FillAll();
    // Puts the filter's categories into the emptied control, and the shown phrases of the first
    // ones.
    void FillFiltered();
    // Puts the shown nodes m_filter.shown[begin, end) under their parents' items.
    void FillShown(std::size_t begin, std::size_t end);
    HTREEITEM Insert(phrases::TTreeNode* node, HTREEITEM parent, HTREEITEM after);
    // Puts the node's descendants into the control.
    void FillChildren(const phrases::TTreeNode* node, HTREEITEM item);
    // Takes the item and everything beneath it out of the control.
    void DeleteItem(HTREEITEM item);
    // The node's category still waits for its phrases: fills it now.
    void EnsureFilled(const phrases::TTreeNode* node);
    void SetHasChildren(HTREEITEM item, bool hasChildren);
    int ImageOf(const phrases::TTreeNode* node) const;
    HTREEITEM ItemOf(const phrases::TTreeNode* node) const;

    const phrases::TTreeNodes& m_tree;
    const PhraseHealth& m_health;
    HWND m_hwnd = nullptr;
    std::unordered_map<const phrases::TTreeNode*, HTREEITEM> m_items;
    // Categories shown with a button whose phrases are not in the control yet.
    std::unordered_set<const phrases::TTreeNode*> m_unfilled;
    // The node inserted last below a category still waiting for its phrases.
    const phrases::TTreeNode* m_lastWaiting = nullptr;
    // While filtered: the result shown, and for each category not filled yet its shown phrases
    // as a range of m_filter.shown.
    bool m_filtered = false;
    bool m_stale = false;
    FilterResult m_filter;
    std::unordered_map<const phrases::TTreeNode*, std::pair<std::size_t, std::size_t>>
        m_filterRanges;
};

}  // namespace editor
