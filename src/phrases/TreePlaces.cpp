// Places in the phrase tree; see TreePlaces.h.
#include "phrases/TreePlaces.h"

#include <algorithm>

namespace phrases {

int IndexOf(const TTreeNode* node) {
    int index = 0;
    for (const TTreeNode* sibling = node->PreviousSibling(); sibling;
         sibling = sibling->PreviousSibling())
        ++index;
    return index;
}

TreePlace PlaceOf(const TTreeNode* node) {
    TreePlace place;
    for (; node; node = node->Parent())
        place.push_back(IndexOf(node));
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

}  // namespace phrases
