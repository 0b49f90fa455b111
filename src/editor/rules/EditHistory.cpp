// Undo and redo for the phrase editor; see EditHistory.h.
#include "editor/rules/EditHistory.h"

#include <algorithm>

#include "phrases/TreeFile.h"
#include "platform/Error.h"

namespace editor {

using phrases::TTreeNode;
using phrases::TTreeNodes;

namespace {

// Walks the subtree in depth-first order, tracking the depth on the way: no recursion.
SubtreeCopy CopyOf(const TTreeNode* top) {
    SubtreeCopy copy;
    const TTreeNode* node = top;
    int depth = 0;
    for (;;) {
        copy.lines.push_back({depth, std::string(node->Text())});
        if (node->FirstChild()) {
            node = node->FirstChild();
            ++depth;
            continue;
        }
        while (node != top && !node->NextSibling()) {
            node = node->Parent();
            --depth;
        }
        if (node == top)
            return copy;
        node = node->NextSibling();
    }
}

SubtreeCopy CopyOfText(std::string_view text) {
    SubtreeCopy copy;
    copy.lines.push_back({0, std::string(text)});
    return copy;
}

TreePlace ParentPlace(const TreePlace& place) { return TreePlace(place.begin(), place.end() - 1); }

// The node a removal leaves the user at: the one that took its place, else the one before it,
// else its parent.
TTreeNode* NeighbourOf(const TTreeNode* node) {
    if (TTreeNode* next = node->NextSibling())
        return next;
    if (TTreeNode* previous = node->PreviousSibling())
        return previous;
    return node->Parent();
}

// Moves the newest step of from to to, replaying it on the way. A step that throws part way has
// changed the tree only in part: it is in neither list afterwards, so it is never replayed again.
template <class Replay>
TTreeNode* Shift(std::vector<EditStep>& from, std::vector<EditStep>& to, Replay&& replay) {
    if (from.empty())
        return nullptr;
    EditStep step = std::move(from.back());
    from.pop_back();
    TTreeNode* focus = replay(step);
    to.push_back(std::move(step));
    return focus;
}

}  // namespace

TTreeNode* TreeEditor::InsertAt(TTreeNode* parent, int index, std::string_view text) {
    SubtreeCopy copy = CopyOfText(text);
    TTreeNode* node = InsertCopy(parent, index, copy);
    m_pending.push_back(
        {.kind = TreeEdit::Kind::Insert, .place = PlaceOf(node), .node = std::move(copy)});
    return node;
}

void TreeEditor::Remove(TTreeNode* node) {
    m_pending.push_back(
        {.kind = TreeEdit::Kind::Remove, .place = PlaceOf(node), .node = CopyOf(node)});
    RemoveNode(node);
}

void TreeEditor::SetText(TTreeNode* node, std::string_view text) {
    m_pending.push_back({.kind = TreeEdit::Kind::SetText,
                         .place = PlaceOf(node),
                         .before = std::string(node->Text()),
                         .after = std::string(text)});
    m_tree.SetNodeText(node, text);
    m_observer.NodeTextChanged(node);
}

TTreeNode* TreeEditor::Move(TTreeNode* node, TTreeNode* newParent, int index) {
    const TreePlace from = PlaceOf(node);
    MoveTo(node, newParent, index);
    m_pending.push_back({.kind = TreeEdit::Kind::Move, .place = from, .target = PlaceOf(node)});
    return node;
}

void TreeEditor::MoveTo(TTreeNode* node, TTreeNode* newParent, int index) {
    // The child that will come before the node, counted without the node itself.
    TTreeNode* after = nullptr;
    for (TTreeNode* child = newParent ? newParent->FirstChild() : m_tree.FirstRoot();
         child && index > 0; child = child->NextSibling())
        if (child != node) {
            after = child;
            --index;
        }
    if (index > 0)
        phrases::ThrowInvalidIndex();
    m_observer.NodeMoving(node);
    m_tree.MoveNode(node, newParent, after);
    m_observer.NodeMoved(node);
}

void TreeEditor::ReplaceAll(std::string_view treeFile) {
    TTreeNodes check;
    phrases::ParseTree(check, treeFile);  // a malformed file throws before anything changes
    std::string before = phrases::FormatTree(m_tree);
    phrases::ReplaceTree(m_tree, treeFile, m_observer);
    m_pending.push_back({.kind = TreeEdit::Kind::ReplaceAll,
                         .before = std::move(before),
                         .after = std::string(treeFile)});
}

EditStep TreeEditor::TakePending() {
    EditStep step;
    step.swap(m_pending);
    return step;
}

TTreeNode* TreeEditor::Apply(const EditStep& step) {
    TTreeNode* focus = nullptr;
    for (const TreeEdit& edit : step)
        focus = Replay(edit, Direction::Forward);
    return focus;
}

TTreeNode* TreeEditor::Revert(const EditStep& step) {
    TTreeNode* focus = nullptr;
    for (auto edit = step.rbegin(); edit != step.rend(); ++edit)
        focus = Replay(*edit, Direction::Back);
    return focus;
}

// Taken back, an insert is a removal and a removal an insert; a text or a whole tree returns to
// what it was before, a move goes from its target to where it came from.
TTreeNode* TreeEditor::Replay(const TreeEdit& edit, Direction direction) {
    const bool forward = direction == Direction::Forward;
    switch (edit.kind) {
    case TreeEdit::Kind::Insert:
        return forward ? InsertAtPlace(edit.place, edit.node) : RemoveAtPlace(edit.place);
    case TreeEdit::Kind::Remove:
        return forward ? RemoveAtPlace(edit.place) : InsertAtPlace(edit.place, edit.node);
    case TreeEdit::Kind::SetText: {
        TTreeNode* node = Node(edit.place);
        m_tree.SetNodeText(node, forward ? edit.after : edit.before);
        m_observer.NodeTextChanged(node);
        return node;
    }
    case TreeEdit::Kind::Move:
        return forward ? MoveNode(edit.place, edit.target) : MoveNode(edit.target, edit.place);
    case TreeEdit::Kind::ReplaceAll:
        phrases::ReplaceTree(m_tree, forward ? edit.after : edit.before, m_observer);
        return nullptr;
    }
    return nullptr;
}

TTreeNode* TreeEditor::InsertAtPlace(const TreePlace& place, const SubtreeCopy& copy) {
    return InsertCopy(Node(ParentPlace(place)), place.back(), copy);
}

TTreeNode* TreeEditor::RemoveAtPlace(const TreePlace& place) {
    TTreeNode* node = Node(place);
    TTreeNode* neighbour = NeighbourOf(node);
    RemoveNode(node);
    return neighbour;
}

TTreeNode* TreeEditor::InsertCopy(TTreeNode* parent, int index, const SubtreeCopy& copy) {
    TTreeNode* top = nullptr;
    if (index <= 0) {
        top = m_tree.InsertFirstChild(parent, copy.lines.front().text);
    } else {
        TTreeNode* previous = ChildAt(m_tree, parent, index - 1);
        if (!previous)
            phrases::ThrowInvalidIndex();
        top = m_tree.InsertAfter(previous, copy.lines.front().text);
    }
    m_observer.NodeInserted(top);
    // Each later line is a child of the last node one level above it: climb from the node
    // inserted last, as the tree file's reader does.
    TTreeNode* last = top;
    int lastDepth = 0;
    for (auto line = copy.lines.begin() + 1; line != copy.lines.end(); ++line) {
        TTreeNode* lineParent = last;
        for (int depth = lastDepth; depth >= line->depth; --depth)
            lineParent = lineParent->Parent();
        last = m_tree.InsertLastChild(lineParent, line->text);
        lastDepth = line->depth;
        m_observer.NodeInserted(last);
    }
    return top;
}

void TreeEditor::RemoveNode(TTreeNode* node) {
    m_observer.NodeDeleting(node);
    m_tree.DeleteNode(node);
}

TTreeNode* TreeEditor::MoveNode(const TreePlace& from, const TreePlace& to) {
    TTreeNode* node = Node(from);
    MoveTo(node, Node(ParentPlace(to)), to.back());
    return node;
}

TTreeNode* TreeEditor::Node(const TreePlace& place) const {
    if (place.empty())
        return nullptr;  // the root level
    TTreeNode* node = NodeAtPlace(m_tree, place);
    if (!node)
        phrases::ThrowInvalidIndex();
    return node;
}

void EditHistory::Commit(TreeEditor& editor) {
    if (!editor.HasPending())
        return;
    m_done.push_back(editor.TakePending());
    m_undone.clear();
}

TTreeNode* EditHistory::Undo(TreeEditor& editor) {
    return Shift(m_done, m_undone, [&](const EditStep& step) { return editor.Revert(step); });
}

TTreeNode* EditHistory::Redo(TreeEditor& editor) {
    return Shift(m_undone, m_done, [&](const EditStep& step) { return editor.Apply(step); });
}

void EditHistory::Clear() {
    m_done.clear();
    m_undone.clear();
}

}  // namespace editor
