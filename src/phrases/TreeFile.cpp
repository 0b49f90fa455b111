// Writing and reading the indented text form of a tree.
#include "phrases/TreeFile.h"

#include <cstring>

#include "platform/Error.h"

namespace phrases {

std::string FormatTree(const TTreeNodes& tree) {
    std::size_t size = 0;
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        size += static_cast<std::size_t>(level) + node.Text().size() + 2;
    });
    // Sized once and filled through a pointer: three appends per line would cost more than
    // the copying itself.
    std::string file(size, '\0');
    char* at = file.data();
    tree.ForEachNode([&](const TTreeNode& node, int level) {
        for (int tab = 0; tab < level; ++tab)
            *at++ = '\t';
        const std::string& text = node.Text();
        if (!text.empty())
            std::memcpy(at, text.data(), text.size());
        at += text.size();
        *at++ = '\r';
        *at++ = '\n';
    });
    return file;
}

namespace detail {

void ThrowInvalidLevel(int level, std::string_view text) {
    throw platform::Error("TreeLevelError",
                          platform::Format("Invalid level (%d) for item \"%s\"", level, std::string(text)));
}

}  // namespace detail

void ParseTree(TTreeNodes& tree, std::string_view bytes) {
    TTreeNode* previous = nullptr;
    int previousLevel = 0;
    ForEachTreeLine(bytes, [&](std::string_view text, int level) {
        if (!previous || level == previousLevel + 1) {
            previous = tree.InsertLastChild(previous, text);
        } else {
            // The new node becomes a sibling of the ancestor at its own level.
            TTreeNode* sibling = previous;
            for (int at = previousLevel; at > level; --at)
                sibling = sibling->Parent();
            previous = tree.InsertLastSibling(sibling, text);
        }
        previousLevel = level;
    });
}

}  // namespace phrases
