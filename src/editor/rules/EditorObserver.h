// What the editor's views hear: every change to the tree and the phrases a compile found changed.
#pragma once

#include <vector>

#include "phrases/TreeNodes.h"
#include "phrases/TreeObserver.h"

namespace editor {

// The tree's changes (see phrases/TreeObserver.h) and, in the editor, the phrases whose state a
// compile changed.
class TreeObserver : public phrases::TreeObserver {
public:
    // After a compile: the nodes whose state (compiled or left out) has changed.
    virtual void PhrasesChecked(const std::vector<const phrases::TTreeNode*>&) {}
};

// Passes every change on to several observers, in the order they were added.
class TreeObservers : public phrases::Observers<TreeObserver> {
public:
    void PhrasesChecked(const std::vector<const phrases::TTreeNode*>& changed) override {
        Each(&TreeObserver::PhrasesChecked, changed);
    }
};

}  // namespace editor
