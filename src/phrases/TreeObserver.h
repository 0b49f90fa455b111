// Those who show or keep something about the phrase tree hear of every change to it through this
// interface, right after the change and before any file is written, so that they stay in step
// even when the writing fails.
#pragma once

#include <algorithm>
#include <vector>

#include "phrases/TreeNodes.h"

namespace phrases {

class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    // The whole tree was replaced (also by a reading that failed part way).
    virtual void TreeReloaded() {}
    virtual void NodeInserted(TTreeNode*) {}
    virtual void NodeTextChanged(TTreeNode*) {}
    // Before the node and everything beneath it go.
    virtual void NodeDeleting(TTreeNode*) {}
    // Before the node, with everything beneath it, goes to another place, and after: it is the
    // same node there.
    virtual void NodeMoving(TTreeNode*) {}
    virtual void NodeMoved(TTreeNode*) {}
};

// Passes every change on to a list of observers, in the order they were added.
template <class Observer = TreeObserver>
class Observers : public Observer {
public:
    void Add(Observer& observer) { m_list.push_back(&observer); }
    void Remove(Observer& observer) { std::erase(m_list, &observer); }

    void TreeReloaded() override { Each(&TreeObserver::TreeReloaded); }
    void NodeInserted(TTreeNode* node) override { Each(&TreeObserver::NodeInserted, node); }
    void NodeTextChanged(TTreeNode* node) override { Each(&TreeObserver::NodeTextChanged, node); }
    void NodeDeleting(TTreeNode* node) override { Each(&TreeObserver::NodeDeleting, node); }
    void NodeMoving(TTreeNode* node) override { Each(&TreeObserver::NodeMoving, node); }
    void NodeMoved(TTreeNode* node) override { Each(&TreeObserver::NodeMoved, node); }

protected:
    template <class Event, class... Arguments>
    void Each(Event event, const Arguments&... arguments) {
        for (Observer* observer : m_list)
            (observer->*event)(arguments...);
    }

private:
    std::vector<Observer*> m_list;
};

}  // namespace phrases
