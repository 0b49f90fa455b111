// The tree file of a rearranged tree; see RearrangedTree.h.
#include "editor/rules/RearrangedTree.h"

namespace editor {

using phrases::TTreeNode;

std::string FormatRearranged(const phrases::TTreeNodes& tree, const ChildLists& lists) {
    // One open parent: its own list, or its natural sibling chain.
    struct Open {
        const std::vector<ListedChild>* list = nullptr;
        std::size_t index = 0;
        const TTreeNode* next = nullptr;
    };
    const auto open = [&](const TTreeNode* parent, const TTreeNode* first) {
        const auto found = lists.find(parent);
        return found != lists.end() ? Open{&found->second, 0, nullptr} : Open{nullptr, 0, first};
    };
    std::string file;
    file.reserve(static_cast<std::size_t>(tree.NodeCount()) * 16);
    std::vector<Open> stack{open(nullptr, tree.FirstRoot())};
    while (!stack.empty()) {
        Open& top = stack.back();
        const TTreeNode* node = nullptr;
        std::string_view text;
        if (top.list) {
            if (top.index == top.list->size()) {
                stack.pop_back();
                continue;
            }
            const ListedChild& child = (*top.list)[top.index++];
            node = child.node;
            text = node ? node->Text() : std::string_view(child.text);
        } else {
            if (!top.next) {
                stack.pop_back();
                continue;
            }
            node = top.next;
            top.next = node->NextSibling();
            text = node->Text();
        }
        file.append(stack.size() - 1, '\t');
        file += text;
        file += "\r\n";
        if (node)
            stack.push_back(open(node, node->FirstChild()));  // top may dangle from here on
    }
    return file;
}

}  // namespace editor
