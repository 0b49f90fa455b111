// 排序 of a category; see CategorySort.h.
#include "editor/rules/CategorySort.h"

#include <algorithm>
#include <vector>

namespace editor {

using phrases::TTreeNode;

bool SortCategory(TreeEditor& edits, TTreeNode* category, std::size_t maxMovesOneByOne) {
    std::vector<TTreeNode*> children;
    for (TTreeNode* child = category->FirstChild(); child; child = child->NextSibling())
        children.push_back(child);
    std::vector<TTreeNode*> sorted = children;
    // std::string compares as unsigned char: GB2312's two-byte codes sort above ASCII.
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TTreeNode* a, const TTreeNode* b) { return a->Text() < b->Text(); });
    std::size_t misplaced = 0;
    for (std::size_t at = 0; at < sorted.size(); ++at)
        misplaced += sorted[at] != children[at];
    if (misplaced == 0)
        return false;
    if (misplaced > maxMovesOneByOne) {
        ChildLists lists;
        std::vector<ListedChild>& list = lists[category];
        for (const TTreeNode* child : sorted)
            list.push_back({child, {}});
        edits.ReplaceAll(FormatRearranged(edits.Tree(), lists));
        return true;
    }
    // Places 0 .. at-1 hold their sorted phrases; the one due at place `at` stands after it.
    TTreeNode* current = category->FirstChild();
    for (std::size_t at = 0; at < sorted.size(); ++at) {
        if (sorted[at] == current) {
            current = current->NextSibling();
            continue;
        }
        current = edits.Move(sorted[at], category, static_cast<int>(at))->NextSibling();
    }
    return true;
}

}  // namespace editor
