// Undo and redo for the phrase editor; see EditHistory.h.
#include "editor/EditHistory.h"

#include <algorithm>

#include "phrases/TreeFile.h"
#include "platform/Error.h"

namespace editor {

using phrases::TTreeNode;
using phrases::TTreeNodes;

namespace {

SubtreeCopy CopyOf(const TTreeNode* node) {
    SubtreeCopy copy{node->Text(), {}};
    for (const TTreeNode* child = node->FirstChild(); child; child = child->NextSibling())
        copy.children.push_back(CopyOf(child));
    return copy;
}

TreePlace ParentPlace(const TreePlace& place) {
    return TreePlace(place.begin(), place.end() - 1);
}

// The node a removal leaves the user at: the one that took its place, else the one before it,
// else its parent.
TTreeNode* NeighbourOf(const TTreeNode* node) {
    if (TTreeNode* next = node->NextSibling())
        return next;
    if (TTreeNode* previous = node->PreviousSibling())
        return previous;
    return node->Parent();
}

}  // namespace

TreePlace PlaceOf(const TTreeNode* node) {
    TreePlace place;
    for (; node; node = node->Parent()) {
        int index = 0;
        for (const TTreeNode* sibling = node->PreviousSibling(); sibling; sibling = sibling->PreviousSibling())
            ++index;
        place.push_back(index);
    }
    std::reverse(place.begin(), place.end());
    return place;
}

TTreeNode* ChildAt(const TTreeNodes& tree, const TTreeNode* parent, int index) {
    if (index < 0)
        return nullptr;
    TTreeNode* child = parent ? parent->FirstChild() : tree.FirstRoot();
    for (; child && index > 0; --index)
        child = child->NextSibling();
    return child;
}

int ChildCount(const TTreeNodes& tree, const TTreeNode* parent) {
    int count = 0;
    for (const TTreeNode* child = parent ? parent->FirstChild() : tree.FirstRoot(); child;
         child = child->NextSibling())
        ++count;
    return count;
}

TTreeNode* NodeAtPlace(const TTreeNodes& tree, const TreePlace& place) {
    TTreeNode* node = nullptr;
    for (int index : place) {
        node = ChildAt(tree, node, index);
        if (!node)
            return nullptr;
    }
    return node;
}

TTreeNode* TreeEditor::InsertAt(TTreeNode* parent, int index, std::string_view text) {
    TTreeNode* node = InsertCopy(parent, index, SubtreeCopy{std::string(text), {}});
    m_pending.push_back({TreeEdit::Kind::Insert, PlaceOf(node), {}, {std::string(text), {}}, {}, {}});
    return node;
}

void TreeEditor::Remove(TTreeNode* node) {
    m_pending.push_back({TreeEdit::Kind::Remove, PlaceOf(node), {}, CopyOf(node), {}, {}});
    RemoveNode(node);
}

void TreeEditor::SetText(TTreeNode* node, std::string_view text) {
    m_pending.push_back({TreeEdit::Kind::SetText, PlaceOf(node), {}, {}, node->Text(), std::string(text)});
    m_tree.SetNodeText(node, text);
    m_observer.NodeTextChanged(node);
}

TTreeNode* TreeEditor::Move(TTreeNode* node, TTreeNode* newParent, int index) {
    const TreePlace from = PlaceOf(node);
    const SubtreeCopy copy = CopyOf(node);
    RemoveNode(node);
    TTreeNode* moved = InsertCopy(newParent, index, copy);
    m_pending.push_back({TreeEdit::Kind::Move, from, PlaceOf(moved), {}, {}, {}});
    return moved;
}

void TreeEditor::ReplaceAll(std::string_view treeFile) {
    TTreeNodes check;
    phrases::ParseTree(check, treeFile);  // a malformed file throws before anything changes
    std::string before = phrases::FormatTree(m_tree);
    Load(treeFile);
    m_pending.push_back({TreeEdit::Kind::ReplaceAll, {}, {}, {}, std::move(before), std::string(treeFile)});
}

EditStep TreeEditor::TakePending() {
    EditStep step;
    step.swap(m_pending);
    return step;
}

TTreeNode* TreeEditor::Apply(const EditStep& step) {
    TTreeNode* focus = nullptr;
    for (const TreeEdit& edit : step) {
        switch (edit.kind) {
        case TreeEdit::Kind::Insert:
            focus = InsertCopy(Node(ParentPlace(edit.place)), edit.place.back(), edit.node);
            break;
        case TreeEdit::Kind::Remove: {
            TTreeNode* node = Node(edit.place);
            focus = NeighbourOf(node);
            RemoveNode(node);
            break;
        }
        case TreeEdit::Kind::SetText:
            focus = Node(edit.place);
            m_tree.SetNodeText(focus, edit.after);
            m_observer.NodeTextChanged(focus);
            break;
        case TreeEdit::Kind::Move:
            focus = MoveNode(edit.place, edit.target);
            break;
        case TreeEdit::Kind::ReplaceAll:
            Load(edit.after);
            focus = nullptr;
            break;
        }
    }
    return focus;
}

TTreeNode* TreeEditor::Revert(const EditStep& step) {
    TTreeNode* focus = nullptr;
    for (auto edit = step.rbegin(); edit != step.rend(); ++edit) {
        switch (edit->kind) {
        case TreeEdit::Kind::Insert: {
            TTreeNode* node = Node(edit->place);
            focus = NeighbourOf(node);
            RemoveNode(node);
            break;
        }
        case TreeEdit::Kind::Remove:
            focus = InsertCopy(Node(ParentPlace(edit->place)), edit->place.back(), edit->node);
            break;
        case TreeEdit::Kind::SetText:
            focus = Node(edit->place);
            m_tree.SetNodeText(focus, edit->before);
            m_observer.NodeTextChanged(focus);
            break;
        case TreeEdit::Kind::Move:
            focus = MoveNode(edit->target, edit->place);
            break;
        case TreeEdit::Kind::ReplaceAll:
            Load(edit->before);
            focus = nullptr;
            break;
        }
    }
    return focus;
}

TTreeNode* TreeEditor::InsertCopy(TTreeNode* parent, int index, const SubtreeCopy& copy) {
    TTreeNode* node = nullptr;
    if (index <= 0) {
        node = m_tree.InsertFirstChild(parent, copy.text);
    } else {
        TTreeNode* previous = ChildAt(m_tree, parent, index - 1);
        if (!previous)
            throw platform::Error("IndexError", "Invalid index");
        node = m_tree.InsertAfter(previous, copy.text);
    }
    m_observer.NodeInserted(node);
    return InsertChildren(node, copy);
}

TTreeNode* TreeEditor::InsertChildren(TTreeNode* parent, const SubtreeCopy& copy) {
    for (const SubtreeCopy& child : copy.children) {
        TTreeNode* node = m_tree.InsertLastChild(parent, child.text);
        m_observer.NodeInserted(node);
        InsertChildren(node, child);
    }
    return parent;
}

void TreeEditor::RemoveNode(TTreeNode* node) {
    m_observer.NodeDeleting(node);
    m_tree.DeleteNode(node);
}

TTreeNode* TreeEditor::MoveNode(const TreePlace& from, const TreePlace& to) {
    TTreeNode* node = Node(from);
    const SubtreeCopy copy = CopyOf(node);
    RemoveNode(node);
    return InsertCopy(Node(ParentPlace(to)), to.back(), copy);
}

void TreeEditor::Load(std::string_view treeFile) {
    m_tree.ClearTree();
    try {
        phrases::ParseTree(m_tree, treeFile);
    } catch (...) {
        m_observer.TreeReloaded();
        throw;
    }
    m_observer.TreeReloaded();
}

TTreeNode* TreeEditor::Node(const TreePlace& place) const {
    if (place.empty())
        return nullptr;  // the root level
    TTreeNode* node = NodeAtPlace(m_tree, place);
    if (!node)
        throw platform::Error("IndexError", "Invalid index");
    return node;
}

void EditHistory::Commit(TreeEditor& editor) {
    if (!editor.HasPending())
        return;
    m_done.push_back(editor.TakePending());
    m_undone.clear();
}

TTreeNode* EditHistory::Undo(TreeEditor& editor) {
    if (m_done.empty())
        return nullptr;
    EditStep step = std::move(m_done.back());
    m_done.pop_back();
    TTreeNode* focus = editor.Revert(step);
    m_undone.push_back(std::move(step));
    return focus;
}

TTreeNode* EditHistory::Redo(TreeEditor& editor) {
    if (m_undone.empty())
        return nullptr;
    EditStep step = std::move(m_undone.back());
    m_undone.pop_back();
    TTreeNode* focus = editor.Apply(step);
    m_done.push_back(std::move(step));
    return focus;
}

void EditHistory::Clear() {
    m_done.clear();
    m_undone.clear();
}

}  // namespace editor
