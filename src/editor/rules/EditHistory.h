// Undo and redo for the phrase editor. Every change to the tree goes through TreeEditor, which
// makes it, tells the window and writes down how to take it back; EditHistory keeps the steps.
// Places are kept as child positions, not node pointers, since an undone delete makes new nodes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/rules/EditorObserver.h"
#include "phrases/TreeNodes.h"
#include "phrases/TreePlaces.h"

namespace editor {

using phrases::CategoryOf;
using phrases::ChildAt;
using phrases::ChildCount;
using phrases::NodeAtPlace;
using phrases::PlaceOf;
using phrases::TreePlace;

// A node with everything beneath it, as text: the nodes in depth-first order, each with its depth
// below the copied node (0 for the node itself). Flat, so that neither copying nor freeing a copy
// of a deep chain recurses once per level.
struct SubtreeCopy {
    struct Line {
        int depth = 0;
        std::string text;
    };
    std::vector<Line> lines;
};

// One change as it was made, with what it takes to make it again or take it back. Made with
// designated initializers: the fields a kind does not use stay empty.
struct TreeEdit {
    enum class Kind { Insert, Remove, SetText, Move, ReplaceAll };
    Kind kind = Kind::Insert;
    TreePlace place{};     // Insert, Remove, SetText: the node; Move: where it stood before
    TreePlace target{};    // Move: where it stands after
    SubtreeCopy node{};    // Insert, Remove: the node and its descendants
    std::string before{};  // SetText: old text; ReplaceAll: the old tree file
    std::string after{};   // SetText: new text; ReplaceAll: the new tree file
};

// One undo step: the changes of one command, in the order they were made.
using EditStep = std::vector<TreeEdit>;

// Makes changes to the tree, tells the observer of each, and collects them into the pending step
// until EditHistory::Commit takes it. A command that makes several changes (an import inserting
// many phrases) simply makes them all and commits once: they undo and redo as one step.
class TreeEditor {
public:
    TreeEditor(phrases::TTreeNodes& tree, TreeObserver& observer)
        : m_tree(tree), m_observer(observer) {}

    // Inserts text as the child at position index of parent (null: a root); index may be the
    // number of children (the end).
    phrases::TTreeNode* InsertAt(phrases::TTreeNode* parent, int index, std::string_view text);
    void Remove(phrases::TTreeNode* node);
    void SetText(phrases::TTreeNode* node, std::string_view text);
    // Moves node with its descendants to position index among the children of newParent, the
    // position counted without the node itself. Returns the node, the same one at its new place.
    phrases::TTreeNode* Move(phrases::TTreeNode* node, phrases::TTreeNode* newParent, int index);
    // Replaces the whole tree by the tree file's bytes; throws the reader's errors first,
    // leaving the tree as it was.
    void ReplaceAll(std::string_view treeFile);

    bool HasPending() const { return !m_pending.empty(); }
    EditStep TakePending();

    // Makes the step's changes again (redo) or takes them back (undo), without recording.
    // Returns the node the step is about, for the window to select; null when there is none.
    phrases::TTreeNode* Apply(const EditStep& step);
    phrases::TTreeNode* Revert(const EditStep& step);

    phrases::TTreeNodes& Tree() { return m_tree; }

private:
    enum class Direction { Forward, Back };
    // Makes one change again or takes it back; returns the node it is about.
    phrases::TTreeNode* Replay(const TreeEdit& edit, Direction direction);
    phrases::TTreeNode* InsertAtPlace(const TreePlace& place, const SubtreeCopy& copy);
    // Returns the node the user is left at (see NeighbourOf).
    phrases::TTreeNode* RemoveAtPlace(const TreePlace& place);
    phrases::TTreeNode* InsertCopy(phrases::TTreeNode* parent, int index, const SubtreeCopy& copy);
    void RemoveNode(phrases::TTreeNode* node);
    phrases::TTreeNode* MoveNode(const TreePlace& from, const TreePlace& to);
    void MoveTo(phrases::TTreeNode* node, phrases::TTreeNode* newParent, int index);
    phrases::TTreeNode* Node(const TreePlace& place) const;

    phrases::TTreeNodes& m_tree;
    TreeObserver& m_observer;
    EditStep m_pending;
};

// The steps made in this run, for Ctrl+Z and Ctrl+Y; unlimited.
class EditHistory {
public:
    // Takes the editor's pending changes as one step; a new step ends what could be redone.
    void Commit(TreeEditor& editor);
    bool CanUndo() const { return !m_done.empty(); }
    bool CanRedo() const { return !m_undone.empty(); }
    // Each returns the node the step is about (see TreeEditor::Apply).
    phrases::TTreeNode* Undo(TreeEditor& editor);
    phrases::TTreeNode* Redo(TreeEditor& editor);
    void Clear();

private:
    std::vector<EditStep> m_done;
    std::vector<EditStep> m_undone;
};

}  // namespace editor
