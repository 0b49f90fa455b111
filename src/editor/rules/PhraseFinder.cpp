// Find in the phrase tree; see PhraseFinder.h.
#include "editor/rules/PhraseFinder.h"

namespace editor {

using phrases::TTreeNode;
using phrases::TTreeNodes;

namespace {

char FoldAscii(char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte;
}

bool MatchesAt(std::string_view text, std::size_t at, std::string_view sought) {
    if (text.size() - at < sought.size())
        return false;
    for (std::size_t k = 0; k < sought.size(); ++k)
        if (FoldAscii(text[at + k]) != FoldAscii(sought[k]))
            return false;
    return true;
}

}  // namespace

bool ContainsText(std::string_view text, std::string_view sought) {
    if (sought.empty())
        return false;
    for (std::size_t at = 0; at < text.size();) {
        if (MatchesAt(text, at, sought))
            return true;
        // A lead byte and its trail byte make one character; step over both.
        at += static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size() ? 2 : 1;
    }
    return false;
}

TTreeNode* FindNext(const TTreeNodes& tree, const TTreeNode* from, std::string_view sought) {
    if (sought.empty() || !tree.FirstRoot())
        return nullptr;
    const TTreeNode* start = from ? TTreeNodes::NextNode(from) : tree.FirstRoot();
    if (!start)
        start = tree.FirstRoot();  // wrap at the end
    const TTreeNode* node = start;
    do {
        if (ContainsText(node->Text(), sought))
            return const_cast<TTreeNode*>(node);
        node = TTreeNodes::NextNode(node);
        if (!node)
            node = tree.FirstRoot();
    } while (node != start);
    return nullptr;
}

}  // namespace editor
