// Several phrases at a time; see PhraseSelection.h.
#include "editor/rules/PhraseSelection.h"

#include <unordered_set>

#include "EditorTexts.h"

namespace editor {

using phrases::TTreeNode;
using phrases::TTreeNodes;

namespace {

// The children of parent without the nodes of the set.
std::vector<ListedChild> ChildrenWithout(const TTreeNode* parent,
                                         const std::unordered_set<const TTreeNode*>& set) {
    std::vector<ListedChild> list;
    for (const TTreeNode* child = parent->FirstChild(); child; child = child->NextSibling())
        if (!set.count(child))
            list.push_back({child, {}});
    return list;
}

// Lists every parent that loses nodes of the set, without them.
void ListWithout(ChildLists& lists, const std::vector<TTreeNode*>& set) {
    const std::unordered_set<const TTreeNode*> members(set.begin(), set.end());
    for (const TTreeNode* node : set)
        if (!lists.count(node->Parent()))
            lists.emplace(node->Parent(), ChildrenWithout(node->Parent(), members));
}

}  // namespace

std::vector<TTreeNode*> PhrasesOfCategory(TTreeNode* node) {
    std::vector<TTreeNode*> phrases;
    if (!node)
        return phrases;
    for (TTreeNode* child = CategoryOf(node)->FirstChild(); child; child = child->NextSibling())
        phrases.push_back(child);
    return phrases;
}

std::vector<TTreeNode*> InTreeOrder(const TTreeNodes& tree, const std::vector<TTreeNode*>& set) {
    const std::unordered_set<const TTreeNode*> members(set.begin(), set.end());
    std::vector<TTreeNode*> ordered;
    int takenLevel = -1;  // the level of the taken node the walk is beneath; -1: none
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        if (takenLevel >= level)
            takenLevel = -1;
        if (takenLevel >= 0 || level == 0 || !members.count(&node))
            return;
        ordered.push_back(const_cast<TTreeNode*>(&node));
        takenLevel = level;
    });
    return ordered;
}

std::string DeleteSetQuestion(std::size_t count) {
    return texts::kDeleteSetStart + std::to_string(count) + texts::kDeleteSetEnd;
}

void DeletePhrases(TreeEditor& edits, const std::vector<TTreeNode*>& phrases,
                   std::size_t maxOneByOne) {
    if (phrases.size() > maxOneByOne) {
        ChildLists lists;
        ListWithout(lists, phrases);
        edits.ReplaceAll(FormatRearranged(edits.Tree(), lists));
        return;
    }
    // In tree order: with a whole category deleted each phrase is the first when it goes, so
    // finding its place costs one step.
    for (TTreeNode* phrase : phrases)
        edits.Remove(phrase);
}

std::vector<TTreeNode*> MovePhrasesToCategory(TreeEditor& edits,
                                              const std::vector<TTreeNode*>& phrases,
                                              TTreeNode* target, std::size_t maxOneByOne) {
    std::vector<TTreeNode*> moved;
    if (phrases.empty() || !target)
        return moved;
    TTreeNode* category = CategoryOf(target);
    if (phrases.size() > maxOneByOne) {
        ChildLists lists;
        ListWithout(lists, phrases);
        std::vector<ListedChild> list;
        for (const TTreeNode* phrase : phrases)
            list.push_back({phrase, {}});
        auto rest = lists.find(category);
        if (rest == lists.end())
            rest = lists.emplace(category, ChildrenWithout(category, {})).first;
        list.insert(list.end(), rest->second.begin(), rest->second.end());
        rest->second = std::move(list);
        edits.ReplaceAll(FormatRearranged(edits.Tree(), lists));
        return moved;
    }
    // Places 0 .. at-1 of the category hold the phrases moved so far; one already standing at
    // its place stays.
    TTreeNode* current = category->FirstChild();
    bool changed = false;
    for (std::size_t at = 0; at < phrases.size(); ++at) {
        TTreeNode* phrase = phrases[at];
        if (phrase != current) {
            phrase = edits.Move(phrase, category, static_cast<int>(at));
            changed = true;
        }
        moved.push_back(phrase);
        current = phrase->NextSibling();
    }
    if (!changed)
        moved.clear();
    return moved;
}

}  // namespace editor
